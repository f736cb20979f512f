// CWindow: a thin holder of a window handle with the few calls the dialogs make on any window.
#pragma once

#include <windows.h>

#include <string>

class CWindow
{
public:
    CWindow() = default;
    explicit CWindow(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWindow() = default;

    operator HWND() const { return m_hWnd; }
    // Control classes that need more than the handle (a subclass) take it here.
    virtual void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND GetItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    std::string GetText() const;
    void SetText(const std::string& text) const;
    // Sets the text only when it differs, so that an edit being typed into keeps its caret and emits no
    // change notification of its own.
    void SetTextIfChanged(const std::string& text) const;
    void Enable(BOOL enable) const { ::EnableWindow(m_hWnd, enable); }
    BOOL IsEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void Show(BOOL visible) const { ::ShowWindow(m_hWnd, visible ? SW_SHOW : SW_HIDE); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

// The text of any window, read through the ANSI interface.
std::string WindowText(HWND hWnd);

// Texts reach the windows as UTF-16: the program's text is UTF-8, and A calls would show it as ANSI letters.
// A text that is not UTF-8 (bytes a client keeps in its own code page) is shown as that code page reads it.
std::wstring DisplayText(const std::string& text);
void SetWindowUtf8(HWND hWnd, const std::string& text);
void SetDlgItemUtf8(HWND dialog, int id, const std::string& text);
int MessageBoxUtf8(HWND owner, const std::string& text, const std::string& caption, UINT type);
