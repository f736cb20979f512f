// CIncrediMailClient: the adapter for IncrediMail, whose accounts are registry keys grouped by identity.
#pragma once

#include "core/MailClient.h"
#include "RegKey.h"

#include <string>
#include <utility>
#include <vector>

#define INCREDIMAIL_IDENTITIES_KEY "Software\\Incredimail\\Identities"

class CIncrediMailClient : public CMailClient
{
public:
    CIncrediMailClient();
    ~CIncrediMailClient() override;

    BOOL DetectClient() override;
    void ResetLoad() override;
    int EnumerateAccounts() override;
    BOOL ReadAccount(int index) override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;
    size_t MaxUserNameLength() const override { return MaxRegStringLength(); }

    // The key of record index under HKEY_CURRENT_USER; empty for an index that has none.
    std::string AccountKeyPath(int index) const;

protected:
    // Every value the adapter writes goes through here (RegSetValueExA's result).
    virtual LONG SetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size);

private:
    // Writes the POP3 values; restoring (source 1) writes the user name last instead of first.
    // The SPA flag follows original: turned off when configuring an SPA account, put back as stored when
    // restoring.
    BOOL WriteValues(HKEY key, const PopSettings& settings, const PopSettings& original, BOOL restoring);

    std::string m_identitiesKeyPath;
    std::vector<std::vector<std::string>> m_accountKeyLists;
    std::vector<std::string> m_identityKeys;
    std::vector<std::pair<int, int>> m_accountPairs;
    // The "Accounts" key of identity m_openIdentity, kept open while its accounts are read.
    plat::CRegKey m_accountsKey;
    int m_openIdentity = -1;
};
