// CAdapterRoundTrip: configures and unconfigures the accounts of one adapter over a store a fuzzer made, and
// checks that every real setting comes back and that a refused write leaves the store as it was.
#pragma once

#include "core/MailClient.h"
#include "fault/StoreSnapshot.h"

#include <functional>
#include <memory>
#include <string>

class CAdapterRoundTrip
{
public:
    typedef std::function<std::unique_ptr<CMailClient>()> Factory;

    // factory makes a fresh adapter of the client under test (the catalogue's way of refreshing). fixedPort
    // is the port of a client that keeps none (Eudora's 110): a configured account's port cannot come back
    // into it, and it reads that port again.
    explicit CAdapterRoundTrip(Factory factory, int fixedPort = 0)
        : m_factory(std::move(factory)), m_fixedPort(fixedPort)
    {
    }

    // Loads the client; for each of its first accounts that is supported, configures it, reloads, checks the
    // real settings survived, unconfigures it, reloads and checks the account is back as it was. Doubtful
    // accounts are accepted. A write that fails must leave every file and registry value as it was.
    void Run(size_t maxAccounts) const;

    // Everything the store may hold: the files below the scratch folder and the registry.
    static CStoreSnapshot StoreSnapshot();

private:
    std::unique_ptr<CMailClient> Load() const;
    // loaded: a fresh adapter already loaded from the store as it is, or null to load one.
    void CheckAccount(int index, std::unique_ptr<CMailClient> loaded) const;

    Factory m_factory;
    int m_fixedPort;
};
