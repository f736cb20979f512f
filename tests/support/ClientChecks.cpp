// What the adapter tests share: files read back and the table check of read accounts.
#include "support/ClientChecks.h"

#include "Files.h"

#include <gtest/gtest.h>

std::string FileBytes(const std::string& path)
{
    std::string bytes = "<unreadable>";
    plat::ReadWholeFile(path.c_str(), bytes);
    return bytes;
}

AccountInfo RecordOf(const CMailClient& client, int index)
{
    AccountInfo info;
    info.name = "<no record>";
    client.GetAccount(index, info);
    return info;
}

size_t FileCount(const std::string& folder)
{
    std::vector<plat::DirEntry> entries;
    plat::ListDirectory(folder.c_str(), entries);
    size_t count = 0;
    for (const plat::DirEntry& entry : entries)
        count += entry.name != "." && entry.name != ".." ? 1 : 0;
    return count;
}

void ExpectAccounts(const CMailClient& client, const std::vector<AccountRow>& rows)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const AccountRow& row = rows[i];
        SCOPED_TRACE("row " + std::to_string(i) + ": " + row.name);
        AccountInfo a = RecordOf(client, static_cast<int>(i));
        EXPECT_EQ(row.name, a.name);
        EXPECT_EQ(row.supported, a.supported);
        EXPECT_EQ(row.configured, a.configured);
        EXPECT_EQ(row.upToDate, a.configured && a.upToDate);
        EXPECT_EQ(row.suspicious, a.configured && a.suspicious);
        EXPECT_EQ(row.reason, a.reason);
        if (row.protocol != -1) {
            EXPECT_EQ(row.protocol, a.protocol);
        }
        EXPECT_EQ(row.user, a.current.userName);
        EXPECT_EQ(row.server, a.current.server);
        EXPECT_EQ(row.port, a.current.port);
        EXPECT_EQ(row.auth, a.current.authMode);
    }
}

void ExpectProfileAccounts(const CMailClient& client, const std::vector<ProfileAccountRow>& rows)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const ProfileAccountRow& row = rows[i];
        SCOPED_TRACE("row " + std::to_string(i) + ": " + row.name);
        AccountInfo a = RecordOf(client, static_cast<int>(i));
        EXPECT_EQ(row.name, a.name);
        if (row.email) {
            EXPECT_EQ(row.email, a.email);
        }
        EXPECT_EQ(row.supported, a.supported);
        EXPECT_EQ(row.configured, a.configured);
        EXPECT_EQ(row.upToDate, a.upToDate);
        EXPECT_EQ(row.suspicious, a.suspicious);
        EXPECT_EQ(row.reason, a.reason);
        if (row.protocol != -1) {
            EXPECT_EQ(row.protocol, a.protocol);
        }
        EXPECT_EQ(row.user, a.current.userName);
        EXPECT_EQ(row.server, a.current.server);
        EXPECT_EQ(row.port, a.current.port);
        if (a.supported) {
            EXPECT_EQ(AUTH_NORMAL, a.current.authMode);
            EXPECT_EQ(row.realUser, a.original.userName);
            EXPECT_EQ(row.realServer, a.original.server);
            EXPECT_EQ(row.realPort, a.original.port);
            if (row.realAuth != -1) {
                EXPECT_EQ(row.realAuth, a.original.authMode);
            }
        }
    }
}
