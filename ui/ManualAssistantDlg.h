// CManualAssistantDlg: computes, as the user types, the settings that point a client at the local proxy.
#pragma once

#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/resources/resource.h"

class CManualAssistantDlg : public CDialog
{
public:
    enum
    {
        IDD = IDD_MANUAL_ASSISTANT
    };

    explicit CManualAssistantDlg(HWND parent);

    BEGIN_MESSAGE_TABLE(CDialog)
    ON_CONTROL_CODE(EN_CHANGE, IDC_USERNAME_INPUT, RecomputeFinalSettings)
    ON_CONTROL_CODE(EN_CHANGE, IDC_SERVER_INPUT, RecomputeFinalSettings)
    ON_CONTROL_CODE(EN_CHANGE, IDC_PORT_INPUT, RecomputeFinalSettings)
    ON_CONTROL_CODE(BN_CLICKED, IDC_AUTH_NORMAL, RecomputeFinalSettings)
    ON_CONTROL_CODE(BN_CLICKED, IDC_AUTH_APOP, RecomputeFinalSettings)
    ON_CONTROL_CODE(BN_CLICKED, IDC_AUTH_SPA, RecomputeFinalSettings)
    END_MESSAGE_TABLE()

    // Reads the inputs and shows the proxy user name made from them.
    void RecomputeFinalSettings();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    CButton m_closeButton;
    CButton m_finalGroup;
    CButton m_currentGroup;
    CButton m_normalRadio;
    CButton m_authGroup;
    int m_authMode = -1;
    std::string m_portLabel;
    int m_port = 110;
    std::string m_portRangeMessage;
    std::string m_server;
    std::string m_serverLabel;
    std::string m_userName;
    std::string m_authLabel;
    std::string m_finalAuthMode;
    std::string m_finalPortLabel;
    int m_finalPort = 0;
    std::string m_finalServerLabel;
    std::string m_finalServer = "localhost";
    std::string m_finalUserNameLabel;
    std::string m_finalUserName;
    std::string m_userNameLabel;
};
