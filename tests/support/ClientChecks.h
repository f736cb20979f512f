// What the adapter tests share: one fixture for every client's traces, records and stores read back, and the
// checks of a round trip and of a write that must fail.
#pragma once

#include "support/TestScopes.h"

#include "core/MailClient.h"
#include "fixtures/SampleStores.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Every client's registry trees and application-data folders removed before and after, a fresh folder for
// installations and stores, and the proxy on port 110.
class CClientTest : public ::testing::Test
{
protected:
    CClientTest();
    ~CClientTest() override;
    // The proxy's port, for the program and for the samples seeded as configured.
    void UseProxyPort(DWORD port);

    CRegistryScope m_registry;
    CProxyPortScope m_port;
    CTestFolder m_folder;
    std::string m_appData;
    SampleContext m_context;
};

// A whole file's bytes; "<unreadable>" when it cannot be read.
std::string FileBytes(const std::string& path);
// A copy of a client's record; named "<no record>" when there is none.
AccountInfo RecordOf(const CMailClient& client, int index);
// The files of a folder, "." and ".." left out: a temporary file left behind shows here.
size_t FileCount(const std::string& folder);
// text with the first occurrence of part replaced by by; a part that is not there fails the test.
std::string Replaced(std::string text, const std::string& part, const std::string& by);

// What a store holds now, as text to compare.
typedef std::function<std::string()> StoreText;
// A file's bytes.
StoreText BytesOf(const std::string& path);
// A file's bytes and the names in its folder: a temporary file left behind, or a folder made anew, shows.
StoreText FileStore(const std::string& path);
// Configures the records on one reading, each then configured, up to date and not doubtful; the store must
// then hold `configured`. A fresh reading must find them configured and up to date, and unconfiguring them
// must leave `restored`.
template <class TClient>
void ExpectRoundTrip(const std::vector<int>& records, const StoreText& store, const std::string& configured,
                     const std::string& restored)
{
    {
        TClient client;
        ASSERT_TRUE(client.LoadClient());
        for (int index : records) {
            ASSERT_TRUE(client.ConfigureAccount(index)) << index;
            const AccountInfo a = RecordOf(client, index);
            EXPECT_TRUE(a.configured && a.upToDate && !a.suspicious) << index;
        }
    }
    EXPECT_EQ(configured, store());
    TClient client;
    ASSERT_TRUE(client.LoadClient());
    for (int index : records) {
        EXPECT_TRUE(RecordOf(client, index).configured && RecordOf(client, index).upToDate) << index;
        ASSERT_TRUE(client.UnconfigureAccount(index)) << index;
    }
    EXPECT_EQ(restored, store());
}
// Configuring (or unconfiguring) the record must fail and change neither the store nor the record's state
// and real settings.
void ExpectRefused(CMailClient& client, int index, BOOL configure, const StoreText& store);

// The record must be the named account, read as one the program leaves alone for reason.
void ExpectUnsupported(const CMailClient& client, int index, const char* name, int reason);

// Answers every doubtful-account question with OK: doubtful accounts are repaired.
class CAcceptQuestions : public CDoubtfulAnswer
{
public:
    BOOL Confirm(const AccountInfo& /*account*/, EAccountAction /*action*/) override
    {
        ++m_asked;
        return TRUE;
    }
    int m_asked = 0;
};
