// CScriptedClient: an adapter whose store is a vector in memory, for testing what every adapter inherits.
#pragma once

#include "core/MailClient.h"

#include <vector>

class CScriptedClient : public CMailClient
{
public:
    struct Write
    {
        int index;
        int source;
        PopSettings settings;
    };

    CScriptedClient() { m_displayName = "Scripted"; }

    BOOL DetectClient() override
    {
        m_exePath = m_exe;
        return m_detect;
    }
    int EnumerateAccounts() override { return static_cast<int>(m_store.size()); }
    BOOL ReadAccount(int index) override
    {
        ++m_reads;
        if (m_refuse.size() > static_cast<size_t>(index) && m_refuse[index]) {
            Account(index).reason = m_refuse[index];
            return FALSE;
        }
        Account(index).name = "Account " + std::to_string(index);
        Account(index).current = m_store[index];
        return TRUE;
    }
    BOOL WriteAccount(int index, EWriteSource source) override
    {
        const PopSettings& settings = source == 1 ? Account(index).original : Account(index).current;
        m_writes.push_back({index, source, settings});
        if (m_failWrites)
            return FALSE;
        m_store[index] = settings;
        return TRUE;
    }

    size_t MaxUserNameLength() const override { return m_maxUserName; }

    // Direct access for tests.
    AccountInfo& Record(int index) { return Account(index); }
    using CMailClient::FindFilesRecursive;
    using CMailClient::ReadRegDword;
    using CMailClient::ReadRegString;
    const std::vector<std::string>& FoundFiles() const { return m_foundFiles; }

    BOOL m_detect = TRUE;
    std::string m_exe; // the program a detection finds
    BOOL m_failWrites = FALSE;
    size_t m_maxUserName = static_cast<size_t>(-1);
    int m_reads = 0;
    std::vector<PopSettings> m_store;
    std::vector<int> m_refuse; // reason per index, 0: read succeeds
    std::vector<Write> m_writes;
};

inline PopSettings Pop(const char* user, const char* server, int port, int authMode = AUTH_NORMAL)
{
    PopSettings settings;
    settings.userName = user;
    settings.server = server;
    settings.port = port;
    settings.authMode = authMode;
    return settings;
}

// A record with the given states, as a load leaves it.
inline AccountInfo StatedAccount(const char* name, const char* email, BOOL supported, BOOL configured,
                                 BOOL upToDate, BOOL suspicious = FALSE)
{
    AccountInfo account;
    account.name = name;
    account.email = email;
    account.supported = supported;
    account.configured = configured;
    account.upToDate = upToDate;
    account.suspicious = suspicious;
    return account;
}
