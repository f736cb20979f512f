// The program itself, started as a separate process: single instance, switches and the mode choice.
#include "SampleUser.h"
#include "UserDriver.h"

#include "RegKey.h"
#include "settings/ProductSettings.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

namespace {

const char kCaption[] = "E-mail accounts configurator";

// One run of vantler.exe in folder.
class CProgramRun : public CProcessRun
{
public:
    CProgramRun(const std::string& arguments, const std::string& folder)
        : CProcessRun(ProgramFolder() + "vantler.exe", arguments, folder)
    {
    }
    // Watches the process until it ends; the titles of every dialog it showed on the way besides closing, the
    // window that was just told to close, and "<still running>" when it did not end.
    std::vector<std::string> DialogsUntilEnd(HWND closing = nullptr) const
    {
        std::vector<std::string> seen;
        bool ended = gui::WaitUntil(
            [&] {
                for (HWND window : gui::Dialogs(Id())) {
                    std::string title = gui::Text(window) + (gui::IsMessageBox(window) ? " (message)" : "");
                    if (window != closing && std::find(seen.begin(), seen.end(), title) == seen.end())
                        seen.push_back(title);
                }
                return HasEnded(0);
            },
            15000);
        if (!ended)
            seen.push_back("<still running>");
        return seen;
    }
};

bool IsWizard(HWND window)
{
    return window && ::GetDlgItem(window, IDC_NEXT) && ::GetDlgItem(window, IDC_UPTODATE_YES);
}

bool IsModeSelection(HWND window)
{
    return window && ::GetDlgItem(window, IDC_MODE_WIZARD) && ::GetDlgItem(window, IDC_MODE_STANDARD);
}

// The sample user, and a folder of our own as the program's installation directory.
class Startup : public ::testing::Test
{
protected:
    Startup()
    {
        // The installation directory the program reads its text file from.
        plat::CRegKey key;
        key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_ALL_ACCESS);
        key.SetString(NIMBREL_INSTALL_DIR_VALUE, m_folder.Path() + "\\");
    }

    CSampleUser m_user;
    CTestFolder m_folder;
};

} // namespace

TEST_F(Startup, ModeSelectionComesFirstAndCancellingItOpensNothing)
{
    CProgramRun run("", m_folder.Path());
    HWND modes = gui::WaitForDialog(run.Id(), kCaption, false);
    ASSERT_TRUE(IsModeSelection(modes));
    EXPECT_EQ(BST_CHECKED, gui::CheckState(modes, IDC_MODE_WIZARD));
    ::PostMessageA(modes, WM_CLOSE, 0, 0);
    EXPECT_EQ((std::vector<std::string>{}), run.DialogsUntilEnd(modes));
}

TEST_F(Startup, InstallSwitchInAnyCaseOpensTheWizardAndASecondStartBringsItBack)
{
    for (const char* arguments : {"/INSTALL", "/uninstall /Install"}) {
        SCOPED_TRACE(arguments);
        CProgramRun run(arguments, m_folder.Path());
        HWND wizard = gui::WaitForDialog(run.Id(), kCaption, false);
        ASSERT_TRUE(IsWizard(wizard));
        EXPECT_EQ(1u, gui::Dialogs(run.Id()).size()) << "no mode selection, no question";
        // A second start restores the first window and opens nothing of its own.
        ::PostMessageA(wizard, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(gui::WaitUntil([&] { return ::IsIconic(wizard) != 0; }));
        CProgramRun second("", m_folder.Path());
        EXPECT_EQ((std::vector<std::string>{}), second.DialogsUntilEnd());
        EXPECT_TRUE(gui::WaitUntil([&] { return !::IsIconic(wizard); }))
            << "the first window was not restored";
        EXPECT_EQ(1u, gui::Dialogs(run.Id()).size());
        ::PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ((std::vector<std::string>{}), run.DialogsUntilEnd(wizard));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:8110", m_user.OutlookExpressPop(4));
    }
}

TEST_F(Startup, UninstallAsksOnceAndRestoresEveryAccountOnYes)
{
    const char kRestore[] = "Restore original settings of all e-mail accounts?";
    {
        CProgramRun run("/uninstall", m_folder.Path());
        EXPECT_EQ(kRestore, gui::Answered(run.Id(), kCaption, IDNO));
        EXPECT_EQ((std::vector<std::string>{}), run.DialogsUntilEnd());
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:8110", m_user.OutlookExpressPop(4));
        EXPECT_EQ("gus/pop.gus.example/110|LocalHost|dword:110", m_user.OutlookExpressPop(8));
    }
    CProgramRun run("/UnInstall", m_folder.Path());
    EXPECT_EQ(kRestore, gui::Answered(run.Id(), kCaption, IDYES));
    std::string question = gui::Answered(run.Id(), "Confirm action for Doubtful", IDOK);
    EXPECT_NE(std::string::npos, question.find("Username: dom/anna")) << question;
    // The list itself is never shown, nor the first-paint hint.
    EXPECT_EQ((std::vector<std::string>{}), run.DialogsUntilEnd());
    EXPECT_EQ("bob|pop.mail.example|dword:110", m_user.OutlookExpressPop(4));
    EXPECT_EQ("dom|anna|dword:110", m_user.OutlookExpressPop(5));
    EXPECT_EQ("gus|pop.gus.example|dword:110", m_user.OutlookExpressPop(8));
    EXPECT_EQ("anna|pop.mail.example|<missing>", m_user.OutlookExpressPop(1));
    EXPECT_EQ("otto", m_user.OutlookValue(1, "POP3 User Name"));
}

TEST_F(Startup, TranslatedCaptionNamesTheWindowsAndTheSingleInstance)
{
    const std::string caption = "Postkonten \x97 Einrichtung";
    ASSERT_TRUE(::WritePrivateProfileStringA("Main Dialog", "Caption", caption.c_str(),
                                             (m_folder / "vantler.txt").c_str()));
    ASSERT_TRUE(::WritePrivateProfileStringA("Mode Selection Dialog", "Wiz",
                                             "Assistent\\nein Konto nach dem anderen",
                                             (m_folder / "vantler.txt").c_str()));
    CProgramRun first("", m_folder.Path());
    HWND modes = gui::WaitForDialog(first.Id(), caption, false);
    ASSERT_TRUE(IsModeSelection(modes));
    EXPECT_EQ("Assistent \nein Konto nach dem anderen", gui::ItemText(modes, IDC_MODE_WIZARD));

    CProgramRun second("/install", m_folder.Path());
    EXPECT_EQ((std::vector<std::string>{}), second.DialogsUntilEnd());
    // Standard mode from the first: the standard dialog carries the translated title too.
    EXPECT_TRUE(gui::Click(modes, IDC_MODE_STANDARD));
    EXPECT_TRUE(gui::Click(modes, IDOK));
    EXPECT_EQ("Select account(s) you want to process and click the appropriate button.",
              gui::Answered(first.Id(), caption, IDOK));
    HWND standard = gui::WaitForDialog(first.Id(), caption, false);
    ASSERT_NE(nullptr, standard);
    EXPECT_NE(nullptr, ::GetDlgItem(standard, IDC_ACCOUNT_LIST));
    ::PostMessageA(standard, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    EXPECT_TRUE(first.HasEnded(10000));
}
