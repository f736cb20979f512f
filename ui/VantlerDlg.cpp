// CVantlerDlg: construction, texts, the account list with its sorting, the details pane and painting.
#include "ui/VantlerDlg.h"

#include "platform/Environment.h"
#include "settings/TextTable.h"
#include "ui/JournalNotices.h"
#include "ui/MainCaption.h"
#include "views/AccountView.h"
#include "views/TextFormat.h"
#include "views/RowKey.h"

#include <algorithm>

namespace {

const char kSection[] = "Main Dialog";
const int kColumnWidths[] = {200, 200, 100, 110, 110};

int ClientOfKey(LPARAM key)
{
    return ClientOfRowKey(static_cast<DWORD>(key));
}

int AccountOfKey(LPARAM key)
{
    return AccountOfRowKey(static_cast<DWORD>(key));
}

} // namespace

CVantlerDlg::CVantlerDlg(HWND parent, CClientCatalogue::Factory factory)
    : CDialog(IDD, parent), m_clients(factory)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    m_icon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_accelerators = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    // m_clients made its adapters when it was constructed.
}

CVantlerDlg::~CVantlerDlg()
{
    DestroyCatalogue();
}

void CVantlerDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Control(dx, IDC_REMARKS_GROUP, m_remarksGroup);
    DDX_Control(dx, IDOK, m_closeButton);
    DDX_Control(dx, IDC_UPDATE, m_updateButton);
    DDX_Control(dx, IDC_UNCONFIGURE, m_unconfigureButton);
    DDX_Control(dx, IDC_MANUAL, m_manualButton);
    DDX_Control(dx, IDC_CONFIGURE, m_configureButton);
    DDX_Control(dx, IDC_ACCOUNTS_GROUP, m_accountsGroup);
    DDX_Control(dx, IDC_DETAILS_GROUP, m_detailsGroup);
    DDX_Control(dx, IDC_ACCOUNT_LIST, m_accountList);
    DDX_Text(dx, IDC_AUTH_MODE, m_authModeText);
    DDX_Text(dx, IDC_PORT, m_port);
    DDX_Text(dx, IDC_REMARK, m_remark);
    DDX_Text(dx, IDC_SERVER, m_server);
    DDX_Text(dx, IDC_SERVER_TYPE, m_serverTypeText);
    DDX_Text(dx, IDC_USERNAME, m_userName);
    DDX_Text(dx, IDC_AUTH_MODE_CAPTION, m_authModeLabel);
    DDX_Text(dx, IDC_PORT_CAPTION, m_portLabel);
    DDX_Text(dx, IDC_SERVER_CAPTION, m_serverLabel);
    DDX_Text(dx, IDC_SERVER_TYPE_CAPTION, m_serverTypeLabel);
    DDX_Text(dx, IDC_USERNAME_CAPTION, m_userNameLabel);
}

BOOL CVantlerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    ApplyDialogTexts();
    SetupColumns();
    FillAccountList();

    std::string commandLine = plat::CommandLineText();
    std::transform(commandLine.begin(), commandLine.end(), commandLine.begin(),
                   [](unsigned char c) { return static_cast<char>(::tolower(c)); });
    if (commandLine.find("/uninstall") != std::string::npos)
        RestoreAllAccounts();

    if (m_accountList.GetItemCount() == 0) {
        m_configureButton.Enable(FALSE);
        m_unconfigureButton.Enable(FALSE);
        m_updateButton.Enable(FALSE);
        HMENU edit = ::GetSubMenu(::GetMenu(m_hWnd), 1);
        ::EnableMenuItem(edit, ID_EDIT_SELECT_ALL, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
        ::EnableMenuItem(edit, ID_EDIT_INVERT_SELECTION, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
    }
    m_accountList.AddExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    // The check boxes take room in the first column: fit the columns again so that no name is cut.
    for (int i = 0; i < 5; ++i)
        m_accountList.FitColumn(i);
    return TRUE;
}

void CVantlerDlg::ApplyDialogTexts()
{
    m_detailsGroup.SetText(EmptyAccountDetails().title);
    std::string caption;
    {
        CTextSection texts(g_textTable, kSection);
        m_accountsGroup.SetText(texts.Get("AccFound", "Accounts found"));
        m_remarksGroup.SetText(texts.Get("Remarks", "Remarks"));
        m_closeButton.SetText(texts.Get("Close", "Close"));
        m_configureButton.SetText(texts.Get("Configure", "Configure"));
        m_manualButton.SetText(texts.Get("Manual", "Manual configuration assistent"));
        m_unconfigureButton.SetText(texts.Get("Unconfigure", "Unconfigure"));
        m_updateButton.SetText(texts.Get("Update", "Update/repair configured"));
        m_userNameLabel = texts.Get("Username", "Username");
        m_serverLabel = texts.Get("Server", "Server");
        m_portLabel = texts.Get("Port", "Port");
        m_serverTypeLabel = texts.Get("ServerType", "Incoming mail server type");
        m_authModeLabel = texts.Get("AuthMode", "Authorization mode");
        caption = texts.Get("Caption", "E-mail accounts configurator");
    }
    SetText(caption);
    {
        CTextSection texts(g_textTable, "Menu");
        m_menuFile = texts.Get("File", "&File");
        m_menuEdit = texts.Get("Edit", "&Edit");
        m_menuHelp = texts.Get("Help", "&Help");
        m_menuExit = texts.Get("Exit", "E&xit");
        m_menuSelectAll = texts.Get("SelAll", "Select &All") + "\tCtrl+A";
        m_menuInvertSelection = texts.Get("InvSel", "&Invert Selection");
        m_menuAbout = texts.Get("About", "&About...");
    }
    HMENU menu = ::GetMenu(m_hWnd);
    auto setText = [](HMENU owner, UINT item, BOOL byPosition, const std::string& text) {
        std::wstring wide = DisplayText(text);
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING;
        info.dwTypeData = &wide[0];
        ::SetMenuItemInfoW(owner, item, byPosition, &info);
    };
    setText(menu, 0, TRUE, m_menuFile);
    setText(menu, 1, TRUE, m_menuEdit);
    setText(menu, 2, TRUE, m_menuHelp);
    setText(::GetSubMenu(menu, 0), ID_FILE_EXIT, FALSE, m_menuExit);
    setText(::GetSubMenu(menu, 1), ID_EDIT_SELECT_ALL, FALSE, m_menuSelectAll);
    setText(::GetSubMenu(menu, 1), ID_EDIT_INVERT_SELECTION, FALSE, m_menuInvertSelection);
    setText(::GetSubMenu(menu, 2), ID_HELP_ABOUT, FALSE, m_menuAbout);
    MENUINFO menuInfo = {};
    menuInfo.cbSize = sizeof(menuInfo);
    menuInfo.fMask = MIM_BACKGROUND;
    menuInfo.hbrBack = ::GetSysColorBrush(COLOR_MENU);
    ::SetMenuInfo(menu, &menuInfo);
    ::DrawMenuBar(m_hWnd);
    UpdateData(FALSE);
}

void CVantlerDlg::SetupColumns()
{
    for (int i = 0; i < 5; ++i)
        m_accountList.InsertColumn(i, "", 0);
    if (m_accountList.GetHeader()) {
        static const char* const keys[][2] = {{"Name", "Account name"},
                                              {"Mailbox", "Mailbox address"},
                                              {"Valid", "Account valid"},
                                              {"Configured", "Configured"},
                                              {"ConfigValid", "Up-to-date/valid"}};
        CTextSection texts(g_textTable, kSection);
        for (int i = 0; i < 5; ++i) {
            m_accountList.SetColumnTitle(i, texts.Get(keys[i][0], keys[i][1]));
            m_accountList.SetColumnWidth(i, kColumnWidths[i]);
        }
    }
    m_accountList.AddExtendedStyle(LVS_EX_SUBITEMIMAGES);
}

void CVantlerDlg::FillAccountList()
{
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 9, 1);
    m_accountList.SetSmallImageList(m_imageList.Handle());
    m_sortState = 0;
    m_clients.LoadCatalogue();
    int row = 0;
    int image = -1;
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        const CMailClient* client = m_clients.LoadedClient(c);
        if (!client)
            continue;
        // A client whose program gave no icon still takes its place: every later client's rows would show
        // the icon of the one before.
        HICON icon = client->SmallIcon();
        image = m_imageList.Add(icon ? icon : ::LoadIconA(nullptr, IDI_APPLICATION));
        for (int a = 0; a < client->AccountCount(); ++a) {
            AccountInfo record;
            if (client->GetAccount(a, record))
                InsertAccountRow(row++, image, static_cast<LPARAM>(MakeRowKey(c, a)), record);
        }
    }
    for (int i = 0; i < 5; ++i)
        m_accountList.FitColumn(i);
}

void CVantlerDlg::InsertAccountRow(int row, int image, LPARAM key, const AccountInfo& record)
{
    const AccountCells cells = MakeAccountCells(record);
    int index = m_accountList.InsertItem(row, cells.text[0], image, key);
    if (index < 0)
        return;
    for (int column = 1; column < ACCOUNT_COLUMN_COUNT; ++column)
        m_accountList.SetItemText(index, column, cells.text[column]);
}

void CVantlerDlg::RefreshAccounts()
{
    DestroyCatalogue();
    m_accountList.DeleteAllItems();
    CreateCatalogue();
    FillAccountList();
}

void CVantlerDlg::DestroyCatalogue()
{
    m_clients.DestroyCatalogue();
    // The list shares the image list; it must not be left pointing at a destroyed one.
    if (m_accountList.m_hWnd && ::IsWindow(m_accountList.m_hWnd))
        m_accountList.SetSmallImageList(nullptr);
    m_imageList.Destroy();
}

BOOL CVantlerDlg::RecordOfKey(LPARAM key, AccountInfo& record) const
{
    const CMailClient* client = m_clients.LoadedClient(ClientOfKey(key));
    return client && client->GetAccount(AccountOfKey(key), record);
}

void CVantlerDlg::ClearAccountDetails()
{
    ShowAccountDetails(EmptyAccountDetails());
}

void CVantlerDlg::ShowAccountDetails(const AccountDetails& details)
{
    m_port = details.port;
    m_userName = details.userName;
    m_server = details.server;
    m_authModeText = details.authMode;
    m_serverTypeText = details.serverType;
    m_remark = details.remark;
    m_detailsGroup.SetText(details.title);
    UpdateData(FALSE);
}

LRESULT CVantlerDlg::OnAccountClick(NMHDR* header)
{
    const NMITEMACTIVATE* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    int row = m_accountList.GetSelectionMark();
    if (row < 0 || m_accountList.GetSelectedCount() == 0) {
        ClearAccountDetails();
        return 0;
    }
    LVHITTESTINFO hit = {};
    hit.pt = click->ptAction;
    int hitRow = m_accountList.HitTest(hit);
    BOOL control = (click->uKeyFlags & LVKF_CONTROL) || ::GetKeyState(VK_CONTROL) < 0;
    if (control && hitRow == row && (hit.flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)))
        m_accountList.SetCheck(row, !m_accountList.GetCheck(row));

    LPARAM key = m_accountList.GetItemData(row);
    AccountInfo record;
    const CMailClient* client = m_clients.LoadedClient(ClientOfKey(key));
    if (!client || !client->GetAccount(AccountOfKey(key), record)) {
        ClearAccountDetails();
        return 0;
    }
    ShowAccountDetails(
        MakeAccountDetails(record, client->DisplayName(), client->GetReasonText(AccountOfKey(key))));
    return 0;
}

LRESULT CVantlerDlg::OnColumnClick(NMHDR* header)
{
    if (m_actionRunning)
        return 0;
    m_sortState = NextSortState(m_sortState, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    m_accountList.SortItems(CompareRows, reinterpret_cast<LPARAM>(this));
    return 0;
}

int CALLBACK CVantlerDlg::CompareRows(LPARAM key1, LPARAM key2, LPARAM parameter)
{
    const CVantlerDlg* dialog = reinterpret_cast<const CVantlerDlg*>(parameter);
    AccountInfo a, b;
    BOOL haveA = dialog->RecordOfKey(key1, a);
    BOOL haveB = dialog->RecordOfKey(key2, b);
    if (dialog->m_sortState != 0 && (!haveA || !haveB)) {
        // A row without a record sorts after those with one, in either direction.
        const BOOL firstHas = dialog->m_sortState % 2 ? haveA : haveB;
        const BOOL secondHas = dialog->m_sortState % 2 ? haveB : haveA;
        return firstHas - secondHas;
    }
    return CompareAccountRows(dialog->m_sortState, ClientOfKey(key1), a, ClientOfKey(key2), b);
}

LRESULT CVantlerDlg::OnPaint(WPARAM wParam, LPARAM lParam, BOOL& /*handled*/)
{
    if (::IsIconic(m_hWnd)) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(m_hWnd, &paint);
        Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc, x, y, m_icon);
        ::EndPaint(m_hWnd, &paint);
        return 0;
    }
    ::DefWindowProcA(m_hWnd, WM_PAINT, wParam, lParam);
    // Once per process: the hint comes after the window has been drawn, not from inside the paint.
    static BOOL s_hintShown = FALSE;
    if (!s_hintShown) {
        s_hintShown = TRUE;
        ::PostMessageA(m_hWnd, WM_FIRST_PAINT_HINT, 0, 0);
    }
    return 0;
}

LRESULT CVantlerDlg::OnFirstPaintHint(WPARAM /*wParam*/, LPARAM /*lParam*/, BOOL& /*handled*/)
{
    BOOL empty = m_accountList.GetItemCount() == 0;
    std::string caption, text;
    {
        CTextSection texts(g_textTable, kSection);
        caption = texts.Get("Caption", "E-mail accounts configurator");
        text = empty ? texts.Get("NoAccounts", "No known e-mail clients or known type e-mail accounts found.")
                     : texts.Get("ActionHelp",
                                 "Select account(s) you want to process and click the appropriate button.");
    }
    MessageBoxUtf8(m_hWnd, text.c_str(), caption.c_str(), MB_OK | (empty ? MB_ICONEXCLAMATION : 0));
    // Reading the accounts may have met a damaged journal: the user hears of it before acting.
    ShowJournalNotices(m_hWnd);
    return 0;
}

LRESULT CVantlerDlg::OnQueryDragIcon(WPARAM /*wParam*/, LPARAM /*lParam*/, BOOL& /*handled*/)
{
    return reinterpret_cast<LRESULT>(m_icon);
}

BOOL CVantlerDlg::PreTranslateMessage(MSG* msg)
{
    if (m_accelerators && ::TranslateAcceleratorA(m_hWnd, m_accelerators, msg))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}
