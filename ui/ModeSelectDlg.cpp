// CModeSelectDlg: the two radio buttons and their texts; OK keeps the choice in m_mode.
#include "ui/ModeSelectDlg.h"

#include "settings/TextTable.h"
#include "ui/MainCaption.h"

CModeSelectDlg::CModeSelectDlg(HWND parent) : CDialog(IDD, parent)
{
    m_icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CModeSelectDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Control(dx, IDC_MODE_GROUP, m_group);
    DDX_Radio(dx, IDC_MODE_WIZARD, m_mode);
}

BOOL CModeSelectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    SetText(LookUpMainCaption());
    CTextSection texts(g_textTable, "Mode Selection Dialog");
    m_group.SetText(texts.Get("Label", "Please select operation mode:"));
    ::SetDlgItemTextA(m_hWnd, IDC_MODE_WIZARD,
                      texts.Get("Wiz", "Wizard mode (configure/restore accounts one by one)").c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_MODE_STANDARD,
                      texts
                          .Get("Std",
                               "Standard mode (view all accounts, process selected; manual configuration "
                               "assistent for unsupported clients)")
                          .c_str());
    return TRUE;
}
