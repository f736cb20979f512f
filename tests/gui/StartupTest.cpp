// The program itself, started as a separate process: single instance, switches and the mode choice.
#include "SampleUser.h"
#include "UserDriver.h"

#include "RegKey.h"
#include "settings/ProductSettings.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

namespace {

const char kCaption[] = "E-mail accounts configurator";

// One run of vantler.exe, ended at the latest when the test ends.
class CProgramRun
{
public:
    CProgramRun(const std::string& arguments, const std::string& folder)
    {
        std::string program = ProgramFolder() + "vantler.exe";
        std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        m_started = ::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                     folder.c_str(), &startup, &m_process) != 0;
        EXPECT_TRUE(m_started) << commandLine;
    }
    ~CProgramRun()
    {
        if (!m_started)
            return;
        if (!HasEnded(0))
            ::TerminateProcess(m_process.hProcess, 1);
        ::WaitForSingleObject(m_process.hProcess, 10000);
        ::CloseHandle(m_process.hProcess);
        ::CloseHandle(m_process.hThread);
    }
    DWORD Id() const { return m_process.dwProcessId; }
    bool HasEnded(int timeoutMs) const
    {
        return m_started && ::WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }
    // Watches the process until it ends; the titles of every dialog it showed on the way besides closing, the
    // window that was just told to close.
    std::vector<std::string> DialogsUntilEnd(HWND closing = nullptr, int timeoutMs = 15000) const
    {
        std::vector<std::string> seen;
        gui::WaitUntil(
            [&] {
                for (HWND window : gui::Dialogs(Id())) {
                    if (window == closing)
                        continue;
                    std::string title = gui::Text(window) + (gui::IsMessageBox(window) ? " (message)" : "");
                    if (std::find(seen.begin(), seen.end(), title) == seen.end())
                        seen.push_back(title);
                }
                return HasEnded(0);
            },
            timeoutMs);
        return seen;
    }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_process = {};
};

// The installation directory the program reads its text file from.
void SetInstallationDirectory(const std::string& folder)
{
    plat::CRegKey key;
    key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_ALL_ACCESS);
    key.SetString(NIMBREL_INSTALL_DIR_VALUE, folder + "\\");
}

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
    Startup() { SetInstallationDirectory(m_folder.Path()); }

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
    EXPECT_TRUE(run.HasEnded(0));
}

TEST_F(Startup, SecondStartBringsTheFirstWindowBackAndOpensNothing)
{
    CProgramRun first("/install", m_folder.Path());
    HWND wizard = gui::WaitForDialog(first.Id(), kCaption, false);
    ASSERT_TRUE(IsWizard(wizard));
    ::PostMessageA(wizard, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(gui::WaitUntil([&] { return ::IsIconic(wizard) != 0; }));

    CProgramRun second("", m_folder.Path());
    EXPECT_EQ((std::vector<std::string>{}), second.DialogsUntilEnd());
    EXPECT_TRUE(second.HasEnded(0));
    EXPECT_TRUE(gui::WaitUntil([&] { return !::IsIconic(wizard); })) << "the first window was not restored";
    EXPECT_EQ(1u, gui::Dialogs(first.Id()).size());
    EXPECT_TRUE(gui::Click(wizard, IDC_WIZARD_CLOSE));
    EXPECT_TRUE(first.HasEnded(10000));
}

TEST_F(Startup, InstallSwitchInAnyCaseOpensTheWizardAndNothingIsRestored)
{
    for (const char* arguments : {"/INSTALL", "/uninstall /Install"}) {
        SCOPED_TRACE(arguments);
        CProgramRun run(arguments, m_folder.Path());
        HWND wizard = gui::WaitForDialog(run.Id(), kCaption, false);
        ASSERT_TRUE(IsWizard(wizard));
        EXPECT_EQ(1u, gui::Dialogs(run.Id()).size()) << "no mode selection, no question";
        ::PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ((std::vector<std::string>{}), run.DialogsUntilEnd(wizard));
        EXPECT_TRUE(run.HasEnded(0));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:8110", m_user.OutlookExpressPop(4));
    }
}

TEST_F(Startup, UninstallAsksOnceAndRestoresEveryAccountOnYes)
{
    {
        CProgramRun run("/uninstall", m_folder.Path());
        HWND box = gui::WaitForDialog(run.Id(), kCaption, true);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("Restore original settings of all e-mail accounts?", gui::MessageText(box));
        EXPECT_TRUE(gui::Answer(box, IDNO));
        EXPECT_EQ((std::vector<std::string>{}), run.DialogsUntilEnd());
        EXPECT_TRUE(run.HasEnded(0));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:8110", m_user.OutlookExpressPop(4));
        EXPECT_EQ("gus/pop.gus.example/110|LocalHost|dword:110", m_user.OutlookExpressPop(8));
    }
    CProgramRun run("/UnInstall", m_folder.Path());
    HWND box = gui::WaitForDialog(run.Id(), kCaption, true);
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(gui::Answer(box, IDYES));
    box = gui::WaitForDialog(run.Id(), "Confirm action for Doubtful", true);
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(gui::Answer(box, IDOK));
    // The list itself is never shown, nor the first-paint hint.
    EXPECT_EQ((std::vector<std::string>{}), run.DialogsUntilEnd());
    EXPECT_TRUE(run.HasEnded(0));
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
    EXPECT_TRUE(second.HasEnded(0));
    // Standard mode from the first: the standard dialog carries the translated title too.
    EXPECT_TRUE(gui::Click(modes, IDC_MODE_STANDARD));
    EXPECT_TRUE(gui::Click(modes, IDOK));
    HWND hint = gui::WaitForDialog(first.Id(), caption, true);
    ASSERT_NE(nullptr, hint);
    EXPECT_TRUE(gui::Answer(hint, IDOK));
    HWND standard = gui::WaitForDialog(first.Id(), caption, false);
    ASSERT_NE(nullptr, standard);
    EXPECT_NE(nullptr, ::GetDlgItem(standard, IDC_ACCOUNT_LIST));
    ::PostMessageA(standard, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    EXPECT_TRUE(first.HasEnded(10000));
}
