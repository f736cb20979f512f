// A store file that another program holds open: configuring and giving back fail with the in-use reason,
// write nothing and leave no temporary file beside it; once the file is free the same actions succeed.
#include "support/ClientChecks.h"
#include "support/FileHolder.h"

#include "FileAttributes.h"
#include "clients/MozillaClient.h"
#include "clients/Opera7Client.h"
#include "clients/TheBatClient.h"
#include "fixtures/SampleWriter.h"

namespace {

const char kInUseText[] =
    "Account's settings file is in use by another program; close that program and try again.";

class LockedStores : public CClientTest
{
protected:
    // The record of the account with this name, or -1.
    static int FindAccount(const CMailClient& client, const std::string& name)
    {
        for (int i = 0; i < client.AccountCount(); ++i) {
            if (RecordOf(client, i).name == name)
                return i;
        }
        return -1;
    }

    // Walks account `name` of the store file `path` through configure and unconfigure, each first refused
    // while the file is held, then done once it is free.
    template <class TClient> void ExpectRefusedWhileHeld(const std::string& path, const std::string& name)
    {
        const StoreText store = FileStore(path);
        const std::string before = store();
        std::string configured;
        {
            TClient client;
            ASSERT_TRUE(client.LoadClient());
            const int index = FindAccount(client, name);
            ASSERT_LE(0, index) << name;
            ASSERT_TRUE(RecordOf(client, index).supported && !RecordOf(client, index).configured) << name;
            // A holder that lets others read, and one that shares nothing (the file cannot even be read
            // again before the write).
            for (bool othersMayRead : {true, false}) {
                CFileHolder holder(path, othersMayRead);
                ASSERT_TRUE(holder.Holds()) << path;
                EXPECT_FALSE(client.ConfigureAccount(index)) << name;
                holder.Release();
                EXPECT_EQ(before, store()) << name;
                const AccountInfo refused = RecordOf(client, index);
                EXPECT_EQ(REASON_FILE_IN_USE, refused.reason) << name << othersMayRead;
                EXPECT_TRUE(refused.supported && !refused.configured) << name;
                EXPECT_EQ(kInUseText, client.GetReasonText(index));
            }
            // Free again: the same object configures it, and the reason is gone.
            ASSERT_TRUE(client.ConfigureAccount(index)) << name;
            EXPECT_EQ(REASON_NONE, RecordOf(client, index).reason) << name;
            configured = store();
            EXPECT_NE(before, configured) << name;
        }
        TClient client;
        ASSERT_TRUE(client.LoadClient());
        const int index = FindAccount(client, name);
        ASSERT_LE(0, index) << name;
        ASSERT_TRUE(RecordOf(client, index).configured) << name;
        {
            CFileHolder holder(path);
            ASSERT_TRUE(holder.Holds()) << path;
            EXPECT_FALSE(client.UnconfigureAccount(index)) << name;
            EXPECT_EQ(configured, store()) << name;
            EXPECT_EQ(REASON_FILE_IN_USE, RecordOf(client, index).reason) << name;
            EXPECT_TRUE(RecordOf(client, index).configured) << name;
        }
        ASSERT_TRUE(client.UnconfigureAccount(index)) << name;
        EXPECT_EQ(before, store()) << name;

        // A write refused for another reason (a read-only file) is not blamed on another program.
        TClient again;
        ASSERT_TRUE(again.LoadClient());
        ASSERT_TRUE(plat::SetFileReadOnly(path.c_str(), TRUE));
        EXPECT_FALSE(again.ConfigureAccount(index)) << name;
        EXPECT_NE(REASON_FILE_IN_USE, RecordOf(again, index).reason) << name;
        EXPECT_TRUE(plat::SetFileReadOnly(path.c_str(), FALSE));
        EXPECT_EQ(before, store()) << name;
    }
};

} // namespace

TEST_F(LockedStores, AHeldPrefsFileIsNeitherConfiguredNorGivenBack)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    ExpectRefusedWhileHeld<CMozillaClient>(
        JoinPath(m_appData, "Mozilla\\Profiles\\default\\k2l8x0f3.slt\\prefs.js"), "mila@mail.example");
}

TEST_F(LockedStores, AHeldOpera7AccountsFileIsNeitherConfiguredNorGivenBack)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    ExpectRefusedWhileHeld<COpera7Client>(JoinPath(m_appData, "Opera\\Opera7\\Mail\\accounts.ini"),
                                          "Mail at home");
}

TEST_F(LockedStores, AHeldTheBatAccountFileIsNeitherConfiguredNorGivenBack)
{
    ASSERT_TRUE(SeedTheBatSamples(m_context));
    ExpectRefusedWhileHeld<CTheBatClient>(m_folder / "TheBat\\Mail\\Home\\account.cfg", "Home");
}

// A batch writes the file at its commit: every account staged for it is refused with the in-use reason, the
// file keeps its bytes, and once it is free the same batch goes through.
TEST_F(LockedStores, ABatchWhoseFileIsHeldRefusesEachOfItsAccounts)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    const std::string path = JoinPath(m_appData, "Mozilla\\Profiles\\default\\k2l8x0f3.slt\\prefs.js");
    const StoreText store = FileStore(path);
    const std::string before = store();
    CMozillaClient client;
    ASSERT_TRUE(client.LoadClient());
    std::vector<int> staged;
    {
        CFileHolder holder(path);
        ASSERT_TRUE(holder.Holds()) << path;
        client.BeginBatch();
        for (int i = 0; i < client.AccountCount(); ++i) {
            std::string where, identity;
            if (RecordOf(client, i).supported && !RecordOf(client, i).configured &&
                client.LocateAccount(i, where, identity) && where == path && client.ConfigureAccount(i))
                staged.push_back(i);
        }
        ASSERT_LE(2u, staged.size()) << "a batch of several accounts of one file";
        std::vector<int> failed;
        EXPECT_FALSE(client.CommitBatch(failed));
        EXPECT_EQ(staged, failed);
    }
    EXPECT_EQ(before, store());
    for (int i : staged) {
        EXPECT_EQ(REASON_FILE_IN_USE, RecordOf(client, i).reason) << i;
        EXPECT_TRUE(RecordOf(client, i).supported && !RecordOf(client, i).configured) << i;
    }
    client.BeginBatch();
    for (int i : staged)
        ASSERT_TRUE(client.ConfigureAccount(i)) << i;
    std::vector<int> failed;
    EXPECT_TRUE(client.CommitBatch(failed));
    EXPECT_TRUE(failed.empty());
    EXPECT_NE(before, store());
    for (int i : staged)
        EXPECT_TRUE(RecordOf(client, i).configured && RecordOf(client, i).reason == REASON_NONE) << i;
}
