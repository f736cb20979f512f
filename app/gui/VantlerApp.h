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
};

// The program's one application object.
extern CVantlerApp theApp;
