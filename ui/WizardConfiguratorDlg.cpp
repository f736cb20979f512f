// CWizardConfiguratorDlg: showing one account, stepping between accounts, and acting on the shown one.
#include "ui/WizardConfiguratorDlg.h"

#include "settings/TextTable.h"
#include "ui/DoubtfulPrompt.h"
#include "ui/InUseWarning.h"
#include "ui/MainCaption.h"
#include "ui/RunningClients.h"
#include "views/TextFormat.h"

namespace {

const char kSection[] = "Wizard Configurator Dialog";

// Shown while there are accounts, hidden and disabled otherwise.
const int kAccountControls[] = {IDC_UPTODATE_LABEL,   IDC_UPTODATE_YES, IDC_UPTODATE_NO,    IDC_READY_TEXT,
                                IDC_USERNAME_CAPTION, IDC_USERNAME,     IDC_SERVER_CAPTION, IDC_SERVER,
                                IDC_PORT_CAPTION,     IDC_PORT};
const int kActionControls[] = {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE,
                               IDC_PREVIOUS,  IDC_NEXT,        IDC_ACCOUNT_OF};

} // namespace

CWizardConfiguratorDlg::CWizardConfiguratorDlg(HWND parent, CClientCatalogue::Factory factory)
    : CDialog(IDD, parent), m_clients(factory), m_walk(m_clients)
{
    m_icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    // m_clients made its adapters when it was constructed.
}

CWizardConfiguratorDlg::~CWizardConfiguratorDlg()
{
    DestroyCatalogue();
}

void CWizardConfiguratorDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Control(dx, IDC_CLIENT_ICON, m_clientIcon);
    DDX_Control(dx, IDC_UPTODATE_YES, m_upToDateYes);
    DDX_Control(dx, IDC_UPTODATE_NO, m_upToDateNo);
    DDX_Text(dx, IDC_PORT, m_port);
    DDX_Text(dx, IDC_SERVER, m_server);
    DDX_Text(dx, IDC_USERNAME, m_userName);
    DDX_Radio(dx, IDC_UPTODATE_YES, m_upToDate);
    DDX_Text(dx, IDC_CLIENT_NAME, m_clientName);
    DDX_Text(dx, IDC_READY_TEXT, m_readyText);
    DDX_Text(dx, IDC_ACCOUNT_OF, m_accountOfText);
    DDX_Text(dx, IDC_DETAILS_GROUP, m_detailsTitle);
    DDX_Text(dx, IDC_USERNAME_CAPTION, m_labels.userName);
    DDX_Text(dx, IDC_SERVER_CAPTION, m_labels.server);
    DDX_Text(dx, IDC_PORT_CAPTION, m_labels.port);
    DDX_Text(dx, IDC_CONFIGURE, m_labels.configure);
    DDX_Text(dx, IDC_UNCONFIGURE, m_labels.unconfigure);
    DDX_Text(dx, IDC_UPDATE, m_labels.update);
    DDX_Text(dx, IDC_PREVIOUS, m_labels.previous);
    DDX_Text(dx, IDC_NEXT, m_labels.next);
    DDX_Text(dx, IDC_WIZARD_CLOSE, m_labels.close);
    DDX_Text(dx, IDC_UPTODATE_LABEL, m_labels.upToDate);
    DDX_Text(dx, IDC_UPTODATE_YES, m_labels.yes);
    DDX_Text(dx, IDC_UPTODATE_NO, m_labels.no);
    DDX_Text(dx, IDC_CLIENT_GROUP, m_labels.clientGroup);
}

BOOL CWizardConfiguratorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    m_upToDateYes.SetState(TRUE);
    m_upToDateNo.SetState(TRUE);
    ApplyDialogTexts();
    m_curAccount = 0;
    m_curClient = 0;
    if (!LoadClients())
        return TRUE;
    m_accountNumber = 1;
    ShowAccount(TRUE);
    return TRUE;
}

void CWizardConfiguratorDlg::ApplyDialogTexts()
{
    SetText(LookUpMainCaption());
    {
        CTextSection texts(g_textTable, "Main Dialog");
        m_labels.userName = texts.Get("Username", "Username");
        m_labels.server = texts.Get("Server", "Server");
        m_labels.port = texts.Get("Port", "Port");
    }
    {
        CTextSection texts(g_textTable, kSection);
        m_detailsTitle = FormatText(texts.Get("Details", "Account details: %s"), {m_email});
        m_labels.configure = texts.Get("ConfigureBtn", "Configure");
        m_labels.unconfigure = texts.Get("UnconfigureBtn", "Unconfigure");
        m_labels.update = texts.Get("UpdateBtn", "Update");
        m_labels.previous = "<< " + texts.Get("PreviousBtn", "Previous");
        m_labels.next = texts.Get("NextBtn", "Next") + " >>";
        m_labels.close = texts.Get("CloseBtn", "Close");
        m_labels.upToDate = texts.Get("UptodateLbl", "Configuration is up-to-date");
        m_labels.yes = texts.Get("Yes", "Yes");
        m_labels.no = texts.Get("No", "No");
        m_labels.clientGroup = texts.Get("ClientDetails", "Client details");
    }
    UpdateData(FALSE);
}

BOOL CWizardConfiguratorDlg::LoadClients()
{
    m_clients.LoadCatalogue();
    m_accountTotal = m_walk.AccountTotal();
    BOOL any = m_accountTotal > 0;
    for (int id : kAccountControls)
        ::ShowWindow(GetItem(id), any ? SW_SHOW : SW_HIDE);
    for (int id : kActionControls)
        ::EnableWindow(GetItem(id), any);
    ::ShowWindow(GetItem(IDC_NO_ACCOUNTS), any ? SW_HIDE : SW_SHOW);
    m_showing = FALSE;
    if (any)
        return TRUE;
    for (int id : kAccountControls)
        ::EnableWindow(GetItem(id), FALSE);
    {
        CTextSection texts(g_textTable, kSection);
        SetDlgItemUtf8(m_hWnd, IDC_NO_ACCOUNTS,
                       texts.Get("NoAccounts", "No configurable e-mail clients/accounts found").c_str());
    }
    m_clientIcon.SetIcon(::LoadIconA(nullptr, MAKEINTRESOURCEA(32515)));
    return FALSE;
}

BOOL CWizardConfiguratorDlg::CurrentRecord(AccountInfo& record) const
{
    const CMailClient* owner = m_showing ? m_clients.LoadedClient(m_curClient) : nullptr;
    return owner && owner->GetAccount(m_curAccount, record) && record.supported;
}

BOOL CWizardConfiguratorDlg::ShowAccount(BOOL forward)
{
    m_walk.Settle(m_curClient, m_curAccount, forward);
    const CMailClient* client = m_clients.LoadedClient(m_curClient);
    AccountInfo record;
    if (!client || !client->GetAccount(m_curAccount, record) || !record.supported)
        return FALSE;
    m_showing = TRUE;
    int c = 0, a = 0;
    ::EnableWindow(GetItem(IDC_NEXT), m_walk.Find(m_curClient, m_curAccount, TRUE, c, a));
    ::EnableWindow(GetItem(IDC_PREVIOUS), m_walk.Find(m_curClient, m_curAccount, FALSE, c, a));
    // The running number is the account's place among those shown, so it stays right when an action made an
    // account disappear.
    m_accountNumber = m_walk.AccountsBefore(m_curClient, m_curAccount) + 1;
    {
        CTextSection texts(g_textTable, kSection);
        // An account that needs updating is offered Update, not Configure.
        ::EnableWindow(GetItem(IDC_CONFIGURE),
                       TakesAction(ACTION_CONFIGURE, record) && !TakesAction(ACTION_UPDATE, record));
        ::EnableWindow(GetItem(IDC_UNCONFIGURE), TakesAction(ACTION_UNCONFIGURE, record));
        ::EnableWindow(GetItem(IDC_UPDATE), TakesAction(ACTION_UPDATE, record));
        if (record.configured) {
            m_readyText = texts.Get("AccRdy", "This e-mail is ready for use with Nimbrel");
            m_upToDate = record.upToDate ? 0 : 1;
        } else {
            m_readyText = texts.Get("AccNotRdy", "This e-mail is NOT ready for use with Nimbrel");
            m_upToDate = -1;
        }
        m_detailsTitle = FormatText(texts.Get("Details", "Account details: %s"), {record.email});
        m_accountOfText = FormatText(texts.Get("AccOutOf", "E-mail account\n%i out of %i"),
                                     {std::to_string(m_accountNumber), std::to_string(m_accountTotal)});
    }
    m_email = record.email;
    m_userName = record.current.userName;
    m_server = record.current.server;
    m_port = record.current.port;
    m_clientName = client->DisplayName();
    UpdateData(FALSE);
    m_clientIcon.SetIcon(client->LargeIcon());
    // The ready sentence changes colour with the state.
    ::InvalidateRect(GetItem(IDC_READY_TEXT), nullptr, TRUE);
    return TRUE;
}

void CWizardConfiguratorDlg::OnNext()
{
    if (m_actionRunning)
        return;
    ++m_curAccount;
    ++m_accountNumber;
    ShowAccount(TRUE);
}

void CWizardConfiguratorDlg::OnPrevious()
{
    if (m_actionRunning)
        return;
    --m_curAccount;
    --m_accountNumber;
    ShowAccount(FALSE);
}

void CWizardConfiguratorDlg::ReloadCatalogue()
{
    m_clientIcon.SetIcon(nullptr);
    DestroyCatalogue();
    CreateCatalogue();
    if (LoadClients())
        ShowAccount(TRUE);
}

BOOL CWizardConfiguratorDlg::WarnRunningClient()
{
    const CMailClient* client = m_clients.Client(m_curClient);
    if (!client)
        return FALSE;
    for (;;) {
        BOOL concerned[CLIENT_COUNT] = {};
        BOOL running[CLIENT_COUNT] = {};
        concerned[m_curClient] = TRUE;
        if (FindRunningClients(m_clients, concerned, running) == 0)
            return FALSE;
        std::string message, caption;
        {
            CTextSection texts(g_textTable, kSection);
            message =
                "        " +
                texts.Get("CloseClient",
                          "There is an e-mail client running whose account is beingconfigured; you have to "
                          "close it before proceeding. Configuration changes will possibly not take "
                          "effect otherwise.") +
                "\n        " + texts.Get("ClientRunning", "The following client is running:") + "\n\t- " +
                client->DisplayName();
            caption = texts.Get("WarnCaption", "Close e-mail client");
        }
        if (MessageBoxUtf8(m_hWnd, message.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) !=
            IDOK)
            return TRUE;
    }
}

void CWizardConfiguratorDlg::OnConfigure()
{
    CMailClient* client = m_clients.Client(m_curClient);
    if (m_actionRunning || !m_showing || !client || WarnRunningClient())
        return;
    m_actionRunning = TRUE;
    CDoubtfulPrompt prompt;
    CInUseWarning inUse;
    if (!client->ConfigureAccount(m_curAccount, &prompt))
        inUse.OnActionFailed(*client, m_curAccount);
    m_actionRunning = FALSE;
    ReloadCatalogue();
    inUse.Show(m_hWnd);
}

void CWizardConfiguratorDlg::OnUpdate()
{
    OnConfigure();
}

void CWizardConfiguratorDlg::OnUnconfigure()
{
    CMailClient* client = m_clients.Client(m_curClient);
    if (m_actionRunning || !m_showing || !client || WarnRunningClient())
        return;
    m_actionRunning = TRUE;
    CDoubtfulPrompt prompt;
    CInUseWarning inUse;
    if (!client->UnconfigureAccount(m_curAccount, &prompt))
        inUse.OnActionFailed(*client, m_curAccount);
    m_actionRunning = FALSE;
    ReloadCatalogue();
    inUse.Show(m_hWnd);
}

void CWizardConfiguratorDlg::OnClose()
{
    EndDialog(0);
}

LRESULT CWizardConfiguratorDlg::OnCtlColor(WPARAM wParam, LPARAM lParam, BOOL& /*handled*/)
{
    LRESULT brush = ::DefWindowProcA(m_hWnd, WM_CTLCOLORSTATIC, wParam, lParam);
    AccountInfo record;
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_READY_TEXT && CurrentRecord(record) &&
        !record.configured)
        ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
    return brush;
}
