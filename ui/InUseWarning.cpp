// CInUseWarning: collects the accounts whose store was in use, and tells the user once.
#include "ui/InUseWarning.h"

#include "ui/MainCaption.h"
#include "ui/Window.h"

void CInUseWarning::OnActionFailed(const CMailClient& client, int index)
{
    AccountInfo record;
    if (!client.GetAccount(index, record) || record.reason != REASON_FILE_IN_USE)
        return;
    m_reasonText = client.GetReasonText(index);
    m_accounts.push_back(client.DisplayName() + ": " + record.name);
}

void CInUseWarning::Show(HWND owner)
{
    if (m_accounts.empty())
        return;
    std::string message = m_reasonText;
    for (const std::string& account : m_accounts)
        message += "\n\t- " + account;
    m_accounts.clear();
    MessageBoxUtf8(owner, message, LookUpMainCaption(), MB_OK | MB_ICONEXCLAMATION);
}
