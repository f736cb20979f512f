// CClientCatalogue: the client adapters in their fixed order, created, loaded and rebuilt together.
#include "core/ClientCatalogue.h"

#include <algorithm>
#include <new>
#include <vector>

CClientCatalogue::CClientCatalogue(Factory factory) : m_factory(factory)
{
    CreateCatalogue();
}

CClientCatalogue::~CClientCatalogue()
{
    DestroyCatalogue();
}

CMailClient* CClientCatalogue::MakeClient(int index) const
{
    // A constructor that throws leaves its slot empty; the other slots keep their indexes.
    try {
        return m_factory ? m_factory(index) : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

void CClientCatalogue::CreateCatalogue()
{
    for (int i = 0; i < CLIENT_COUNT; ++i) {
        m_clients[i] = MakeClient(i);
        m_loaded[i] = FALSE;
    }
}

void CClientCatalogue::LoadCatalogue()
{
    // One look at the disk for all clients: two that read the same files or folders read them once.
    CLoadContext context;
    for (int i = 0; i < CLIENT_COUNT; ++i)
        m_loaded[i] = m_clients[i] != nullptr && m_clients[i]->LoadClient(&context);
}

void CClientCatalogue::DestroyCatalogue()
{
    for (int i = 0; i < CLIENT_COUNT; ++i) {
        delete m_clients[i];
        m_clients[i] = nullptr;
        m_loaded[i] = FALSE;
    }
}

void CClientCatalogue::Refresh()
{
    DestroyCatalogue();
    CreateCatalogue();
    LoadCatalogue();
}

void CClientCatalogue::RefreshClients(const std::vector<int>& slots)
{
    CLoadContext context;
    for (int i = 0; i < CLIENT_COUNT; ++i) {
        if (std::find(slots.begin(), slots.end(), i) == slots.end())
            continue;
        delete m_clients[i];
        m_clients[i] = MakeClient(i);
        m_loaded[i] = m_clients[i] != nullptr && m_clients[i]->LoadClient(&context);
    }
}

CMailClient* CClientCatalogue::Client(int index) const
{
    return index >= 0 && index < CLIENT_COUNT ? m_clients[index] : nullptr;
}

CMailClient* CClientCatalogue::LoadedClient(int index) const
{
    return index >= 0 && index < CLIENT_COUNT && m_loaded[index] ? m_clients[index] : nullptr;
}

void CClientCatalogue::BeginBatches()
{
    for (int i = 0; i < CLIENT_COUNT; ++i) {
        if (LoadedClient(i))
            m_clients[i]->BeginBatch();
    }
}

BOOL CClientCatalogue::CommitBatches(std::vector<std::pair<int, int>>* notWritten)
{
    BOOL all = TRUE;
    for (int i = 0; i < CLIENT_COUNT; ++i) {
        std::vector<int> failed;
        if (LoadedClient(i) && !m_clients[i]->CommitBatch(failed))
            all = FALSE;
        for (int account : failed) {
            if (notWritten)
                notWritten->push_back({i, account});
        }
    }
    return all;
}

int CClientCatalogue::TotalAccounts() const
{
    int total = 0;
    for (int i = 0; i < CLIENT_COUNT; ++i) {
        if (LoadedClient(i))
            total += m_clients[i]->AccountCount();
    }
    return total;
}
