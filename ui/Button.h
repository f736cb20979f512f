// CButton: push buttons, radio buttons and group boxes of a dialog.
#pragma once

#include "ui/Window.h"

class CButton : public CWindow
{
public:
    // The highlight (pushed) look, independent of the check state.
    void SetState(BOOL highlight) const { Send(BM_SETSTATE, highlight ? TRUE : FALSE); }
    BOOL GetState() const { return (Send(BM_GETSTATE) & BST_PUSHED) != 0; }
    void SetCheck(int check) const { Send(BM_SETCHECK, static_cast<WPARAM>(check)); }
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
};
