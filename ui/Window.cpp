// CWindow: text and state calls on a held window handle.
#include "ui/Window.h"

#include <vector>

std::string WindowText(HWND hWnd)
{
    int length = ::GetWindowTextLengthA(hWnd);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(hWnd, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::string CWindow::GetText() const
{
    return WindowText(m_hWnd);
}

void CWindow::SetText(const std::string& text) const
{
    ::SetWindowTextA(m_hWnd, text.c_str());
}

void CWindow::SetTextIfChanged(const std::string& text) const
{
    if (GetText() != text)
        SetText(text);
}
