// Playing the user against real dialogs: finding windows, pressing buttons and keys, reading what is shown,
// and answering message boxes, for dialogs on another thread of this process or in another process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace gui {

// Polls condition every 20 ms until it holds or timeoutMs passed; returns its last result.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// A window's text through WM_GETTEXT, which works for windows of any thread and process.
std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
std::vector<std::string> ItemTexts(HWND dialog, std::initializer_list<int> ids);
bool IsMessageBox(HWND window);
std::string MessageText(HWND box);

// Visible top-level dialogs (message boxes included) of owner, a thread or a process: their ids never
// collide.
std::vector<HWND> Dialogs(DWORD owner);
// The first shown dialog of owner titled title (any title when empty), a message box when messageBox.
HWND WaitForDialog(DWORD owner, const std::string& title, bool messageBox, int timeoutMs = 10000);

// Presses a message box's button (IDOK, IDCANCEL, IDYES, IDNO) and waits until the box is gone.
bool Answer(HWND box, int button);
// Waits for owner's message box titled title and answers it; its text, or "<no message box>".
std::string Answered(DWORD owner, const std::string& title, int button);
// Clicks a button and waits until its handler returned; false when a modal window it opened still waits.
bool Click(HWND dialog, int id, int timeoutMs = 5000);
// Sends a menu or accelerator command the way the menu does, and waits for it.
bool Command(HWND dialog, int id, int timeoutMs = 5000);
// Waits until the thread that owns window has handled what was sent to it so far.
bool Sync(HWND window, int timeoutMs = 5000);

// Real input through the system's queue: the window must be in front.
void PressKeys(HWND target, std::initializer_list<WORD> keys);
void ClickAt(HWND window, POINT clientPoint);

// The account list of a dialog of this process.
std::string Cell(HWND list, int row, int column);
std::vector<std::string> Row(HWND list, int row);
// Selects a row and clicks its label, as a user picking the row with the mouse.
void ClickRow(HWND list, int row);

} // namespace gui
