// CVantlerDlg's actions: configure, unconfigure and update accounts, the running-client warning, the marks,
// About, the manual assistant, exit, and the restore of every account on "/uninstall".
#include "ui/VantlerDlg.h"

#include "settings/TextTable.h"
#include "ui/AboutDlg.h"
#include "ui/DoubtfulPrompt.h"
#include "ui/InUseWarning.h"
#include "ui/JournalNotices.h"
#include "ui/ManualAssistantDlg.h"
#include "ui/RunningClients.h"
#include "views/RowKey.h"

namespace {

const char kSection[] = "Main Dialog";

int ClientOfKey(LPARAM key)
{
    return ClientOfRowKey(static_cast<DWORD>(key));
}

int AccountOfKey(LPARAM key)
{
    return AccountOfRowKey(static_cast<DWORD>(key));
}

// Writes every staged store file; an account whose file another program held is named in the warning.
void CommitBatchesTelling(CClientCatalogue& clients, CInUseWarning& inUse)
{
    std::vector<std::pair<int, int>> notWritten;
    clients.CommitBatches(&notWritten);
    for (const auto& account : notWritten) {
        if (const CMailClient* client = clients.LoadedClient(account.first))
            inUse.OnActionFailed(*client, account.second);
    }
}

} // namespace

void CVantlerDlg::OnConfigureSelected()
{
    ApplyToMarked(TRUE);
}

void CVantlerDlg::OnUnconfigureSelected()
{
    ApplyToMarked(FALSE);
}

void CVantlerDlg::ApplyToMarked(BOOL configure)
{
    if (m_actionRunning)
        return;
    m_actionRunning = TRUE;
    // The marks as they are now: the doubtful-account question leaves the list usable, and marks changed
    // while it is open must not add accounts to the action under way, nor drop them from it.
    std::vector<LPARAM> marked;
    for (int row = 0; row < m_accountList.GetItemCount(); ++row) {
        if (m_accountList.GetCheck(row))
            marked.push_back(m_accountList.GetItemData(row));
    }
    BOOL changed = FALSE, warned = FALSE;
    CDoubtfulPrompt prompt;
    CInUseWarning inUse;
    // Each store file is written once for all its marked accounts; the refresh below shows which were.
    m_clients.BeginBatches();
    for (LPARAM key : marked) {
        AccountInfo record;
        if (!RecordOfKey(key, record) ||
            !TakesAction(configure ? ACTION_CONFIGURE : ACTION_UNCONFIGURE, record))
            continue;
        if (!warned) {
            if (WarnRunningClients(0, marked))
                break;
            warned = TRUE;
        }
        CMailClient* client = m_clients.LoadedClient(ClientOfKey(key));
        const int account = AccountOfKey(key);
        if (!(configure ? client->ConfigureAccount(account, &prompt)
                        : client->UnconfigureAccount(account, &prompt)))
            inUse.OnActionFailed(*client, account);
        changed = TRUE;
    }
    CommitBatchesTelling(m_clients, inUse);
    m_actionRunning = FALSE;
    if (changed) {
        ClearAccountDetails();
        RefreshAccounts();
    }
    inUse.Show(m_hWnd);
    ShowJournalNotices(m_hWnd);
}

void CVantlerDlg::OnUpdateConfigured()
{
    if (m_actionRunning)
        return;
    m_actionRunning = TRUE;
    BOOL changed = FALSE, warned = FALSE, abandoned = FALSE;
    CDoubtfulPrompt prompt;
    CInUseWarning inUse;
    m_clients.BeginBatches();
    for (int c = 0; c < CLIENT_COUNT && !abandoned; ++c) {
        CMailClient* client = m_clients.LoadedClient(c);
        for (int a = 0; client && a < client->AccountCount(); ++a) {
            AccountInfo record;
            if (!client->GetAccount(a, record) || !TakesAction(ACTION_UPDATE, record))
                continue;
            if (!warned) {
                if (WarnRunningClients(1, {})) {
                    abandoned = TRUE;
                    break;
                }
                warned = TRUE;
            }
            if (!client->ConfigureAccount(a, &prompt))
                inUse.OnActionFailed(*client, a);
            changed = TRUE;
        }
    }
    CommitBatchesTelling(m_clients, inUse);
    m_actionRunning = FALSE;
    if (changed) {
        ClearAccountDetails();
        RefreshAccounts();
    }
    inUse.Show(m_hWnd);
    ShowJournalNotices(m_hWnd);
}

int CVantlerDlg::WarnRunningClients(int mode, const std::vector<LPARAM>& marked)
{
    for (;;) {
        BOOL concerned[CLIENT_COUNT] = {};
        if (mode == 0) {
            if (marked.empty())
                return 0;
            for (LPARAM key : marked) {
                int client = ClientOfKey(key);
                if (client < CLIENT_COUNT)
                    concerned[client] = TRUE;
            }
        } else {
            for (int c = 0; c < CLIENT_COUNT; ++c) {
                const CMailClient* client = m_clients.LoadedClient(c);
                for (int a = 0; client && a < client->AccountCount(); ++a) {
                    AccountInfo record;
                    if (client->GetAccount(a, record) && TakesAction(ACTION_UPDATE, record))
                        concerned[c] = TRUE;
                }
            }
        }
        BOOL running[CLIENT_COUNT] = {};
        if (FindRunningClients(m_clients, concerned, running) == 0)
            return 0;
        std::string message, caption;
        {
            CTextSection texts(g_textTable, kSection);
            message =
                "        " +
                texts.Get("CloseClients",
                          "There are one or more e-mail clients running whose accounts are being\n"
                          "configured; you have to close them before proceeding. Configuration changes\n"
                          "will possibly not take effect otherwise.") +
                "\n        " + texts.Get("ClientsRunning", "The following client(s) are running:");
            caption = texts.Get("WarnCaption", "Close e-mail clients");
        }
        for (int c = 0; c < CLIENT_COUNT; ++c) {
            if (running[c])
                message += "\n\t- " + m_clients.Client(c)->DisplayName();
        }
        if (MessageBoxUtf8(m_hWnd, message.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) !=
            IDOK)
            return 1;
    }
}

void CVantlerDlg::RestoreAllAccounts()
{
    std::string caption, question;
    {
        CTextSection texts(g_textTable, kSection);
        caption = texts.Get("Caption", "E-mail accounts configurator");
        question = texts.Get("Restore", "Restore original settings of all e-mail accounts?");
    }
    if (MessageBoxUtf8(m_hWnd, question.c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) != IDYES) {
        EndDialog(RESTORE_DECLINED);
        return;
    }
    for (int row = 0; row < m_accountList.GetItemCount(); ++row)
        m_accountList.SetCheck(row, TRUE);
    OnUnconfigureSelected();
    // The list was read again from the stores: an account still configured there was not given back.
    EndDialog(AnyAccountConfigured() ? RESTORE_INCOMPLETE : RESTORE_DONE);
}

BOOL CVantlerDlg::AnyAccountConfigured() const
{
    for (int row = 0; row < m_accountList.GetItemCount(); ++row) {
        AccountInfo record;
        if (RecordOfKey(m_accountList.GetItemData(row), record) && record.configured)
            return TRUE;
    }
    return FALSE;
}

void CVantlerDlg::OnManualAssistant()
{
    CManualAssistantDlg assistant(nullptr);
    assistant.DoModal();
}

void CVantlerDlg::OnSelectAll()
{
    ::SetFocus(m_accountList);
    for (int row = 0; row < m_accountList.GetItemCount(); ++row)
        m_accountList.SetCheck(row, TRUE);
}

void CVantlerDlg::OnInvertSelection()
{
    ::SetFocus(m_accountList);
    for (int row = 0; row < m_accountList.GetItemCount(); ++row)
        m_accountList.SetCheck(row, !m_accountList.GetCheck(row));
}

void CVantlerDlg::OnAbout()
{
    CAboutDlg about(nullptr);
    about.DoModal();
}

void CVantlerDlg::OnExit()
{
    EndDialog(0);
}
