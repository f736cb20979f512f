// COutlookExpressClient: Outlook Express accounts, one numbered registry subkey per account.
#pragma once

#include "core/MailClient.h"
#include "RegKey.h"

#include <string>
#include <vector>

class COutlookExpressClient : public CMailClient
{
public:
    COutlookExpressClient();
    ~COutlookExpressClient() override = default;

    void ResetLoad() override;

    int EnumerateAccounts() override;
    BOOL DetectClient() override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL ReadAccount(int index) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;
    size_t MaxUserNameLength() const override { return MaxRegStringLength(); }

protected:
    std::string AccountKeyPath(int index) const;

    std::vector<std::string> m_accountKeys;
    std::string m_accountsKeyPath;
    // The accounts key as enumerated: each account's key is opened below it, not by its whole path again.
    plat::CRegKey m_accountsKey;
};
