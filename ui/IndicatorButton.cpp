// CIndicatorButton: hands the focus back to the dialog and ignores the mouse, so the shown state stays true.
#include "ui/IndicatorButton.h"

namespace {
const char kSelfProperty[] = "CIndicatorButton";
}

CIndicatorButton::~CIndicatorButton()
{
    if (m_hWnd && m_buttonProc && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_buttonProc));
        ::RemovePropA(m_hWnd, kSelfProperty);
    }
}

void CIndicatorButton::Attach(HWND hWnd)
{
    CButton::Attach(hWnd);
    if (!hWnd || m_buttonProc)
        return;
    ::SetPropA(hWnd, kSelfProperty, this);
    m_buttonProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
}

LRESULT CALLBACK CIndicatorButton::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CIndicatorButton* self = static_cast<CIndicatorButton*>(::GetPropA(hWnd, kSelfProperty));
    if (!self)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    switch (message) {
    case WM_SETFOCUS:
        self->OnSetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    // A click on an automatic radio button would check it and misstate the account.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return 0;
    case WM_NCDESTROY: {
        WNDPROC buttonProc = self->m_buttonProc;
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProc));
        ::RemovePropA(hWnd, kSelfProperty);
        self->m_buttonProc = nullptr;
        self->m_hWnd = nullptr;
        return ::CallWindowProcA(buttonProc, hWnd, message, wParam, lParam);
    }
    default:
        return ::CallWindowProcA(self->m_buttonProc, hWnd, message, wParam, lParam);
    }
}

void CIndicatorButton::OnSetFocus(HWND previous)
{
    HWND dialog = ::GetParent(m_hWnd);
    // Back to where the focus came from; the dialog moves it through its own bookkeeping, so it does not
    // bounce back here.
    HWND target = previous;
    if (!target || !::IsWindow(target) || ::GetParent(target) != dialog || target == m_hWnd ||
        ::GetPropA(target, kSelfProperty))
        target = ::GetNextDlgTabItem(dialog, m_hWnd, FALSE);
    if (target && target != m_hWnd && !::GetPropA(target, kSelfProperty))
        ::PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    else
        ::SetFocus(dialog);
    SetState(TRUE);
}
