// The DDX_ functions: strings, integers, radio groups and attached controls.
#include "ui/DataExchange.h"

#include "settings/TextTable.h"
#include "ui/Window.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

BOOL IsRadioButton(HWND hWnd)
{
    char className[16] = {};
    ::GetClassNameA(hWnd, className, sizeof(className));
    if (lstrcmpiA(className, "Button") != 0)
        return FALSE;
    LONG_PTR type = ::GetWindowLongPtrA(hWnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// Plain decimal with an optional sign; anything else, nothing at all or a value beyond int is refused.
BOOL ParseInteger(const std::string& text, int& value)
{
    const char* start = text.c_str();
    while (*start == ' ' || *start == '\t')
        ++start;
    if (*start == '\0')
        return FALSE;
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(start, &end, 10);
    while (*end == ' ' || *end == '\t')
        ++end;
    if (end == start || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX)
        return FALSE;
    value = static_cast<int>(parsed);
    return TRUE;
}

} // namespace

void CDataExchange::Fail(int id, const std::string& message)
{
    m_failed = TRUE;
    std::string caption = WindowText(m_dialog);
    MessageBoxUtf8(m_dialog, message.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (HWND control = Control(id))
        ::SetFocus(control);
}

void DDX_Control(CDataExchange& dx, int id, CWindow& control)
{
    if (!dx.m_failed && !control.m_hWnd)
        control.Attach(dx.Control(id));
}

void DDX_Text(CDataExchange& dx, int id, std::string& value)
{
    HWND control = dx.Control(id);
    if (dx.m_failed || !control)
        return;
    if (dx.m_saveAndValidate)
        value = WindowText(control);
    else
        CWindow(control).SetTextIfChanged(value);
}

void DDX_Text(CDataExchange& dx, int id, int& value, int min, int max, const std::string& rangeMessage)
{
    int read = value;
    DDX_Text(dx, id, read);
    if (dx.m_failed || !dx.m_saveAndValidate)
        return;
    if (read < min || read > max) {
        dx.Fail(id, rangeMessage);
        return;
    }
    value = read;
}

void DDX_Text(CDataExchange& dx, int id, int& value)
{
    HWND control = dx.Control(id);
    if (dx.m_failed || !control)
        return;
    if (!dx.m_saveAndValidate) {
        CWindow(control).SetTextIfChanged(std::to_string(value));
        return;
    }
    if (ParseInteger(WindowText(control), value))
        return;
    std::string message;
    {
        CTextSection texts(g_textTable, "Main Dialog");
        message = texts.Get("IntegerRequired", "Please enter an integer.");
    }
    dx.Fail(id, message);
}

void DDX_Radio(CDataExchange& dx, int firstId, int& value)
{
    HWND first = dx.Control(firstId);
    if (dx.m_failed || !first)
        return;
    if (dx.m_saveAndValidate)
        value = -1;
    int index = 0;
    for (HWND button = first; button; button = ::GetWindow(button, GW_HWNDNEXT)) {
        if (button != first && (::GetWindowLongPtrA(button, GWL_STYLE) & WS_GROUP))
            break;
        if (!IsRadioButton(button))
            continue;
        if (dx.m_saveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}
