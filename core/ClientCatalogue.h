// CClientCatalogue: the client adapters in their fixed order, created, loaded and rebuilt together.
#pragma once

#include "core/MailClient.h"

#include <utility>
#include <vector>

enum
{
    CLIENT_OUTLOOK_EXPRESS = 0,
    CLIENT_OUTLOOK = 1,
    CLIENT_INCREDIMAIL = 2,
    CLIENT_EUDORA = 3,
    CLIENT_THE_BAT = 4,
    CLIENT_MOZILLA = 5,
    CLIENT_OPERA = 6,
    CLIENT_OPERA7 = 7,
    CLIENT_NETSCAPE = 8,
    CLIENT_THUNDERBIRD = 9,
    CLIENT_SEAMONKEY = 10,
    CLIENT_OUTLOOK_PROFILES = 11,
    CLIENT_WINDOWS_LIVE_MAIL = 12,
    CLIENT_WINDOWS_MAIL = 13,
    CLIENT_COUNT = 14
};

class CClientCatalogue
{
public:
    // Makes the adapter of one slot; null when it cannot be made. The program's is CreateDefaultClient
    // (clients/DefaultClients.h); tests substitute their own.
    typedef CMailClient* (*Factory)(int index);

    explicit CClientCatalogue(Factory factory);
    ~CClientCatalogue();
    CClientCatalogue(const CClientCatalogue&) = delete;
    CClientCatalogue& operator=(const CClientCatalogue&) = delete;

    // Fills the slots in index order; a slot whose adapter cannot be made stays null.
    void CreateCatalogue();
    // Calls LoadClient on every slot in index order.
    void LoadCatalogue();
    void DestroyCatalogue();
    // Throws every adapter away and reads all clients afresh.
    void Refresh();
    // The same for the given slots alone, in one load; the others stay as they are. What a write left is
    // checked in the clients written to.
    void RefreshClients(const std::vector<int>& slots);

    // The adapter of a slot, null when the slot is empty or index is out of range.
    CMailClient* Client(int index) const;
    // The adapter of a slot when it loaded with accounts, else null.
    CMailClient* LoadedClient(int index) const;
    int TotalAccounts() const;
    // A batch on every loaded adapter (CMailClient::BeginBatch), for an action on many accounts at once;
    // CommitBatches writes each adapter's store files once, FALSE when any of them could not be written;
    // notWritten, when given, gets the (client, account) of each account whose file was not written.
    void BeginBatches();
    BOOL CommitBatches(std::vector<std::pair<int, int>>* notWritten = nullptr);

private:
    // The factory's adapter for one slot, null when it cannot be made.
    CMailClient* MakeClient(int index) const;

    Factory m_factory;
    CMailClient* m_clients[CLIENT_COUNT] = {};
    BOOL m_loaded[CLIENT_COUNT] = {};
};
