// CManualAssistantDlg: texts, the proxy port, and the final user name recomputed on every change.
#include "ui/ManualAssistantDlg.h"

#include "core/MailClient.h"
#include "settings/ProductSettings.h"
#include "settings/TextTable.h"

CManualAssistantDlg::CManualAssistantDlg(HWND parent) : CDialog(IDD, parent) {}

void CManualAssistantDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Control(dx, IDOK, m_closeButton);
    DDX_Control(dx, IDC_FINAL_GROUP, m_finalGroup);
    DDX_Control(dx, IDC_CURRENT_GROUP, m_currentGroup);
    DDX_Control(dx, IDC_AUTH_NORMAL, m_normalRadio);
    DDX_Control(dx, IDC_AUTH_GROUP, m_authGroup);
    DDX_Radio(dx, IDC_AUTH_NORMAL, m_authMode);
    DDX_Text(dx, IDC_POP_PORT_LABEL, m_portLabel);
    // A port no POP3 server can listen on would be carried into the final user name as typed.
    DDX_Text(dx, IDC_PORT_INPUT, m_port, 1, 65535, m_portRangeMessage);
    DDX_Text(dx, IDC_SERVER_INPUT, m_server);
    DDX_Text(dx, IDC_POP_SERVER_LABEL, m_serverLabel);
    DDX_Text(dx, IDC_USERNAME_INPUT, m_userName);
    DDX_Text(dx, IDC_AUTH_LABEL, m_authLabel);
    DDX_Text(dx, IDC_FINAL_AUTH, m_finalAuthMode);
    DDX_Text(dx, IDC_FINAL_PORT_LABEL, m_finalPortLabel);
    DDX_Text(dx, IDC_FINAL_PORT, m_finalPort);
    DDX_Text(dx, IDC_FINAL_SERVER_LABEL, m_finalServerLabel);
    DDX_Text(dx, IDC_FINAL_SERVER, m_finalServer);
    DDX_Text(dx, IDC_FINAL_USERNAME_LABEL, m_finalUserNameLabel);
    DDX_Text(dx, IDC_FINAL_USERNAME, m_finalUserName);
    DDX_Text(dx, IDC_USERNAME_LABEL, m_userNameLabel);
}

BOOL CManualAssistantDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    {
        CTextSection texts(g_textTable, "Manual Assistent");
        SetText(texts.Get("Caption", "Manual configuration assistent"));
        m_currentGroup.SetText(texts.Get("Cur", "Current settings"));
        m_userNameLabel = m_finalUserNameLabel = texts.Get("Username", "Username");
        m_serverLabel = m_finalServerLabel = texts.Get("POPServer", "POP3 server");
        m_portLabel = m_finalPortLabel = texts.Get("POPPort", "POP3 port");
        m_portRangeMessage = texts.Get("PortRange", "Please enter a POP3 port from 1 to 65535.");
        std::string authMode = texts.Get("AuthMode", "Authorization mode");
        m_authGroup.SetText(authMode);
        m_authLabel = authMode + ":";
        m_finalAuthMode = texts.Get("Normal", "Normal");
        m_normalRadio.SetText(m_finalAuthMode);
        m_finalGroup.SetText(texts.Get("Fin", "Final settings"));
        m_closeButton.SetText(texts.Get("Close", "Close"));
    }
    m_finalPort = g_productSettings.GetProxyPort();
    m_authMode = 0;
    UpdateData(FALSE);
    return TRUE;
}

void CManualAssistantDlg::RecomputeFinalSettings()
{
    UpdateData(TRUE);
    m_finalUserName = EncodeProxyUserName(m_userName, m_server, m_port, m_authMode);
    UpdateData(FALSE);
}
