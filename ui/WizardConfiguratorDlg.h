// CWizardConfiguratorDlg: the wizard-mode window, one supported account at a time with Next and Previous.
#pragma once

#include "clients/DefaultClients.h"
#include "core/ClientCatalogue.h"
#include "ui/Dialog.h"
#include "ui/IndicatorButton.h"
#include "ui/Static.h"
#include "ui/resources/resource.h"
#include "views/WizardWalk.h"

class CWizardConfiguratorDlg : public CDialog
{
public:
    enum
    {
        IDD = IDD_WIZARD
    };

    // factory makes the adapters of the catalogue; null for the product's own.
    explicit CWizardConfiguratorDlg(HWND parent, CClientCatalogue::Factory factory = &CreateDefaultClient);
    ~CWizardConfiguratorDlg() override;

    BEGIN_MESSAGE_TABLE(CDialog)
    ON_COMMAND_ID(IDC_NEXT, OnNext)
    ON_COMMAND_ID(IDC_PREVIOUS, OnPrevious)
    ON_COMMAND_ID(IDC_WIZARD_CLOSE, OnClose)
    ON_COMMAND_ID(IDC_CONFIGURE, OnConfigure)
    ON_COMMAND_ID(IDC_UNCONFIGURE, OnUnconfigure)
    ON_COMMAND_ID(IDC_UPDATE, OnUpdate)
    ON_MESSAGE_ID(WM_CTLCOLORSTATIC, OnCtlColor)
    END_MESSAGE_TABLE()

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnNext();
    void OnPrevious();
    void OnClose();
    void OnConfigure();
    void OnUnconfigure();
    void OnUpdate();
    LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam, BOOL& handled);

    void ApplyDialogTexts();
    BOOL LoadClients();
    BOOL ShowAccount(BOOL forward);
    void ReloadCatalogue();
    // 0 to go on; non-zero when the user abandoned the action while the shown account's client runs.
    BOOL WarnRunningClient();
    void CreateCatalogue() { m_clients.CreateCatalogue(); }
    void DestroyCatalogue() { m_clients.DestroyCatalogue(); }

    BOOL CurrentRecord(AccountInfo& record) const;

    int m_curAccount = 0;
    int m_curClient = 0;
    CClientCatalogue m_clients;
    CWizardWalk m_walk; // over m_clients
    CStatic m_clientIcon;
    CIndicatorButton m_upToDateYes;
    CIndicatorButton m_upToDateNo;
    int m_port = 0;
    std::string m_server;
    std::string m_userName;
    std::string m_email;
    int m_upToDate = -1;
    std::string m_clientName;
    std::string m_readyText;
    std::string m_accountOfText;
    std::string m_detailsTitle;
    // The fixed texts of the window, from the text table.
    struct Labels
    {
        std::string userName, server, port, configure, unconfigure, update, previous, next, close, upToDate,
            yes, no, clientGroup;
    } m_labels;
    HICON m_icon;
    int m_accountNumber = 0;
    int m_accountTotal = 0;
    BOOL m_showing = FALSE;
    // Set while the shown account is with its client; a question it asks must not start a second action.
    BOOL m_actionRunning = FALSE;
};
