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
