// The dialog program's entry point: everything happens in the application object's start-up.
#include "app/gui/VantlerApp.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/)
{
    theApp.InitInstance();
    return theApp.ExitCode();
}
