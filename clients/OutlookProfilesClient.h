// COutlookProfilesClient: the POP3 accounts of Outlook 2007 to 365, kept per mail profile in the registry.
#pragma once

#include "core/MailClient.h"

#include <string>
#include <vector>

class COutlookProfilesClient : public CMailClient
{
public:
    COutlookProfilesClient();
    ~COutlookProfilesClient() override = default;

    void ResetLoad() override;

    BOOL DetectClient() override;
    int EnumerateAccounts() override;
    BOOL ReadAccount(int index) override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;

private:
    struct Record
    {
        std::string keyPath; // the account subkey, below HKEY_CURRENT_USER
        std::string subkey;  // its 8-hex-digit name
        std::string profile;
        BOOL imap = FALSE;
    };

    BOOL ReadText(HKEY key, const char* valueName, std::string& text, int index);
    void AddProfileAccounts(const std::string& profilesPath, const std::string& profile);

    std::vector<Record> m_records;
    size_t m_profileCount = 0;
};
