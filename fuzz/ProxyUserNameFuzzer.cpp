// Fuzz target: the proxy user name: how any stored user name, server and port are classified and decoded,
// and that configuring and unconfiguring gives every real setting back.
#include "AdapterRoundTrip.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <cstddef>
#include <cstdint>

namespace {

PopSettings g_store;

// An adapter whose one account lives in g_store, so that a fresh adapter reads what the last one wrote.
class CStoredAccountClient : public CMailClient
{
public:
    CStoredAccountClient() { m_displayName = "Stored"; }
    int EnumerateAccounts() override { return 1; }
    BOOL ReadAccount(int index) override
    {
        Account(index).name = "account";
        Account(index).current = g_store;
        return TRUE;
    }
    BOOL WriteAccount(int index, EWriteSource source) override
    {
        g_store = source == WRITE_ORIGINAL ? Account(index).original : Account(index).current;
        return TRUE;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    scratch.ResetRegistry();
    CFuzzInput input(data, size);
    const DWORD proxyPort = input.Byte() | input.Byte() << 8;
    g_store.port = static_cast<int>(static_cast<uint32_t>(input.Byte()) << 24 | input.Byte() << 16 |
                                    input.Byte() << 8 | input.Byte());
    g_store.authMode = static_cast<int>(input.Choice(3));
    g_store.secure = static_cast<int>(input.Choice(3));
    const DWORD proxyTls = input.Choice(2);
    g_store.server = input.Text(100);
    g_store.userName = input.Rest();
    plat::CRegKey key;
    FUZZ_CHECK(key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_WRITE) == ERROR_SUCCESS);
    FUZZ_CHECK(key.SetDword(NIMBREL_PROXY_PORT_VALUE, proxyPort) == ERROR_SUCCESS);
    FUZZ_CHECK(key.SetDword(NIMBREL_PROXY_TLS_VALUE, proxyTls) == ERROR_SUCCESS);
    key.Close();
    const PopSettings stored = g_store;

    CStoredAccountClient client;
    FUZZ_CHECK(client.LoadClient());
    AccountInfo account;
    FUZZ_CHECK(client.GetAccount(0, account));
    const size_t slash = stored.userName.find('/');
    if (stored.server.find('/') != std::string::npos) {
        FUZZ_CHECK(!account.supported && account.reason == REASON_SLASH);
    } else if (slash != std::string::npos) {
        FUZZ_CHECK(account.supported && account.configured);
    } else {
        // A plain account is offered exactly when its port is one a server can listen on and its settings
        // survive the trip through the proxy user name.
        // A secure one only when the proxy speaks TLS.
        PopSettings carried;
        BOOL doubtful = FALSE;
        FUZZ_CHECK(DecodeProxyUserName(
            EncodeProxyUserName(stored.userName, stored.server, stored.port, stored.authMode, stored.secure),
            carried, doubtful));
        const bool whole = !doubtful && carried.userName == stored.userName &&
                           carried.server == stored.server && carried.port == stored.port &&
                           carried.authMode == stored.authMode && carried.secure == stored.secure;
        const bool inRange = stored.port >= 1 && stored.port <= 65535;
        const bool carriable = stored.secure == PROXY_SECURE_NONE || proxyTls != 0;
        FUZZ_CHECK(account.supported == (whole && inRange && carriable));
        FUZZ_CHECK(account.supported || account.reason == (!inRange ? REASON_PORT_RANGE
                                                           : !whole ? REASON_CONFIG_UNREADABLE
                                                                    : REASON_SECURE));
    }
    if (account.supported)
        FUZZ_CHECK(account.current.userName == stored.userName && account.current.server == stored.server);
    if (account.supported && !account.configured) {
        FUZZ_CHECK(account.original.userName == stored.userName && account.original.server == stored.server &&
                   account.original.port == stored.port);
    }
    if (account.configured) {
        FUZZ_CHECK(account.original.userName == stored.userName.substr(0, slash));
        FUZZ_CHECK(account.original.server.find('/') == std::string::npos);
        FUZZ_CHECK(account.original.authMode >= AUTH_NORMAL && account.original.authMode <= AUTH_SPA);
        FUZZ_CHECK(account.original.port != 0);
        if (account.upToDate)
            FUZZ_CHECK(!account.suspicious && static_cast<DWORD>(stored.port) == proxyPort);
    }

    CAdapterRoundTrip trip([]() { return std::unique_ptr<CMailClient>(new CStoredAccountClient); });
    trip.Run(1);
    return 0;
}
