// CAboutDlg: the About box with the program's title, the maker's notice, the package line and the icon.
#pragma once

#include "ui/Dialog.h"
#include "ui/Static.h"
#include "ui/resources/resource.h"

class CAboutDlg : public CDialog
{
public:
    enum
    {
        IDD = IDD_ABOUTBOX
    };

    explicit CAboutDlg(HWND parent);
    ~CAboutDlg() override;

    BEGIN_MESSAGE_TABLE(CDialog)
    ON_CONTROL_CODE(STN_CLICKED, IDC_ABOUT_LINK, OnLinkClicked)
    ON_MESSAGE_ID(WM_CTLCOLORSTATIC, OnCtlColor)
    END_MESSAGE_TABLE()

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnLinkClicked();
    LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam, BOOL& handled);

    CStatic m_iconStatic;
    CStatic m_link;
    std::string m_mainText;
    std::string m_noticeText;
    std::string m_partOfText;
    HICON m_icon = nullptr;
    HFONT m_linkFont = nullptr;
};
