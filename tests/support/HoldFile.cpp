// nimbrel-hold-file: holds a file open as another program would, for the tests of stores in use.
//   nimbrel-hold-file [--exclusive] FILE READY STOP
// Opens FILE for reading and writing, letting others read it (--exclusive: share nothing), writes the file
// READY once it holds it, and holds it until the file STOP appears or 60 seconds have passed.
// Exit code 0 when stopped, 1 on a usage error, 2 when FILE could not be opened, 3 after the time-out.
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace {

const DWORD kTimeoutMs = 60000;
const DWORD kPollMs = 50;

BOOL Exists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

BOOL WriteMarker(const wchar_t* path)
{
    HANDLE marker =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE)
        return FALSE;
    const char text[] = "held\r\n";
    DWORD written = 0;
    const BOOL ok = WriteFile(marker, text, sizeof(text) - 1, &written, nullptr) && FlushFileBuffers(marker);
    return CloseHandle(marker) && ok;
}

int Hold(int count, wchar_t** args)
{
    int next = 1;
    BOOL exclusive = FALSE;
    if (next < count && wcscmp(args[next], L"--exclusive") == 0) {
        exclusive = TRUE;
        ++next;
    }
    if (count - next != 3) {
        fwprintf(stderr, L"usage: nimbrel-hold-file [--exclusive] FILE READY STOP\n");
        return 1;
    }
    const wchar_t* file = args[next];
    const wchar_t* ready = args[next + 1];
    const wchar_t* stop = args[next + 2];
    HANDLE held = CreateFileW(file, GENERIC_READ | GENERIC_WRITE, exclusive ? 0 : FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        fwprintf(stderr, L"nimbrel-hold-file: cannot open %ls (error %lu)\n", file, GetLastError());
        return 2;
    }
    if (!WriteMarker(ready)) {
        fwprintf(stderr, L"nimbrel-hold-file: cannot write %ls\n", ready);
        CloseHandle(held);
        return 2;
    }
    const ULONGLONG start = GetTickCount64();
    int result = 3;
    while (GetTickCount64() - start < kTimeoutMs) {
        if (Exists(stop)) {
            result = 0;
            break;
        }
        Sleep(kPollMs);
    }
    CloseHandle(held);
    return result;
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args)
        return 1;
    const int result = Hold(count, args);
    LocalFree(args);
    return result;
}
