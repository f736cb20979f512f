// CModeSelectDlg: asks at start-up for wizard mode or standard mode.
#pragma once

#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/resources/resource.h"

class CModeSelectDlg : public CDialog
{
public:
    enum
    {
        IDD = IDD_MODE_SELECT
    };
    enum
    {
        MODE_WIZARD = 0,
        MODE_STANDARD = 1
    };

    explicit CModeSelectDlg(HWND parent);

    BEGIN_MESSAGE_TABLE(CDialog)
    END_MESSAGE_TABLE()

    CButton m_group;
    int m_mode = MODE_WIZARD;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    HICON m_icon;
};
