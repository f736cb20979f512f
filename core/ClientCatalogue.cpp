// CClientCatalogue: the nine client adapters in their fixed order, created, loaded and rebuilt together.
#include "core/ClientCatalogue.h"

#include "clients/EudoraClient.h"
#include "clients/IncrediMailClient.h"
#include "clients/MozillaClient.h"
#include "clients/NetscapeClient.h"
#include "clients/Opera7Client.h"
#include "clients/OperaClient.h"
#include "clients/OutlookClient.h"
#include "clients/OutlookExpressClient.h"
#include "clients/TheBatClient.h"
#include "core/AbsentClient.h"
#include "ReadBatch.h"

#include <new>

CClientCatalogue::CClientCatalogue(Factory factory) : m_factory(factory ? factory : &CreateDefaultClient)
{
    CreateCatalogue();
}

CClientCatalogue::~CClientCatalogue()
{
    DestroyCatalogue();
}

CMailClient* CClientCatalogue::CreateDefaultClient(int index)
{
    switch (index) {
    case CLIENT_OUTLOOK_EXPRESS:
        return new (std::nothrow) COutlookExpressClient;
    case CLIENT_OUTLOOK:
        return new (std::nothrow) COutlookClient;
    case CLIENT_INCREDIMAIL:
        return new (std::nothrow) CIncrediMailClient;
    case CLIENT_EUDORA:
        return new (std::nothrow) CEudoraClient;
    case CLIENT_THE_BAT:
        return new (std::nothrow) CTheBatClient;
    case CLIENT_MOZILLA:
        return new (std::nothrow) CMozillaClient;
    case CLIENT_OPERA:
        return new (std::nothrow) COperaClient;
    case CLIENT_OPERA7:
        return new (std::nothrow) COpera7Client;
    case CLIENT_NETSCAPE:
        return new (std::nothrow) CNetscapeClient;
    default:
        return nullptr;
    }
}

void CClientCatalogue::CreateCatalogue()
{
    for (int i = 0; i < CLIENT_COUNT; ++i) {
        // A constructor that throws leaves its slot empty; the other slots keep their indexes.
        try {
            m_clients[i] = m_factory(i);
        } catch (const std::exception&) {
            m_clients[i] = nullptr;
        }
        m_loaded[i] = FALSE;
    }
}

void CClientCatalogue::LoadCatalogue()
{
    // One look at the disk for all clients: two that read the same files or folders read them once.
    plat::CReadBatch batch;
    for (int i = 0; i < CLIENT_COUNT; ++i)
        m_loaded[i] = m_clients[i] != nullptr && m_clients[i]->LoadClient();
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

CMailClient* CClientCatalogue::Client(int index) const
{
    return index >= 0 && index < CLIENT_COUNT ? m_clients[index] : nullptr;
}

CMailClient* CClientCatalogue::LoadedClient(int index) const
{
    return index >= 0 && index < CLIENT_COUNT && m_loaded[index] ? m_clients[index] : nullptr;
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
