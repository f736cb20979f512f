// CAdapterRoundTrip: configure, reload, unconfigure, reload, over one adapter, with the settings compared.
#include "AdapterRoundTrip.h"

#include "PortableControl.h"
#include "FuzzScratch.h"
#include "fault/StoreSnapshot.h"

#include "settings/ProductSettings.h"

#include <cstdio>

namespace {

// Doubtful accounts are repaired, as a user who answers OK has them.
class CAcceptEverything : public CDoubtfulAnswer
{
public:
    BOOL Confirm(const AccountInfo& /*account*/, EAccountAction /*action*/) override { return TRUE; }
};
CAcceptEverything g_accept;

bool SameSettings(const PopSettings& a, const PopSettings& b)
{
    if (a.userName == b.userName && a.server == b.server && a.port == b.port && a.authMode == b.authMode)
        return true;
    fprintf(stderr, "settings differ: [%s] [%s] %d %d and [%s] [%s] %d %d\n", a.userName.c_str(),
            a.server.c_str(), a.port, a.authMode, b.userName.c_str(), b.server.c_str(), b.port, b.authMode);
    return false;
}

} // namespace

CStoreSnapshot CAdapterRoundTrip::StoreSnapshot()
{
    return CStoreSnapshot::Take(CFuzzScratch::Get().Root());
}

std::unique_ptr<CMailClient> CAdapterRoundTrip::Load() const
{
    std::unique_ptr<CMailClient> client = m_factory();
    if (!client->LoadClient())
        return nullptr;
    return client;
}

void CAdapterRoundTrip::Run(size_t maxAccounts) const
{
    std::unique_ptr<CMailClient> first = Load();
    if (first) {
        const int count = first->AccountCount();
        for (int i = 0; i < count && static_cast<size_t>(i) < maxAccounts; ++i)
            CheckAccount(i, std::move(first));
    }
}

void CAdapterRoundTrip::CheckAccount(int index, std::unique_ptr<CMailClient> loaded) const
{
    std::unique_ptr<CMailClient> client = loaded ? std::move(loaded) : Load();
    FUZZ_CHECK(client != nullptr);
    AccountInfo before;
    FUZZ_CHECK(client->GetAccount(index, before));
    if (!before.supported)
        return;
    const int count = client->AccountCount();
    const CStoreSnapshot storeBefore = StoreSnapshot();
    if (!client->ConfigureAccount(index, &g_accept)) {
        FUZZ_CHECK(StoreSnapshot() == storeBefore);
        return;
    }
    // The store now holds the proxy settings, and the proxy user name carries every real setting.
    client = Load();
    FUZZ_CHECK(client != nullptr && client->AccountCount() == count);
    AccountInfo configured;
    FUZZ_CHECK(client->GetAccount(index, configured));
    FUZZ_CHECK(configured.supported && configured.configured);
    FUZZ_CHECK(SameSettings(configured.original, before.original));
    if (before.original.port > 0)
        FUZZ_CHECK(configured.upToDate && !configured.suspicious);

    const CStoreSnapshot storeConfigured = StoreSnapshot();
    if (!client->UnconfigureAccount(index, &g_accept)) {
        FUZZ_CHECK(StoreSnapshot() == storeConfigured);
        return;
    }
    client = Load();
    FUZZ_CHECK(client != nullptr && client->AccountCount() == count);
    AccountInfo restored;
    FUZZ_CHECK(client->GetAccount(index, restored));
    // Back as it was; a plain account whose settings the proxy user name cannot carry (a doubtful one's
    // negative port), whose port no server listens on, or whose proxy user name comes out longer than the
    // one it had (a port added) is then left alone, with its settings as they are; so is a secure one that
    // a configured name carried while the proxy speaks plain POP3 only.
    FUZZ_CHECK(!restored.configured);
    FUZZ_CHECK(restored.supported || restored.reason == REASON_CONFIG_UNREADABLE ||
               restored.reason == REASON_PORT_RANGE || restored.reason == REASON_NAME_TOO_LONG ||
               restored.reason == REASON_SECURE);
    // A tag the client has no setting for (APOP in a client that keeps no authentication) cannot come back
    // into it; everything a plain account read from the client can.
    PopSettings expected = before.original;
    if (before.configured)
        expected.authMode = restored.current.authMode;
    if (m_fixedPort != 0)
        expected.port = m_fixedPort;
    FUZZ_CHECK(SameSettings(restored.current, expected));
}
