// CWizardWalk: the wizard's way through the accounts, one supported account after another in catalogue order.
#pragma once

#include "core/ClientCatalogue.h"

class CWizardWalk
{
public:
    explicit CWizardWalk(const CClientCatalogue& clients) : m_clients(clients) {}

    // Positions are (client, account) pairs in catalogue order; only supported records count as accounts.
    BOOL IsAccount(int client, int account) const;
    // The nearest account after (forward) or before the position, not the position itself.
    BOOL Find(int client, int account, BOOL forward, int& foundClient, int& foundAccount) const;
    // The accounts before the position: its running number is one more.
    int AccountsBefore(int client, int account) const;
    int AccountTotal() const;
    // The account to show for a wanted position: the position itself if it is an account, else the next one
    // in the direction, else (forward only) the one before. FALSE when there is none.
    BOOL Settle(int& client, int& account, BOOL forward) const;

private:
    const CClientCatalogue& m_clients;
};
