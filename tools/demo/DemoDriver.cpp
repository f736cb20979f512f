// vantler-demo-driver: plays the user in a running configurator, for demonstrations and screenshots.
//   vantler-demo-driver standard    mode selection: standard mode; hint answered; some rows marked, one shown
//   vantler-demo-driver wizard [N]  mode selection: wizard mode; N times Next (2: an outdated account)
//   vantler-demo-driver assistant   from the standard dialog: the manual assistant, filled in
//   vantler-demo-driver about       from the standard dialog: the About box
//   vantler-demo-driver close       closes every window of the configurator
#include "tests/gui/UserDriver.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kCaption[] = "E-mail accounts configurator";

// The first shown window of the configurator titled title, a message box when messageBox.
HWND WaitFor(const char* title, bool messageBox)
{
    // Every window of the configurator carries its caption at first: the mode selection or the dialog.
    HWND first = nullptr;
    gui::WaitUntil([&] { return (first = ::FindWindowA(nullptr, kCaption)) != nullptr; }, 20000);
    DWORD process = 0;
    ::GetWindowThreadProcessId(first, &process);
    HWND found = first ? gui::WaitForDialog(process, title, messageBox, 20000) : nullptr;
    if (!found)
        std::fprintf(stderr, "vantler-demo-driver: no window \"%s\"\n", title);
    return found;
}

// Memory in the configurator's process, for list-view messages that carry pointers.
class CRemoteBuffer
{
public:
    explicit CRemoteBuffer(HWND window)
    {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        m_process =
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (m_process)
            m_memory = ::VirtualAllocEx(m_process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~CRemoteBuffer()
    {
        if (m_memory)
            ::VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
        if (m_process)
            ::CloseHandle(m_process);
    }
    template <class T> LPARAM Put(const T& value)
    {
        ::WriteProcessMemory(m_process, m_memory, &value, sizeof(value), nullptr);
        return reinterpret_cast<LPARAM>(m_memory);
    }
    template <class T> T Get()
    {
        T value = {};
        ::ReadProcessMemory(m_process, m_memory, &value, sizeof(value), nullptr);
        return value;
    }

private:
    HANDLE m_process = nullptr;
    void* m_memory = nullptr;
};

void MarkRow(HWND list, int row)
{
    CRemoteBuffer buffer(list);
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(2);
    ::SendMessageA(list, LVM_SETITEMSTATE, row, buffer.Put(item));
}

// A real click on a row's label, so that the dialog shows its details.
void ClickRow(HWND list, int row)
{
    CRemoteBuffer buffer(list);
    RECT rect = {};
    rect.left = LVIR_LABEL;
    ::SendMessageA(list, LVM_GETITEMRECT, row, buffer.Put(rect));
    rect = buffer.Get<RECT>();
    gui::ClickAt(list, {rect.left + 10, (rect.top + rect.bottom) / 2});
}

HWND OpenStandard()
{
    HWND modes = WaitFor(kCaption, false);
    if (!modes)
        return nullptr;
    ::Sleep(1500);
    gui::Click(modes, IDC_MODE_STANDARD);
    gui::Click(modes, IDOK);
    gui::Answer(WaitFor(kCaption, true), IDOK);
    HWND standard = WaitFor(kCaption, false);
    HWND list = standard ? ::GetDlgItem(standard, IDC_ACCOUNT_LIST) : nullptr;
    if (!list)
        return nullptr;
    int rows = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; row += 3)
        MarkRow(list, row);
    // A click now and then selects the row without its details showing under Wine: click again until they do.
    const std::string idle = gui::ItemText(standard, IDC_DETAILS_GROUP);
    for (int attempt = 0; attempt < 3; ++attempt) {
        ClickRow(list, rows > 3 ? 3 : 0);
        if (gui::WaitUntil([&] { return gui::ItemText(standard, IDC_DETAILS_GROUP) != idle; }, 3000))
            break;
    }
    return standard;
}

BOOL CALLBACK CloseWindow(HWND window, LPARAM /*parameter*/)
{
    char title[256] = {};
    ::GetWindowTextA(window, title, sizeof(title));
    std::string text = title;
    if (text == kCaption || text == "About" || text == "Manual configuration assistent")
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "standard";
    if (command == "standard")
        return OpenStandard() ? 0 : 1;
    if (command == "wizard") {
        HWND modes = WaitFor(kCaption, false);
        if (!modes)
            return 1;
        gui::Click(modes, IDOK);
        ::Sleep(500);
        HWND wizard = WaitFor(kCaption, false);
        if (!wizard)
            return 1;
        int steps = argc > 2 ? std::atoi(argv[2]) : 2;
        for (int step = 0; step < steps; ++step)
            gui::Click(wizard, IDC_NEXT);
        return 0;
    }
    if (command == "assistant" || command == "about") {
        HWND standard = WaitFor(kCaption, false);
        if (!standard)
            return 1;
        if (command == "about") {
            ::PostMessageA(standard, WM_COMMAND, MAKEWPARAM(ID_HELP_ABOUT, 0), 0);
            return WaitFor("About", false) ? 0 : 1;
        }
        ::PostMessageA(::GetDlgItem(standard, IDC_MANUAL), BM_CLICK, 0, 0);
        HWND assistant = WaitFor("Manual configuration assistent", false);
        if (!assistant)
            return 1;
        ::SendDlgItemMessageA(assistant, IDC_USERNAME_INPUT, WM_SETTEXT, 0, (LPARAM) "anna");
        ::SendDlgItemMessageA(assistant, IDC_SERVER_INPUT, WM_SETTEXT, 0, (LPARAM) "pop.mail.example");
        ::SendDlgItemMessageA(assistant, IDC_PORT_INPUT, WM_SETTEXT, 0, (LPARAM) "995");
        gui::Click(assistant, IDC_AUTH_APOP);
        return 0;
    }
    if (command == "end") {
        // The last rows, where today's clients are listed, with one of their accounts' details.
        HWND standard = WaitFor(kCaption, false);
        HWND list = standard ? ::GetDlgItem(standard, IDC_ACCOUNT_LIST) : nullptr;
        if (!list)
            return 1;
        const int rows = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        if (rows == 0)
            return 1;
        ::SendMessageA(list, LVM_ENSUREVISIBLE, rows - 1, FALSE);
        const int row = argc > 2 ? rows - std::atoi(argv[2]) : rows - 1;
        const std::string shown = gui::ItemText(standard, IDC_DETAILS_GROUP);
        for (int attempt = 0; attempt < 3; ++attempt) {
            ClickRow(list, row < 0 ? 0 : row);
            if (gui::WaitUntil([&] { return gui::ItemText(standard, IDC_DETAILS_GROUP) != shown; }, 3000))
                break;
        }
        return 0;
    }
    if (command == "close") {
        for (int round = 0; round < 3; ++round) {
            ::EnumWindows(CloseWindow, 0);
            ::Sleep(300);
        }
        return 0;
    }
    std::fprintf(stderr,
                 "usage: vantler-demo-driver standard|end [ROWS-FROM-END]|wizard|assistant|about|close\n");
    return 2;
}
