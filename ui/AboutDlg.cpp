// CAboutDlg: texts from the table, the large icon and the (hidden) link to the package's web site.
#include "ui/AboutDlg.h"

#include "settings/TextTable.h"

#include <shellapi.h>

namespace {
const char kPackageAddress[] = "https://www.tarnwicke.example/nimbrel";
}

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD, parent)
{
    m_icon = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 48, 48, 0));
}

CAboutDlg::~CAboutDlg()
{
    if (m_icon)
        ::DestroyIcon(m_icon);
    if (m_linkFont)
        ::DeleteObject(m_linkFont);
}

void CAboutDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Control(dx, IDC_ABOUT_ICON, m_iconStatic);
    DDX_Control(dx, IDC_ABOUT_LINK, m_link);
    DDX_Text(dx, IDC_ABOUT_MAIN, m_mainText);
    DDX_Text(dx, IDC_ABOUT_NOTICE, m_noticeText);
    DDX_Text(dx, IDC_ABOUT_PART_OF, m_partOfText);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    {
        CTextSection texts(g_textTable, "About Dialog");
        m_mainText = texts.Get("Main", "E-mail accounts configurator");
        m_noticeText = texts.Get("Copyright", "Copyright (C) 2024 Tarnwicke Software");
        m_partOfText = texts.Get("PartOf", "This program is a part of\nTarnwicke Nimbrel program package");
        SetText(texts.Get("Caption", "About"));
    }
    UpdateData(FALSE);
    m_iconStatic.SetIcon(m_icon);

    LOGFONTA font = {};
    HFONT current = reinterpret_cast<HFONT>(m_link.Send(WM_GETFONT));
    if (current && ::GetObjectA(current, sizeof(font), &font)) {
        font.lfUnderline = TRUE;
        font.lfWeight = FW_BOLD;
        m_linkFont = ::CreateFontIndirectA(&font);
        if (m_linkFont)
            m_link.Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_linkFont), TRUE);
    }
    return TRUE;
}

void CAboutDlg::OnLinkClicked()
{
    ::ShellExecuteA(m_hWnd, nullptr, kPackageAddress, nullptr, nullptr, 0);
}

LRESULT CAboutDlg::OnCtlColor(WPARAM wParam, LPARAM lParam, BOOL& /*handled*/)
{
    LRESULT brush = ::DefWindowProcA(m_hWnd, WM_CTLCOLORSTATIC, wParam, lParam);
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_ABOUT_LINK)
        ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
    return brush;
}
