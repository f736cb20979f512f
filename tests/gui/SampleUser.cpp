// Sample users for the dialog tests, our stand-in client process, and the opening of the standard dialog.
#include "SampleUser.h"

#include "UserDriver.h"
#include "fixtures/SampleStores.h"
#include "ui/VantlerDlg.h"

#include <gtest/gtest.h>

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

std::string CSampleUser::OutlookExpressValue(int n, const char* name) const
{
    return RegValueText(HKEY_CURRENT_USER, kOutlookExpressAccounts + std::to_string(n), name);
}

std::string CSampleUser::OutlookValue(int n, const char* name) const
{
    return RegValueText(HKEY_CURRENT_USER, kOutlookAccounts + std::to_string(n), name);
}

std::string CSampleUser::OutlookExpressPop(int n) const
{
    return OutlookExpressValue(n, "POP3 User Name") + "|" + OutlookExpressValue(n, "POP3 Server") + "|" +
           OutlookExpressValue(n, "POP3 Port");
}

CFakeClientProcess::CFakeClientProcess(const std::string& exeName)
{
    std::string copy = m_folder / exeName;
    EXPECT_TRUE(::CopyFileA((ProgramFolder() + "nimbrel-fake-client.exe").c_str(), copy.c_str(), FALSE));
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string commandLine = "\"" + copy + "\"";
    EXPECT_TRUE(::CreateProcessA(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 m_folder.Path().c_str(), &startup, &m_process));
    // The snapshot must see it before the test goes on.
    ::WaitForInputIdle(m_process.hProcess, 2000);
    ::Sleep(300);
}

CFakeClientProcess::~CFakeClientProcess()
{
    Stop();
}

bool CFakeClientProcess::IsRunning() const
{
    return m_process.hProcess && ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

void CFakeClientProcess::Stop()
{
    if (!m_process.hProcess)
        return;
    ::TerminateProcess(m_process.hProcess, 0);
    ::WaitForSingleObject(m_process.hProcess, 10000);
    ::CloseHandle(m_process.hProcess);
    ::CloseHandle(m_process.hThread);
    m_process = {};
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
    HWND dialog = gui::WaitForThreadDialog(uiThread, caption, false);
    EXPECT_NE(nullptr, dialog) << "the standard dialog did not open";
    if (!dialog || g_hintSeen)
        return dialog;
    g_hintSeen = true;
    HWND box = gui::WaitForThreadDialog(uiThread, caption, true);
    EXPECT_NE(nullptr, box) << "no first-paint hint";
    if (box) {
        EXPECT_EQ(hint, gui::MessageText(box));
        EXPECT_EQ(dialog, ::GetWindow(box, GW_OWNER));
        EXPECT_TRUE(gui::Answer(box, IDOK));
    }
    return dialog;
}

INT_PTR RunMainDialog(const std::function<void(DWORD ui, HWND dialog, HWND list)>& script)
{
    CVantlerDlg dialog(nullptr);
    return gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = OpenedMainDialog(ui);
        ASSERT_NE(nullptr, dlg);
        script(ui, dlg, ::GetDlgItem(dlg, IDC_ACCOUNT_LIST));
    });
}
