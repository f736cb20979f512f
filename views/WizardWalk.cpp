// CWizardWalk: the wizard's way through the accounts, one supported account after another in catalogue order.
#include "views/WizardWalk.h"

BOOL CWizardWalk::IsAccount(int client, int account) const
{
    const CMailClient* owner = m_clients.LoadedClient(client);
    AccountInfo record;
    return owner && owner->GetAccount(account, record) && record.supported;
}

BOOL CWizardWalk::Find(int client, int account, BOOL forward, int& foundClient, int& foundAccount) const
{
    if (forward) {
        for (int c = client < 0 ? 0 : client; c < CLIENT_COUNT; ++c) {
            const CMailClient* owner = m_clients.LoadedClient(c);
            int first = c == client ? account + 1 : 0;
            for (int a = first < 0 ? 0 : first; owner && a < owner->AccountCount(); ++a) {
                if (IsAccount(c, a)) {
                    foundClient = c;
                    foundAccount = a;
                    return TRUE;
                }
            }
        }
        return FALSE;
    }
    for (int c = client >= CLIENT_COUNT ? CLIENT_COUNT - 1 : client; c >= 0; --c) {
        const CMailClient* owner = m_clients.LoadedClient(c);
        if (!owner)
            continue;
        int last = c == client ? account - 1 : owner->AccountCount() - 1;
        if (last > owner->AccountCount() - 1)
            last = owner->AccountCount() - 1;
        for (int a = last; a >= 0; --a) {
            if (IsAccount(c, a)) {
                foundClient = c;
                foundAccount = a;
                return TRUE;
            }
        }
    }
    return FALSE;
}

int CWizardWalk::AccountsBefore(int client, int account) const
{
    int count = 0;
    for (int c = 0; c <= client && c < CLIENT_COUNT; ++c) {
        const CMailClient* owner = m_clients.LoadedClient(c);
        for (int a = 0; owner && a < owner->AccountCount() && (c < client || a < account); ++a)
            count += IsAccount(c, a) ? 1 : 0;
    }
    return count;
}

int CWizardWalk::AccountTotal() const
{
    return AccountsBefore(CLIENT_COUNT, 0);
}

BOOL CWizardWalk::Settle(int& client, int& account, BOOL forward) const
{
    if (!IsAccount(client, account)) {
        int c = client, a = account;
        if (!Find(client, account, forward, c, a) && forward)
            Find(client, account, FALSE, c, a);
        client = c;
        account = a;
    }
    return IsAccount(client, account);
}
