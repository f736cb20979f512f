// nimbrel-fake-client: waits quietly for a minute, so that tests can have a process run under a client's
// name.
#include <windows.h>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/)
{
    ::Sleep(60000);
    return 0;
}
