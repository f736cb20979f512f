// Playing the user: window searches, clicks, keys, list reading and message-box answers.
#include "UserDriver.h"

#include "ui/Dialog.h"

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace gui {

namespace {

const UINT kMessageBoxTextId = 0xFFFF;

bool IsDialogClass(HWND window)
{
    char name[32] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return std::string(name) == "#32770";
}

struct Collect
{
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectThreadWindow(HWND window, LPARAM parameter)
{
    if (::IsWindowVisible(window) && IsDialogClass(window))
        reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM parameter)
{
    Collect* collect = reinterpret_cast<Collect*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == collect->processId && ::IsWindowVisible(window) && IsDialogClass(window))
        collect->found.push_back(window);
    return TRUE;
}

HWND FindIn(const std::vector<HWND>& windows, const std::string& title, bool messageBox)
{
    for (HWND window : windows) {
        if (IsMessageBox(window) == messageBox && Text(window) == title)
            return window;
    }
    return nullptr;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string Text(HWND window)
{
    char buffer[4096] = {};
    DWORD_PTR length = 0;
    if (!window || !::SendMessageTimeoutA(window, WM_GETTEXT, sizeof(buffer),
                                          reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000, &length))
        return "<no answer>";
    return std::string(buffer, length);
}

std::string ItemText(HWND dialog, int id)
{
    HWND item = ::GetDlgItem(dialog, id);
    return item ? Text(item) : "<no control>";
}

bool IsMessageBox(HWND window)
{
    return IsDialogClass(window) && ::GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

std::string MessageText(HWND box)
{
    return ItemText(box, kMessageBoxTextId);
}

std::vector<HWND> ThreadDialogs(DWORD threadId)
{
    std::vector<HWND> found;
    ::EnumThreadWindows(threadId, CollectThreadWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> ProcessDialogs(DWORD processId)
{
    Collect collect{processId, {}};
    ::EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&collect));
    return collect.found;
}

HWND WaitForThreadDialog(DWORD threadId, const std::string& title, bool messageBox, int timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindIn(ThreadDialogs(threadId), title, messageBox)) != nullptr; },
              timeoutMs);
    return found;
}

HWND WaitForProcessDialog(DWORD processId, const std::string& title, bool messageBox, int timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindIn(ProcessDialogs(processId), title, messageBox)) != nullptr; },
              timeoutMs);
    return found;
}

HWND WaitForThreadMessageBox(DWORD threadId, int timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : ThreadDialogs(threadId)) {
                if (IsMessageBox(window))
                    found = window;
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool Answer(HWND box, int button)
{
    if (!box || !::IsWindow(box))
        return false;
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
    return WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); });
}

bool Click(HWND dialog, int id, int timeoutMs)
{
    DWORD_PTR result = 0;
    HWND button = ::GetDlgItem(dialog, id);
    return button && ::SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

void PostClick(HWND dialog, int id)
{
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Command(HWND dialog, int id, int timeoutMs)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, timeoutMs, &result) !=
           0;
}

bool Sync(HWND window, int timeoutMs)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool IsEnabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != 0;
}

bool IsShown(HWND dialog, int id)
{
    return ::IsWindowVisible(::GetDlgItem(dialog, id)) != 0;
}

int CheckState(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    ::SendMessageTimeoutA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
    return static_cast<int>(state);
}

void Type(HWND dialog, int id, const std::string& text)
{
    DWORD_PTR result = 0;
    HWND edit = ::GetDlgItem(dialog, id);
    ::SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, 5000, &result);
    ::SendMessageTimeoutA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                          5000, &result);
}

void PressKeys(HWND target, std::initializer_list<WORD> keys)
{
    ::SetForegroundWindow(target);
    Sync(target);
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        --key;
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Sync(target);
}

void ClickAt(HWND window, POINT clientPoint, bool withControl)
{
    HWND top = ::GetAncestor(window, GA_ROOT);
    ::SetForegroundWindow(top);
    // Two clicks closer than this are one double-click.
    std::this_thread::sleep_for(std::chrono::milliseconds(::GetDoubleClickTime() + 50));
    Sync(window);
    POINT screen = clientPoint;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    std::vector<INPUT> inputs;
    auto key = [&](DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_CONTROL;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    auto mouse = [&](DWORD flags) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        inputs.push_back(input);
    };
    if (withControl)
        key(0);
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
    if (withControl)
        key(KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Sync(window);
}

int RowCount(HWND list)
{
    return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string Cell(HWND list, int row, int column)
{
    char buffer[1024] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    LRESULT length = ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return std::string(buffer, static_cast<size_t>(length));
}

std::vector<std::string> Row(HWND list, int row)
{
    std::vector<std::string> cells;
    for (int column = 0; column < 5; ++column)
        cells.push_back(Cell(list, row, column));
    return cells;
}

bool IsRowChecked(HWND list, int row)
{
    UINT state = static_cast<UINT>(::SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void CheckRow(HWND list, int row, bool checked)
{
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

std::string ColumnTitle(HWND list, int column)
{
    char buffer[256] = {};
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT;
    info.pszText = buffer;
    info.cchTextMax = sizeof(buffer);
    ::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
    return buffer;
}

void ClickRow(HWND list, int row, bool withControl)
{
    ::SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    RECT label = {};
    label.left = LVIR_LABEL;
    ::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label));
    POINT point = {label.left + 8, (label.top + label.bottom) / 2};
    ClickAt(list, point, withControl);
}

INT_PTR RunWithUser(CDialog& dialog, const std::function<void(DWORD uiThread)>& script)
{
    DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> modalDone{false};
    std::thread user([&] {
        script(uiThread);
        // Close what the script left open: message boxes first, then the dialogs.
        while (!modalDone) {
            for (HWND window : ThreadDialogs(uiThread)) {
                if (IsMessageBox(window)) {
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

std::string FileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace gui
