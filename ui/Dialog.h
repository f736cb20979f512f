// CDialog: a modal dialog run from a template, with a message table that routes messages to On... handlers.
#pragma once

#include "ui/DataExchange.h"
#include "ui/Window.h"

/*
 * Message table. A dialog class lists the messages it answers between BEGIN_MESSAGE_TABLE and
 * END_MESSAGE_TABLE; the table is one function that tests the entries in order and hands everything else to
 * the base class. Handler shapes: command:      void OnSomething();                       (buttons, menu
 * items, accelerators) notification: void OnSomething();                       (a control's WM_COMMAND
 * notification code) notify:       LRESULT OnSomething(NMHDR* header);       (WM_NOTIFY) message: LRESULT
 * OnSomething(WPARAM, LPARAM, BOOL& handled);
 */
#define BEGIN_MESSAGE_TABLE(baseClass)                                                                       \
    BOOL ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override                \
    {                                                                                                        \
        typedef baseClass TableBase;

#define ON_COMMAND_ID(id, handler)                                                                           \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && CDialog::IsCommandCode(wParam, lParam)) {         \
        handler();                                                                                           \
        result = 0;                                                                                          \
        return TRUE;                                                                                         \
    }

#define ON_CONTROL_CODE(notifyCode, id, handler)                                                             \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (notifyCode) && lParam != 0 &&  \
        !IsExchangingData()) {                                                                               \
        handler();                                                                                           \
        result = 0;                                                                                          \
        return TRUE;                                                                                         \
    }

#define ON_NOTIFY_CODE(notifyCode, id, handler)                                                              \
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) &&     \
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode)) {                           \
        result = handler(reinterpret_cast<NMHDR*>(lParam));                                                  \
        return TRUE;                                                                                         \
    }

#define ON_MESSAGE_ID(msg, handler)                                                                          \
    if (message == (msg)) {                                                                                  \
        BOOL handled = TRUE;                                                                                 \
        result = handler(wParam, lParam, handled);                                                           \
        if (handled)                                                                                         \
            return TRUE;                                                                                     \
    }

#define END_MESSAGE_TABLE()                                                                                  \
    return TableBase::ProcessMessage(message, wParam, lParam, result);                                       \
    }

class CDialog : public CWindow
{
public:
    // parent may be null: the dialog is then owned by the application's main window, if there is one.
    CDialog(UINT templateId, HWND parent);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the dialog, runs its own message loop until EndDialog, destroys it; returns EndDialog's result,
    // or -1 when the dialog could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    // TRUE: controls to members; FALSE: members to controls. FALSE when a value was refused.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    BOOL IsExchangingData() const { return m_exchanging; }

    // The application's main window owns dialogs that are opened with no parent.
    static void SetMainWindow(CDialog* dialog) { s_mainWindow = dialog; }
    static CDialog* MainWindow() { return s_mainWindow; }

    // A WM_COMMAND from a button click, a menu item or an accelerator.
    static BOOL IsCommandCode(WPARAM wParam, LPARAM lParam)
    {
        return HIWORD(wParam) == BN_CLICKED || (lParam == 0 && HIWORD(wParam) == 1);
    }

protected:
    // Runs the data exchange into the controls; derived dialogs call it first.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& /*dx*/) {}
    // Gives the dialog a look at each message of its loop before it is dispatched; TRUE when consumed.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void OnOK();
    virtual void OnCancel();
    virtual BOOL ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
    INT_PTR m_result = -1;
    BOOL m_continueModal = FALSE;
    BOOL m_exchanging = FALSE;
    static CDialog* s_mainWindow;
};
