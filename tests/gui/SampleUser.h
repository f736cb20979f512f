// The user a dialog test runs as: sample Outlook Express and Outlook accounts, the proxy port, and a program
// of our own running under an e-mail client's name.
#pragma once

#include "support/TestScopes.h"

#include <windows.h>

#include <functional>
#include <string>

// Seeds the samples (or none) for one test and removes every trace of them afterwards.
class CSampleUser
{
public:
    explicit CSampleUser(bool withAccounts = true, DWORD proxyPort = 110);

    // A value of Outlook Express account number n (1 to 8) as text, "dword:N" for numbers.
    std::string OutlookExpressValue(int n, const char* name) const;
    std::string OutlookValue(int n, const char* name) const;
    // "user|server|port" of an Outlook Express account, for one-line comparisons.
    std::string OutlookExpressPop(int n) const;
    const std::string& Root() const { return m_root.Path(); }

private:
    CRegistryScope m_registry;
    CProxyPortScope m_port;
    CTestFolder m_root;
};

// A program run in folder, ended at the latest with the object.
class CProcessRun
{
public:
    CProcessRun() = default;
    CProcessRun(const std::string& program, const std::string& arguments, const std::string& folder)
    {
        Start(program, arguments, folder);
    }
    ~CProcessRun() { Stop(); }
    CProcessRun(const CProcessRun&) = delete;
    CProcessRun& operator=(const CProcessRun&) = delete;
    bool Start(const std::string& program, const std::string& arguments, const std::string& folder);
    DWORD Id() const { return m_process.dwProcessId; }
    HANDLE Handle() const { return m_process.hProcess; }
    bool HasEnded(int timeoutMs) const;
    void Stop();

private:
    PROCESS_INFORMATION m_process = {};
};

// Runs a copy of our waiting program under a client's program file name until stopped.
class CFakeClientProcess
{
public:
    explicit CFakeClientProcess(const std::string& exeName);
    void Stop() { m_run.Stop(); }

private:
    CTestFolder m_folder;
    CProcessRun m_run;
};

// The folder of the running test program, with its trailing backslash.
std::string ProgramFolder();

// Waits for the standard dialog of the thread; the first one of each process must show the first-paint hint,
// which is checked and answered here. Null when the dialog did not open.
HWND OpenedMainDialog(
    DWORD uiThread, const std::string& caption = "E-mail accounts configurator",
    const std::string& hint = "Select account(s) you want to process and click the appropriate button.");

// Runs the standard dialog for real and plays script once it is open, past its hint; returns DoModal's
// result.
INT_PTR RunMainDialog(const std::function<void(DWORD ui, HWND dialog, HWND list)>& script);
