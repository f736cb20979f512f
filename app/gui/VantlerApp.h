// CVantlerApp: start-up of the dialog program: settings, texts, single instance, switches and the chosen
// mode.
#pragma once

#include <windows.h>

class CVantlerApp
{
public:
    CVantlerApp() = default;
    virtual ~CVantlerApp() = default;
    CVantlerApp(const CVantlerApp&) = delete;
    CVantlerApp& operator=(const CVantlerApp&) = delete;

    // Runs the whole program: the chosen dialog as the main window until it closes. Always FALSE: there is no
    // message loop to run afterwards.
    BOOL InitInstance();
    // The process's exit code: after "/uninstall", whether every account was given back (CVantlerDlg's
    // RESTORE_* results); 0 otherwise.
    int ExitCode() const { return m_exitCode; }

private:
    int m_exitCode = 0;
};

// The program's one application object.
extern CVantlerApp theApp;
