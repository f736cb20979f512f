// CIndicatorButton: a radio button that only displays a state; it keeps neither the focus nor a click.
#pragma once

#include "ui/Button.h"

class CIndicatorButton : public CButton
{
public:
    CIndicatorButton() = default;
    ~CIndicatorButton() override;
    CIndicatorButton(const CIndicatorButton&) = delete;
    CIndicatorButton& operator=(const CIndicatorButton&) = delete;

    // Takes the button over (subclasses it) so that focus and clicks come here first.
    void Attach(HWND hWnd) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnSetFocus(HWND previous);

    WNDPROC m_buttonProc = nullptr;
};
