// Batches of writes: each store file is written once with every account's edit, to the very bytes the
// accounts written one by one give, and a file changed by someone else before the commit keeps that change
// with every one of its accounts reported as not written.
#include "support/ClientChecks.h"

#include "Files.h"
#include "clients/MozillaClient.h"
#include "clients/Opera7Client.h"
#include "clients/ThunderbirdClient.h"
#include "fixtures/SampleWriter.h"

#include <algorithm>
#include <functional>

namespace {

// The supported records of a loaded client.
std::vector<int> SupportedRecords(const CMailClient& client)
{
    std::vector<int> records;
    for (int i = 0; i < client.AccountCount(); ++i) {
        if (RecordOf(client, i).supported)
            records.push_back(i);
    }
    return records;
}

// Acts on records one by one (batch FALSE) or in one batch, with meanwhile run between the staging and the
// commit; gives the records the commit reported as not written.
template <class TClient>
std::vector<int> Act(const std::vector<int>& records, BOOL configure, BOOL batch,
                     const std::function<void()>& meanwhile = nullptr)
{
    TClient client;
    EXPECT_TRUE(client.LoadClient());
    std::vector<AccountInfo> before;
    for (int index : records)
        before.push_back(RecordOf(client, index));
    if (batch)
        client.BeginBatch();
    for (int index : records)
        EXPECT_TRUE(configure ? client.ConfigureAccount(index) : client.UnconfigureAccount(index)) << index;
    if (meanwhile)
        meanwhile();
    std::vector<int> failed;
    EXPECT_EQ(failed.empty(), client.CommitBatch(failed) == TRUE);
    for (size_t i = 0; i < records.size(); ++i) {
        const int index = records[i];
        const AccountInfo now = RecordOf(client, index);
        // The record tells what the store holds: as before when its file was not written.
        if (std::find(failed.begin(), failed.end(), index) != failed.end()) {
            EXPECT_EQ(before[i].configured, now.configured) << index;
            EXPECT_EQ(before[i].upToDate, now.upToDate) << index;
            EXPECT_EQ(before[i].current.userName, now.current.userName) << index;
        } else {
            EXPECT_EQ(configure, now.configured) << index;
        }
    }
    return failed;
}

// Configure then unconfigure, one by one and, from the same stores (put back by restore), in batches: the
// same bytes after each.
template <class TClient>
void ExpectBatchAsOneByOne(const std::vector<int>& records, const StoreText& store,
                           const std::function<void()>& restore)
{
    const std::string before = store();
    EXPECT_TRUE(Act<TClient>(records, TRUE, FALSE).empty());
    const std::string configured = store();
    ASSERT_NE(before, configured);
    EXPECT_TRUE(Act<TClient>(records, FALSE, FALSE).empty());
    const std::string unconfigured = store();

    restore();
    ASSERT_EQ(before, store());
    EXPECT_TRUE(Act<TClient>(records, TRUE, TRUE).empty());
    EXPECT_EQ(configured, store());
    EXPECT_TRUE(Act<TClient>(records, FALSE, TRUE).empty());
    EXPECT_EQ(unconfigured, store());
}

// The records a batch configures or updates: supported, not configured and up to date, not doubtful.
std::vector<int> PlainRecords(const CMailClient& client)
{
    std::vector<int> records;
    for (int index : SupportedRecords(client)) {
        const AccountInfo a = RecordOf(client, index);
        if (!(a.configured && a.upToDate) && !a.suspicious)
            records.push_back(index);
    }
    return records;
}

class BatchWrites : public CClientTest
{
protected:
    std::string DefaultProfile() const
    {
        return JoinPath(m_appData, "Mozilla\\Profiles\\default\\k2l8x0f3.slt\\prefs.js");
    }
    std::string WorkProfile() const
    {
        return JoinPath(m_appData, "Mozilla\\Profiles\\work\\z9y8x7w6.slt\\prefs.js");
    }
    std::string AccountsIni() const { return JoinPath(m_appData, "Opera\\Opera7\\Mail\\accounts.ini"); }
};

class CThunderbirdOfTest : public CThunderbirdClient
{
public:
    CThunderbirdOfTest() : CThunderbirdClient(kThunderbird) {}
};

const char kUser1[] = "user_pref(\"mail.server.server1.userName\", \"mila\");";
const char kUser1Changed[] = "user_pref(\"mail.server.server1.userName\", \"mila.k\");";

} // namespace

TEST_F(BatchWrites, MozillaBatchWritesWhatOneByOneWritesAndAFileChangedMeanwhileStaysAsChanged)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    m_port.Set(8110);
    std::vector<int> records;
    std::vector<int> inDefault;
    {
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        records = PlainRecords(client);
        for (int index : records) {
            const std::string& file =
                client.FoundFiles()[static_cast<size_t>(client.AccountRef(index)->fileIndex)];
            if (file.find("k2l8x0f3.slt") != std::string::npos)
                inDefault.push_back(index);
        }
    }
    // Two files, and several accounts in one of them.
    ASSERT_GE(inDefault.size(), 2u);
    ASSERT_LT(inDefault.size(), records.size());
    const std::string defaultBefore = FileBytes(DefaultProfile());
    const std::string workBefore = FileBytes(WorkProfile());
    ExpectBatchAsOneByOne<CMozillaClient>(
        records, [this] { return FileBytes(DefaultProfile()) + "\n--\n" + FileBytes(WorkProfile()); },
        [&] {
            ASSERT_TRUE(plat::ReplaceWholeFile(DefaultProfile().c_str(), defaultBefore));
            ASSERT_TRUE(plat::ReplaceWholeFile(WorkProfile().c_str(), workBefore));
        });

    // The user renamed an account in the default profile while the batch was staged: none of that file's
    // accounts is written and the user's change stays; the other profile is written.
    const std::string work = FileBytes(WorkProfile());
    std::string changed;
    const std::vector<int> failed = Act<CMozillaClient>(records, TRUE, TRUE, [&] {
        changed = Replaced(FileBytes(DefaultProfile()), kUser1, kUser1Changed);
        ASSERT_TRUE(plat::ReplaceWholeFile(DefaultProfile().c_str(), changed));
    });
    EXPECT_EQ(inDefault, failed);
    EXPECT_EQ(changed, FileBytes(DefaultProfile()));
    EXPECT_NE(work, FileBytes(WorkProfile()));
}

TEST_F(BatchWrites, Opera7BatchWritesWhatOneByOneWritesAndAFileChangedMeanwhileStaysAsChanged)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    m_port.Set(1100);
    std::vector<int> unconfigured;
    {
        COpera7Client client;
        ASSERT_TRUE(client.LoadClient());
        unconfigured = PlainRecords(client);
    }
    ASSERT_GE(unconfigured.size(), 2u);
    const std::string before = FileBytes(AccountsIni());
    ExpectBatchAsOneByOne<COpera7Client>(unconfigured, FileStore(AccountsIni()), [&] {
        ASSERT_TRUE(plat::ReplaceWholeFile(AccountsIni().c_str(), before));
    });

    // Somebody else's edit of a value the batch checks: nothing of the batch is written.
    std::string changed;
    const std::vector<int> failed = Act<COpera7Client>(unconfigured, TRUE, TRUE, [&] {
        changed =
            Replaced(FileBytes(AccountsIni()), "Incoming Username=petra\r\n", "Incoming Username=petr\r\n");
        ASSERT_TRUE(plat::ReplaceWholeFile(AccountsIni().c_str(), changed));
    });
    EXPECT_EQ(unconfigured, failed);
    EXPECT_EQ(changed, FileBytes(AccountsIni()));
    EXPECT_EQ(1u, FileCount(JoinPath(m_appData, "Opera\\Opera7\\Mail")));
}

// Thunderbird writes real names, takes lines out and writes SPA's method: a batch still comes to the bytes of
// one write after another, in each of its profiles.
TEST_F(BatchWrites, ThunderbirdBatchWritesWhatOneByOneWrites)
{
    ASSERT_TRUE(SeedThunderbirdSamples(m_context));
    m_port.Set(8110);
    const std::string mainPrefs =
        JoinPath(m_appData, "Thunderbird\\Profiles\\q7r8s9t0.default-release\\prefs.js");
    const std::string work = JoinPath(ThunderbirdWorkProfileFolder(m_context), "prefs.js");
    std::vector<int> records;
    {
        CThunderbirdOfTest client;
        ASSERT_TRUE(client.LoadClient());
        records = PlainRecords(client);
    }
    ASSERT_GE(records.size(), 3u);
    const std::string mainBefore = FileBytes(mainPrefs);
    const std::string workBefore = FileBytes(work);
    ExpectBatchAsOneByOne<CThunderbirdOfTest>(
        records, [&] { return FileBytes(mainPrefs) + "\n--\n" + FileBytes(work); },
        [&] {
            ASSERT_TRUE(plat::ReplaceWholeFile(mainPrefs.c_str(), mainBefore));
            ASSERT_TRUE(plat::ReplaceWholeFile(work.c_str(), workBefore));
        });
}
