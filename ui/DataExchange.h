// CDataExchange and the DDX_ functions: moving values between a dialog's members and its controls.
#pragma once

#include <windows.h>

#include <string>

class CWindow;

class CDataExchange
{
public:
    CDataExchange(HWND dialog, BOOL saveAndValidate) : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

    // The control, or null; once a value was refused every later exchange is skipped.
    HWND Control(int id) const { return ::GetDlgItem(m_dialog, id); }
    // Tells the user why a value was refused, puts the focus on it and stops the exchange.
    void Fail(int id, const std::string& message);

    HWND m_dialog;
    BOOL m_saveAndValidate;
    BOOL m_failed = FALSE;
};

void DDX_Control(CDataExchange& dx, int id, CWindow& control);
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// An integer in plain decimal; text that is not one (empty, out of range) is refused with a message.
void DDX_Text(CDataExchange& dx, int id, int& value);
// The same for an integer that must lie in min to max: one outside is refused with rangeMessage, and value
// keeps what it held.
void DDX_Text(CDataExchange& dx, int id, int& value, int min, int max, const std::string& rangeMessage);
// Index of the checked button in the radio group that starts at firstId, -1 for none.
void DDX_Radio(CDataExchange& dx, int firstId, int& value);
