// What the adapter tests share: an adapter with its records in reach, files read back, and the check of
// read accounts against a table of the states and settings they must show.
#pragma once

#include "core/MailClient.h"

#include <string>
#include <vector>

// Any adapter with its records in reach.
template <class TClient> class CWithRecords : public TClient
{
public:
    AccountInfo& Record(int index) { return this->Account(index); }
};

// A whole file's bytes; "<unreadable>" when it cannot be read.
std::string FileBytes(const std::string& path);
// A copy of a client's record; named "<no record>" when there is none.
AccountInfo RecordOf(const CMailClient& client, int index);
// The files of a folder, "." and ".." left out: a temporary file left behind shows here.
size_t FileCount(const std::string& folder);

// One account as it must be read: its state and the settings it shows now. Up to date and doubtful count
// only for configured accounts; protocol -1 is not checked.
struct AccountRow
{
    const char* name;
    BOOL supported, configured, upToDate, suspicious;
    int reason;
    std::string user;
    std::string server;
    int port;
    int auth;
    int protocol = -1;
};
// Checks the client's records 0 to rows.size() - 1 against the rows, each failure naming its row.
void ExpectAccounts(const CMailClient& client, const std::vector<AccountRow>& rows);

// One account of a client that keeps its settings in profile files, with the real settings a supported one
// carries (its current authentication is then normal). Email null, protocol -1 and real authentication -1
// are not checked.
struct ProfileAccountRow
{
    const char* name;
    const char* email;
    BOOL supported, configured, upToDate, suspicious;
    int reason, protocol;
    std::string user;
    std::string server;
    int port;
    std::string realUser;
    std::string realServer;
    int realPort;
    int realAuth = -1;
};
// Checks the client's records 0 to rows.size() - 1 against the rows, each failure naming its row.
void ExpectProfileAccounts(const CMailClient& client, const std::vector<ProfileAccountRow>& rows);
