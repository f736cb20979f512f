// What configuring and giving back do with the journal: the entry is on disk before the store is touched,
// a proxy user name changed since is overruled by it, and a journal that is damaged or cannot be written
// never stops an action.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include "core/OriginalsJournal.h"
#include "Files.h"

#include <gtest/gtest.h>

namespace {

// A scripted client whose accounts have a place, and which looks into the journal as it writes.
class CPlacedClient : public CScriptedClient
{
public:
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override
    {
        store = "memory";
        identity = std::to_string(index);
        return TRUE;
    }
    BOOL WriteAccount(int index, EWriteSource source) override
    {
        PopSettings entry;
        m_journalledAtWrite.push_back(
            g_originalsJournal.Find(m_displayName, "memory", std::to_string(index), entry));
        return CScriptedClient::WriteAccount(index, source);
    }
    std::vector<BOOL> m_journalledAtWrite;
};

// Keeps its accounts in one file: in a batch each write is staged and the file written at the commit, where
// the journal's entries are looked at; failCommit: that file could not be written.
class CStagingClient : public CPlacedClient
{
public:
    BOOL StagesBatchWrites() const override { return TRUE; }
    BOOL WriteAccount(int index, EWriteSource source) override
    {
        if (!InBatch())
            return CPlacedClient::WriteAccount(index, source);
        m_staged.push_back({index, source});
        return TRUE;
    }
    void WriteStagedStores(std::vector<int>& failed) override
    {
        m_entriesAtCommit = g_originalsJournal.Entries().size();
        for (const auto& write : m_staged) {
            if (m_failCommit)
                failed.push_back(write.first);
            else
                CScriptedClient::WriteAccount(write.first, write.second);
        }
        m_staged.clear();
    }
    std::vector<std::pair<int, EWriteSource>> m_staged;
    size_t m_entriesAtCommit = 0;
    BOOL m_failCommit = FALSE;
};

PopSettings Real()
{
    PopSettings real = Pop("anna", "pop.mail.example", 995, AUTH_SPA);
    real.spaFlag = 2;
    real.spaFlagPresent = TRUE;
    return real;
}

void ExpectSettings(const PopSettings& expected, const PopSettings& actual)
{
    EXPECT_EQ(expected.userName, actual.userName);
    EXPECT_EQ(expected.server, actual.server);
    EXPECT_EQ(expected.port, actual.port);
    EXPECT_EQ(expected.authMode, actual.authMode);
    EXPECT_EQ(expected.spaFlag, actual.spaFlag);
    EXPECT_EQ(expected.spaFlagPresent, actual.spaFlagPresent);
    EXPECT_EQ(expected.secure, actual.secure);
    EXPECT_EQ(expected.secureStored, actual.secureStored);
}

class JournalUse : public ::testing::Test
{
protected:
    JournalUse() : m_port(8110) { g_originalsJournal.SetPath(JournalPath()); }
    ~JournalUse() override
    {
        g_originalsJournal.SetPath(std::string());
        g_originalsJournal.TakeNotices();
    }
    std::string JournalPath() const { return m_folder / "Nimbrel\\journal.json"; }

    // Configures the real account in one run; what the store then holds is returned.
    PopSettings Configured()
    {
        CPlacedClient client;
        client.m_store = {Real()};
        EXPECT_TRUE(client.LoadClient());
        EXPECT_TRUE(client.ConfigureAccount(0));
        EXPECT_TRUE(client.Record(0).journalled);
        return client.m_store[0];
    }
    // A later run over the store as given; the account's record after the load.
    AccountInfo Loaded(CPlacedClient& client, const PopSettings& stored)
    {
        client.m_store = {stored};
        EXPECT_TRUE(client.LoadClient());
        return client.Record(0);
    }

    CProxyPortScope m_port;
    CTestFolder m_folder;
};

} // namespace

TEST_F(JournalUse, TheEntryIsWrittenBeforeTheStoreAndRetiredAfterGivingBack)
{
    CPlacedClient client;
    client.m_store = {Real()};
    ASSERT_TRUE(client.LoadClient());
    EXPECT_FALSE(client.Record(0).journalled);
    ASSERT_TRUE(client.ConfigureAccount(0));
    ASSERT_EQ(1u, client.m_journalledAtWrite.size());
    EXPECT_TRUE(client.m_journalledAtWrite[0]) << "on disk before the store was written";
    EXPECT_EQ("anna/pop.mail.example[SPA]/995", client.m_store[0].userName);

    // A later run: the name decodes to the same settings; the journal still gives the exact SPA flag,
    // which the name (only "[SPA]") cannot.
    CPlacedClient later;
    AccountInfo account = Loaded(later, client.m_store[0]);
    EXPECT_TRUE(account.configured && account.upToDate && account.journalled);
    EXPECT_FALSE(account.fromJournal);
    ExpectSettings(Real(), account.original);
    ASSERT_TRUE(later.UnconfigureAccount(0));
    ExpectSettings(Real(), later.m_store[0]);
    EXPECT_TRUE(g_originalsJournal.Entries().empty());
    EXPECT_FALSE(later.Record(0).journalled);
}

TEST_F(JournalUse, AProxyUserNameChangedSinceIsOverruledByTheJournal)
{
    // Spoiled: no slash left, but still at the proxy. Configured, given back from the journal, not doubtful.
    PopSettings stored = Configured();
    stored.userName = "anna";
    {
        CPlacedClient later;
        const AccountInfo account = Loaded(later, stored);
        EXPECT_TRUE(account.configured && account.supported && account.fromJournal);
        EXPECT_FALSE(account.upToDate) << "the proxy cannot log in with that name";
        EXPECT_FALSE(account.suspicious);
        ExpectSettings(Real(), account.original);
        ASSERT_TRUE(later.UnconfigureAccount(0));
        ExpectSettings(Real(), later.m_store[0]);
        EXPECT_TRUE(g_originalsJournal.Entries().empty());
    }
    // Decoding to other settings: the journal's are the ones given back.
    stored = Configured();
    stored.userName = "anne/pop.other.example/110";
    {
        CPlacedClient later;
        const AccountInfo account = Loaded(later, stored);
        EXPECT_TRUE(account.configured && account.fromJournal);
        ExpectSettings(Real(), account.original);
        ASSERT_TRUE(later.UnconfigureAccount(0));
        ExpectSettings(Real(), later.m_store[0]);
    }
    // Without a slash and away from the proxy, it is the user's own account again: the entry does not
    // make it configured, nor does one at the proxy's old port.
    for (const PopSettings& own : {Pop("anna", "pop.mail.example", 995), Pop("anna", "localhost", 110)}) {
        stored = Configured();
        stored.userName = own.userName;
        stored.server = own.server;
        stored.port = own.port;
        CPlacedClient later;
        const AccountInfo account = Loaded(later, stored);
        EXPECT_FALSE(account.configured) << own.server << ":" << own.port;
        EXPECT_TRUE(account.journalled);
        EXPECT_FALSE(account.fromJournal);
    }
    // Spoiled at the proxy's old port and configured again as it looks now: the entry is not replaced by
    // those settings, and giving back still brings the real ones.
    {
        CPlacedClient again;
        Loaded(again, stored);
        ASSERT_TRUE(again.ConfigureAccount(0));
        EXPECT_EQ("anna/localhost/110", again.m_store[0].userName);
        CPlacedClient later;
        const AccountInfo account = Loaded(later, again.m_store[0]);
        EXPECT_TRUE(account.configured && account.fromJournal);
        ASSERT_TRUE(later.UnconfigureAccount(0));
        ExpectSettings(Real(), later.m_store[0]);
    }
}

TEST_F(JournalUse, ADamagedOrUnwritableJournalStopsNothing)
{
    ASSERT_TRUE(plat::CreateFolder((m_folder / "Nimbrel").c_str()));
    ASSERT_TRUE(plat::ReplaceWholeFile(JournalPath().c_str(), "{\"format\": 1, \"entr"));
    PopSettings stored = Configured();
    std::vector<JournalNotice> notices = g_originalsJournal.TakeNotices();
    ASSERT_EQ(1u, notices.size());
    EXPECT_EQ(JOURNAL_SET_ASIDE, notices[0].kind);
    {
        // Damaged again before giving back: the proxy user name still carries the settings.
        ASSERT_TRUE(plat::ReplaceWholeFile(JournalPath().c_str(), "\x01\x02"));
        CPlacedClient later;
        const AccountInfo account = Loaded(later, stored);
        EXPECT_TRUE(account.configured && account.upToDate);
        EXPECT_FALSE(account.journalled);
        ASSERT_TRUE(later.UnconfigureAccount(0));
        EXPECT_EQ("anna", later.m_store[0].userName);
        EXPECT_EQ("pop.mail.example", later.m_store[0].server);
        EXPECT_EQ(995, later.m_store[0].port);
        EXPECT_EQ(1u, g_originalsJournal.TakeNotices().size());
    }
    // A journal that cannot be written: configuring goes on, and says so.
    ASSERT_TRUE(plat::RemoveFolderTree((m_folder / "Nimbrel").c_str()));
    ASSERT_TRUE(plat::ReplaceWholeFile((m_folder / "Nimbrel").c_str(), "a file"));
    CPlacedClient client;
    client.m_store = {Real()};
    ASSERT_TRUE(client.LoadClient());
    ASSERT_TRUE(client.ConfigureAccount(0));
    EXPECT_FALSE(client.Record(0).journalled);
    EXPECT_EQ("anna/pop.mail.example[SPA]/995", client.m_store[0].userName);
    notices = g_originalsJournal.TakeNotices();
    ASSERT_EQ(1u, notices.size());
    EXPECT_EQ(JOURNAL_NOT_WRITTEN, notices[0].kind);
}

TEST_F(JournalUse, ABatchRecordsItsEntriesBeforeItsFileIsWrittenAndRetiresThemAfter)
{
    CStagingClient client;
    client.m_store = {Real(), Pop("bob", "pop.bob.example", 110), Pop("carl", "pop.carl.example", 110)};
    ASSERT_TRUE(client.LoadClient());
    const std::vector<PopSettings> before = client.m_store;

    // The file cannot be written: no account configured, and no entry left behind for any of them.
    client.m_failCommit = TRUE;
    client.BeginBatch();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(client.ConfigureAccount(i));
    EXPECT_TRUE(g_originalsJournal.Entries().empty()) << "recorded at the commit, not per account";
    std::vector<int> failed;
    EXPECT_FALSE(client.CommitBatch(failed));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), failed);
    EXPECT_EQ(3u, client.m_entriesAtCommit) << "on disk before the file was written";
    EXPECT_TRUE(g_originalsJournal.Entries().empty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(client.Record(i).configured || client.Record(i).journalled) << i;
        EXPECT_EQ(before[static_cast<size_t>(i)].userName, client.m_store[static_cast<size_t>(i)].userName);
    }

    // Written: every account configured with its entry.
    client.m_failCommit = FALSE;
    client.BeginBatch();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(client.ConfigureAccount(i));
    failed.clear();
    EXPECT_TRUE(client.CommitBatch(failed));
    EXPECT_EQ(3u, g_originalsJournal.Entries().size());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(client.Record(i).configured && client.Record(i).journalled) << i;
    EXPECT_EQ("anna/pop.mail.example[SPA]/995", client.m_store[0].userName);

    // Given back in a batch whose file cannot be written: the entries stay, since the store still needs them.
    CStagingClient later;
    later.m_store = client.m_store;
    ASSERT_TRUE(later.LoadClient());
    later.m_failCommit = TRUE;
    later.BeginBatch();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(later.UnconfigureAccount(i));
    failed.clear();
    EXPECT_FALSE(later.CommitBatch(failed));
    EXPECT_EQ(3u, g_originalsJournal.Entries().size());
    EXPECT_TRUE(later.Record(0).configured && later.Record(0).journalled);

    // Given back: the entries go only after the file holds the real settings again.
    later.m_failCommit = FALSE;
    later.BeginBatch();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(later.UnconfigureAccount(i));
    failed.clear();
    EXPECT_TRUE(later.CommitBatch(failed));
    EXPECT_EQ(3u, later.m_entriesAtCommit);
    EXPECT_TRUE(g_originalsJournal.Entries().empty());
    ExpectSettings(Real(), later.m_store[0]);
    EXPECT_EQ("carl", later.m_store[2].userName);
}
