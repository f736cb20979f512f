// Sample users for the dialog tests, our stand-in client process, and the opening of the standard dialog.
#include "SampleUser.h"

#include "UserDriver.h"
#include "fixtures/SampleStores.h"
#include "ui/VantlerDlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

const char kOutlookExpressAccounts[] = "Software\\Microsoft\\Internet Account Manager\\Accounts\\0000000";
const char kOutlookAccounts[] =
    "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts\\0000000";

bool g_hintSeen = false;

} // namespace

CSampleUser::CSampleUser(bool withAccounts, DWORD proxyPort)
    : m_registry({{HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Account Manager"},
                  {HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager"},
                  {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Outlook Express"},
                  {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\11.0\\Outlook"}}),
      m_port(proxyPort)
{
    if (!withAccounts)
        return;
    SampleContext context;
    context.root = m_root.Path();
    context.appData = m_root.Path() + "\\AppData";
    context.proxyPort = 110;
    EXPECT_TRUE(SeedOutlookExpressSamples(context));
    EXPECT_TRUE(SeedOutlookSamples(context));
}

std::string CSampleUser::Pop(int n, bool outlook) const
{
    const std::string key = (outlook ? kOutlookAccounts : kOutlookExpressAccounts) + std::to_string(n);
    return RegValueText(HKEY_CURRENT_USER, key, "POP3 User Name") + "|" +
           RegValueText(HKEY_CURRENT_USER, key, "POP3 Server") + "|" +
           RegValueText(HKEY_CURRENT_USER, key, "POP3 Port");
}

CProcessRun::CProcessRun(const std::string& program, const std::string& arguments, const std::string& folder)
{
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    EXPECT_TRUE(::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.c_str(), &startup, &m_process))
        << commandLine;
    // A client's process must be in the process snapshot before the test goes on.
    ::WaitForInputIdle(m_process.hProcess, 1000);
}

bool CProcessRun::HasEnded(int timeoutMs) const
{
    return m_process.hProcess && ::WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

int CProcessRun::ExitCode(int timeoutMs) const
{
    DWORD code = 0;
    if (!HasEnded(timeoutMs) || !::GetExitCodeProcess(m_process.hProcess, &code))
        return -1;
    return static_cast<int>(code);
}

void CProcessRun::Stop()
{
    if (!m_process.hProcess)
        return;
    ::TerminateProcess(m_process.hProcess, 1);
    ::WaitForSingleObject(m_process.hProcess, 10000);
    ::CloseHandle(m_process.hProcess);
    ::CloseHandle(m_process.hThread);
    m_process = {};
}

std::string FakeClientCopy(const CTestFolder& folder, const std::string& exeName)
{
    std::string copy = folder / exeName;
    EXPECT_TRUE(::CopyFileA((ProgramFolder() + "nimbrel-fake-client.exe").c_str(), copy.c_str(), FALSE));
    return copy;
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

HWND OpenedMainDialog(DWORD uiThread, const std::string& caption, const std::string& hint)
{
    HWND dialog = gui::WaitForDialog(uiThread, caption, false);
    EXPECT_NE(nullptr, dialog) << "the standard dialog did not open";
    if (!dialog || g_hintSeen)
        return dialog;
    g_hintSeen = true;
    HWND box = gui::WaitForDialog(uiThread, caption, true);
    EXPECT_EQ(hint, gui::MessageText(box));
    // The hint is modal over the dialog.
    EXPECT_EQ(dialog, ::GetWindow(box, GW_OWNER));
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    EXPECT_TRUE(gui::Answer(box, IDOK));
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    return dialog;
}

INT_PTR RunMainDialog(const std::function<void(DWORD ui, HWND dialog, HWND list)>& script)
{
    CVantlerDlg dialog(nullptr);
    return RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = OpenedMainDialog(ui);
        ASSERT_NE(nullptr, dlg);
        script(ui, dlg, ::GetDlgItem(dlg, IDC_ACCOUNT_LIST));
    });
}

INT_PTR RunWithUser(CDialog& dialog, const std::function<void(DWORD uiThread)>& script)
{
    DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> modalDone{false};
    std::thread user([&] {
        script(uiThread);
        // Close what the script left open: message boxes first, then the dialogs.
        while (!modalDone) {
            for (HWND window : gui::Dialogs(uiThread)) {
                if (gui::IsMessageBox(window)) {
                    for (int button : {IDNO, IDCANCEL, IDOK})
                        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                } else {
                    ::PostMessageA(window, WM_CLOSE, 0, 0);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    INT_PTR result = dialog.DoModal();
    modalDone = true;
    user.join();
    return result;
}
