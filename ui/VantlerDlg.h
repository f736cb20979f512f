// CVantlerDlg: the standard-mode window: every account in one list, its details, and the actions on marked
// rows.
#pragma once

#include "clients/DefaultClients.h"
#include "views/AccountView.h"
#include "core/ClientCatalogue.h"
#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/ImageList.h"
#include "ui/ListView.h"
#include "ui/resources/resource.h"

class CVantlerDlg : public CDialog
{
public:
    enum
    {
        IDD = IDD_VANTLER_DIALOG
    };
    // Sent to itself after the first paint, so that the hint appears over a drawn window.
    enum
    {
        WM_FIRST_PAINT_HINT = WM_APP + 1
    };
    // The dialog's result after "/uninstall", which the program gives back as its exit code for the
    // package's uninstaller.
    enum
    {
        RESTORE_DONE = 0,
        RESTORE_INCOMPLETE = 1,
        RESTORE_DECLINED = 2
    };

    // factory makes the adapters of the catalogue; null for the product's own.
    explicit CVantlerDlg(HWND parent, CClientCatalogue::Factory factory = &CreateDefaultClient);
    ~CVantlerDlg() override;

    BEGIN_MESSAGE_TABLE(CDialog)
    ON_COMMAND_ID(IDC_CONFIGURE, OnConfigureSelected)
    ON_COMMAND_ID(IDC_UNCONFIGURE, OnUnconfigureSelected)
    ON_COMMAND_ID(IDC_UPDATE, OnUpdateConfigured)
    ON_COMMAND_ID(IDC_MANUAL, OnManualAssistant)
    ON_COMMAND_ID(ID_EDIT_SELECT_ALL, OnSelectAll)
    ON_COMMAND_ID(ID_EDIT_INVERT_SELECTION, OnInvertSelection)
    ON_COMMAND_ID(ID_HELP_ABOUT, OnAbout)
    ON_COMMAND_ID(ID_FILE_EXIT, OnExit)
    ON_NOTIFY_CODE(NM_CLICK, IDC_ACCOUNT_LIST, OnAccountClick)
    ON_NOTIFY_CODE(LVN_COLUMNCLICK, IDC_ACCOUNT_LIST, OnColumnClick)
    ON_MESSAGE_ID(WM_PAINT, OnPaint)
    ON_MESSAGE_ID(WM_FIRST_PAINT_HINT, OnFirstPaintHint)
    ON_MESSAGE_ID(WM_QUERYDRAGICON, OnQueryDragIcon)
    END_MESSAGE_TABLE()

    // The list's sort callback: lParam1 and lParam2 are row keys, parameter the dialog.
    static int CALLBACK CompareRows(LPARAM key1, LPARAM key2, LPARAM parameter);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    // The list and the details pane.
    void ApplyDialogTexts();
    void SetupColumns();
    void FillAccountList();
    void InsertAccountRow(int row, int image, LPARAM key, const AccountInfo& record);
    void RefreshAccounts();
    void CreateCatalogue() { m_clients.CreateCatalogue(); }
    void DestroyCatalogue();
    void ClearAccountDetails();
    void ShowAccountDetails(const AccountDetails& details);
    LRESULT OnAccountClick(NMHDR* header);
    LRESULT OnColumnClick(NMHDR* header);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnFirstPaintHint(WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam, BOOL& handled);
    // The record of a row key, copied; FALSE when the key names no record.
    BOOL RecordOfKey(LPARAM key, AccountInfo& record) const;

    // The actions.
    void OnConfigureSelected();
    void OnUnconfigureSelected();
    // Configures (TRUE) or unconfigures the marked rows' accounts, warning once about running clients.
    void ApplyToMarked(BOOL configure);
    void OnUpdateConfigured();
    void OnManualAssistant();
    void OnSelectAll();
    void OnInvertSelection();
    void OnAbout();
    void OnExit();
    void RestoreAllAccounts();
    BOOL AnyAccountConfigured() const;
    // 0 to go on; non-zero when the user abandoned the action. Mode 0: clients of the marked rows; mode 1:
    // clients with a configured account that is out of date.
    int WarnRunningClients(int mode, const std::vector<LPARAM>& marked);

    CClientCatalogue m_clients;
    int m_sortState = 0;
    CButton m_remarksGroup;
    CButton m_closeButton;
    CButton m_updateButton;
    CButton m_unconfigureButton;
    CButton m_manualButton;
    CButton m_configureButton;
    CButton m_accountsGroup;
    CButton m_detailsGroup;
    CListView m_accountList;
    std::string m_authModeText;
    int m_port = 0;
    std::string m_remark;
    std::string m_server;
    std::string m_serverTypeText;
    std::string m_userName;
    std::string m_authModeLabel;
    std::string m_portLabel;
    std::string m_serverLabel;
    std::string m_serverTypeLabel;
    std::string m_userNameLabel;
    HICON m_icon;
    std::string m_menuFile;
    std::string m_menuEdit;
    std::string m_menuHelp;
    std::string m_menuSelectAll;
    std::string m_menuInvertSelection;
    std::string m_menuExit;
    std::string m_menuAbout;
    HACCEL m_accelerators;
    CImageList m_imageList;
    // Set while an action hands accounts to the clients; its questions must not start a second one.
    BOOL m_actionRunning = FALSE;
};
