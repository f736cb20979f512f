// CWindow: text and state calls on a held window handle.
#include "ui/Window.h"

#include "WideText.h"

#include <vector>

std::string WindowText(HWND hWnd)
{
    int length = ::GetWindowTextLengthW(hWnd);
    if (length <= 0)
        return std::string();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(hWnd, buffer.data(), length + 1);
    std::string text;
    if (copied > 0 && !plat::ToUtf8(buffer.data(), static_cast<size_t>(copied), text))
        text.clear();
    return text;
}

std::wstring DisplayText(const std::string& text)
{
    std::wstring wide;
    if (plat::ToWide(text.data(), text.size(), wide))
        return wide;
    std::string utf8;
    if (plat::AnsiToUtf8(text, utf8) && plat::ToWide(utf8.data(), utf8.size(), wide))
        return wide;
    return std::wstring();
}

void SetWindowUtf8(HWND hWnd, const std::string& text)
{
    ::SetWindowTextW(hWnd, DisplayText(text).c_str());
}

void SetDlgItemUtf8(HWND dialog, int id, const std::string& text)
{
    ::SetDlgItemTextW(dialog, id, DisplayText(text).c_str());
}

int MessageBoxUtf8(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    return ::MessageBoxW(owner, DisplayText(text).c_str(), DisplayText(caption).c_str(), type);
}

std::string CWindow::GetText() const
{
    return WindowText(m_hWnd);
}

void CWindow::SetText(const std::string& text) const
{
    SetWindowUtf8(m_hWnd, text);
}

void CWindow::SetTextIfChanged(const std::string& text) const
{
    if (GetText() != text)
        SetText(text);
}
