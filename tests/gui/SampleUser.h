// The user a dialog test runs as: sample Outlook Express and Outlook accounts, the proxy port, programs run
// beside the test (ours, or one under an e-mail client's name), and the dialogs run with the user playing.
#pragma once

#include "support/TestScopes.h"

#include <windows.h>

#include <functional>
#include <string>

class CDialog;

// Seeds the samples (or none) for one test and removes every trace of them afterwards.
class CSampleUser
{
public:
    explicit CSampleUser(bool withAccounts = true, DWORD proxyPort = 110);

    // "user|server|port" of Outlook Express account number n (1 to 8), or of Outlook's; "dword:N" for the
    // port, "<missing>" for an absent value.
    std::string Pop(int n, bool outlook = false) const;
    const std::string& Root() const { return m_root.Path(); }

private:
    CRegistryScope m_registry;
    CProxyPortScope m_port;
    CTestFolder m_root;
};

// A program run in folder, ended at the latest with the object. It is started once it waits for input, or
// after a second when it never does.
class CProcessRun
{
public:
    CProcessRun(const std::string& program, const std::string& arguments, const std::string& folder);
    ~CProcessRun() { Stop(); }
    CProcessRun(const CProcessRun&) = delete;
    CProcessRun& operator=(const CProcessRun&) = delete;
    DWORD Id() const { return m_process.dwProcessId; }
    bool HasEnded(int timeoutMs) const;
    // The process's exit code once it has ended within timeoutMs; -1 when it still runs.
    int ExitCode(int timeoutMs) const;
    void Stop();

private:
    PROCESS_INFORMATION m_process = {};
};

// Our waiting program copied into folder under a client's program file name, to be run there; the copy's
// path.
std::string FakeClientCopy(const CTestFolder& folder, const std::string& exeName);

// The folder of the running test program, with its trailing backslash.
std::string ProgramFolder();

// Runs dialog.DoModal() on this thread while script plays the user on a second thread. Whatever the script
// leaves open is then closed, so that a failing test cannot hang. Returns DoModal's result.
INT_PTR RunWithUser(CDialog& dialog, const std::function<void(DWORD uiThread)>& script);

// Waits for the standard dialog of the thread; the first one of each process must show the first-paint hint,
// which is checked and answered here. Null when the dialog did not open.
HWND OpenedMainDialog(
    DWORD uiThread, const std::string& caption = "E-mail accounts configurator",
    const std::string& hint = "Select account(s) you want to process and click the appropriate button.");

// Runs the standard dialog for real and plays script once it is open, past its hint; returns DoModal's
// result.
INT_PTR RunMainDialog(const std::function<void(DWORD ui, HWND dialog, HWND list)>& script);
