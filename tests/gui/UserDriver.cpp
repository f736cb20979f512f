// Playing the user: window searches, clicks, keys, list reading and message-box answers.
#include "UserDriver.h"

#include <commctrl.h>

#include <chrono>
#include <thread>

namespace gui {

namespace {

const UINT kMessageBoxTextId = 0xFFFF;

INPUT Key(WORD key, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

INPUT Mouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

// Sends the input, then gives the window's thread time to take it.
void Send(std::vector<INPUT> inputs, HWND window, int settleMs)
{
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    Sync(window);
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
    return Text(::GetDlgItem(dialog, id));
}

std::vector<std::string> ItemTexts(HWND dialog, std::initializer_list<int> ids)
{
    std::vector<std::string> texts;
    for (int id : ids)
        texts.push_back(ItemText(dialog, id));
    return texts;
}

bool IsMessageBox(HWND window)
{
    return ::GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

std::string MessageText(HWND box)
{
    return ItemText(box, kMessageBoxTextId);
}

std::vector<HWND> Dialogs(DWORD owner)
{
    std::pair<DWORD, std::vector<HWND>> search(owner, {});
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* search = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(parameter);
            DWORD process = 0;
            DWORD thread = ::GetWindowThreadProcessId(window, &process);
            char name[32] = {};
            ::GetClassNameA(window, name, sizeof(name));
            if ((thread == search->first || process == search->first) && ::IsWindowVisible(window) &&
                std::string(name) == "#32770")
                search->second.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND WaitForDialog(DWORD owner, const std::string& title, bool messageBox, int timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : Dialogs(owner)) {
                if (IsMessageBox(window) == messageBox && (title.empty() || Text(window) == title))
                    return (found = window) != nullptr;
            }
            return false;
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

std::string Answered(DWORD owner, const std::string& title, int button)
{
    HWND box = WaitForDialog(owner, title, true);
    std::string text = MessageText(box);
    return box && Answer(box, button) ? text : "<no message box>";
}

bool Click(HWND dialog, int id, int timeoutMs)
{
    DWORD_PTR result = 0;
    HWND button = ::GetDlgItem(dialog, id);
    return button && ::SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
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

void PressKeys(HWND target, std::initializer_list<WORD> keys)
{
    ::SetForegroundWindow(target);
    Sync(target);
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(Key(key, 0));
    for (auto key = keys.end(); key != keys.begin();)
        inputs.push_back(Key(*--key, KEYEVENTF_KEYUP));
    Send(inputs, target, 200);
}

void ClickAt(HWND window, POINT clientPoint)
{
    ::SetForegroundWindow(::GetAncestor(window, GA_ROOT));
    // Two clicks closer than this are one double-click.
    std::this_thread::sleep_for(std::chrono::milliseconds(::GetDoubleClickTime() + 50));
    Sync(window);
    POINT screen = clientPoint;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    Send({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)}, window, 300);
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

void ClickRow(HWND list, int row)
{
    ::SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    RECT label = {};
    label.left = LVIR_LABEL;
    ::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label));
    ClickAt(list, {label.left + 8, (label.top + label.bottom) / 2});
}

} // namespace gui
