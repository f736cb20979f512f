// The program itself, started as a separate process with a translation in its installation folder: single
// instance, switches, the mode choice, and the translated texts (Latin-1, written with octal escapes) of what
// it shows.
#include "SampleUser.h"
#include "UserDriver.h"

#include "RegKey.h"
#include "settings/ProductSettings.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

namespace {

typedef std::vector<std::string> Texts;

const char kCaption[] = "Postkonten \x97 Einrichtung";

// One run of vantler.exe in folder.
class CProgramRun : public CProcessRun
{
public:
    CProgramRun(const std::string& arguments, const std::string& folder)
        : CProcessRun(ProgramFolder() + "vantler.exe", arguments, folder)
    {
    }
    // Whether the run ends within 15 s without showing any dialog but closing, the one just told to close.
    bool EndsShowingNothing(HWND closing = nullptr) const
    {
        bool nothing = true;
        bool ended = gui::WaitUntil(
            [&] {
                for (HWND window : gui::Dialogs(Id()))
                    nothing = nothing && window == closing;
                return HasEnded(0);
            },
            15000);
        return ended && nothing;
    }
};

// The sample user, and a folder of our own with a translation as the program's installation directory.
class Startup : public ::testing::Test
{
protected:
    Startup()
    {
        plat::CRegKey key;
        key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_ALL_ACCESS);
        key.SetString(NIMBREL_INSTALL_DIR_VALUE, m_folder.Path() + "\\");
        const char* lines[][3] = {
            {"Main Dialog", "Caption", kCaption},
            {"Main Dialog", "Configure", "Einrichten"},
            {"Main Dialog", "Details", "Konto: %s \x97 %s"},
            {"Main Dialog", "ActionHelp", "Konten markieren\\nund einen Knopf dr\374cken."},
            {"Mode Selection Dialog", "Wiz", "Assistent\\nein Konto nach dem anderen"},
            {"Wizard Configurator Dialog", "NextBtn", "Weiter"},
            {"Wizard Configurator Dialog", "PreviousBtn", "Zur\374ck"},
            {"Wizard Configurator Dialog", "AccOutOf", "Konto\\n%i von %i"},
            {"Wizard Configurator Dialog", "AccNotRdy", "Noch nicht \x97 bereit"},
            // A careless translation: placeholders that a printf-style format would read past its arguments.
            {"Wizard Configurator Dialog", "Details", "%n%s%s%s%%"},
        };
        for (const auto& line : lines)
            EXPECT_TRUE(
                ::WritePrivateProfileStringA(line[0], line[1], line[2], (m_folder / "vantler.txt").c_str()));
    }

    CSampleUser m_user;
    CTestFolder m_folder;
};

} // namespace

TEST_F(Startup, InstallSwitchInAnyCaseOpensTheTranslatedWizardOnly)
{
    // Install wins over uninstall.
    CProgramRun run("/uninstall /Install", m_folder.Path());
    HWND wizard = gui::WaitForDialog(run.Id(), kCaption, false);
    ASSERT_NE(nullptr, ::GetDlgItem(wizard, IDC_NEXT));
    EXPECT_EQ(1u, gui::Dialogs(run.Id()).size()) << "no mode selection, no question";
    // A key the file lacks keeps its default; the placeholders of the careless translation stay as written
    // where they would read past the arguments.
    EXPECT_EQ((Texts{"Weiter >>", "<< Zur\374ck", "Konto \n1 von 7", "Noch nicht \x97 bereit", "Close",
                     "%nanna@mail.example%"}),
              gui::ItemTexts(wizard, {IDC_NEXT, IDC_PREVIOUS, IDC_ACCOUNT_OF, IDC_READY_TEXT,
                                      IDC_WIZARD_CLOSE, IDC_DETAILS_GROUP}));
    ::PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(run.EndsShowingNothing(wizard));
    EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:8110", m_user.Pop(4));
}

TEST_F(Startup, UninstallAsksOnceAndRestoresEveryAccountOnYes)
{
    const char kRestore[] = "Restore original settings of all e-mail accounts?";
    {
        CProgramRun run("/uninstall", m_folder.Path());
        EXPECT_EQ(kRestore, gui::Answered(run.Id(), kCaption, IDNO));
        EXPECT_TRUE(run.EndsShowingNothing());
        EXPECT_EQ(2, run.ExitCode(5000)) << "declined: the uninstaller must not go on";
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:8110", m_user.Pop(4));
        EXPECT_EQ("gus/pop.gus.example/110|LocalHost|dword:110", m_user.Pop(8));
    }
    CProgramRun run("/UnInstall", m_folder.Path());
    EXPECT_EQ(kRestore, gui::Answered(run.Id(), kCaption, IDYES));
    std::string question = gui::Answered(run.Id(), "Confirm action for Doubtful", IDOK);
    EXPECT_NE(std::string::npos, question.find("Username: dom/anna")) << question;
    // The list itself is never shown, nor the first-paint hint.
    EXPECT_TRUE(run.EndsShowingNothing());
    EXPECT_EQ(0, run.ExitCode(5000)) << "every account given back";
    EXPECT_EQ("bob|pop.mail.example|dword:110", m_user.Pop(4));
    EXPECT_EQ("dom|anna|dword:110", m_user.Pop(5));
    EXPECT_EQ("gus|pop.gus.example|dword:110", m_user.Pop(8));
    EXPECT_EQ("anna|pop.mail.example|<missing>", m_user.Pop(1));
    EXPECT_EQ("otto|pop.otto.example|dword:110", m_user.Pop(1, true));
}

TEST_F(Startup, UninstallThatCannotGiveEveryAccountBackExitsWithOne)
{
    // A client that runs keeps its accounts when the user abandons the action at the warning.
    CProcessRun client(FakeClientCopy(m_folder, "msimn.exe"), "", m_folder.Path());
    CProgramRun run("/uninstall", m_folder.Path());
    EXPECT_EQ("Restore original settings of all e-mail accounts?", gui::Answered(run.Id(), kCaption, IDYES));
    std::string warning = gui::Answered(run.Id(), "Close e-mail clients", IDCANCEL);
    EXPECT_NE(std::string::npos, warning.find("Outlook Express")) << warning;
    EXPECT_TRUE(run.EndsShowingNothing());
    EXPECT_EQ(1, run.ExitCode(5000));
    EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:8110", m_user.Pop(4));
}

TEST_F(Startup, ModeSelectionComesFirstAndTheTranslatedCaptionNamesTheWindowsAndTheSingleInstance)
{
    CProgramRun first("", m_folder.Path());
    HWND modes = gui::WaitForDialog(first.Id(), kCaption, false);
    ASSERT_NE(nullptr, ::GetDlgItem(modes, IDC_MODE_WIZARD));
    EXPECT_EQ((Texts{"Please select operation mode:", "Assistent \nein Konto nach dem anderen",
                     "Standard mode (view all accounts, process selected; manual configuration assistent for "
                     "unsupported clients)"}),
              gui::ItemTexts(modes, {IDC_MODE_GROUP, IDC_MODE_WIZARD, IDC_MODE_STANDARD}));
    EXPECT_TRUE(::IsDlgButtonChecked(modes, IDC_MODE_WIZARD) == BST_CHECKED);
    // A second start finds the first by its translated title and opens nothing of its own.
    CProgramRun second("/install", m_folder.Path());
    EXPECT_TRUE(second.EndsShowingNothing());

    // Standard mode from the first: the translated hint over the translated standard dialog.
    EXPECT_TRUE(gui::Click(modes, IDC_MODE_STANDARD));
    EXPECT_TRUE(gui::Click(modes, IDOK));
    EXPECT_EQ("Konten markieren \nund einen Knopf dr\374cken.", gui::Answered(first.Id(), kCaption, IDOK));
    HWND standard = gui::WaitForDialog(first.Id(), kCaption, false);
    ASSERT_NE(nullptr, ::GetDlgItem(standard, IDC_ACCOUNT_LIST));
    EXPECT_EQ((Texts{"Einrichten", "Unconfigure", "Konto:  \x97 "}),
              gui::ItemTexts(standard, {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_DETAILS_GROUP}));
    ::PostMessageA(standard, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    EXPECT_TRUE(first.HasEnded(10000));
}
