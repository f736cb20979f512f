// The Bat!: detection through the depot, the sample accounts' states, exact account files written, failed
// writes.
#include "support/ClientChecks.h"
#include "support/TestScopes.h"

#include "clients/TheBatClient.h"
#include "FileAttributes.h"
#include "Files.h"
#include "fixtures/SampleStores.h"
#include "fixtures/SampleTheBat.h"
#include "fixtures/SampleWriter.h"
#include "Prompt.h"
#include "Registry.h"

#include <gtest/gtest.h>

namespace {

const char kTheBatKey[] = "Software\\RIT\\The Bat!";
const char kDepotKey[] = "Software\\RIT\\The Bat!\\Users Depot";
const DWORD kProxyPort = 9110;

int AnswerOk(const char*, const char*, UINT, void* context)
{
    ++*static_cast<int*>(context);
    return IDOK;
}

typedef CWithRecords<CTheBatClient> CTestTheBat;

class TheBatClient : public ::testing::Test
{
protected:
    TheBatClient() : m_registry({{HKEY_CURRENT_USER, "Software\\RIT"}}), m_port(kProxyPort)
    {
        m_context.root = m_folder.Path();
        m_context.proxyPort = static_cast<int>(kProxyPort);
        plat::SetPromptResponder(&AnswerOk, &m_questions);
    }
    ~TheBatClient() override { plat::SetPromptResponder(nullptr, nullptr); }

    std::string MailDir(const std::string& name) const { return m_folder / ("TheBat\\Mail\\" + name); }
    std::string SampleCfg(const std::string& name) const { return MailDir(name) + "\\account.cfg"; }
    static void SetDepotValue(const char* name, DWORD type, const std::string& data)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, plat::RegCreate(HKEY_CURRENT_USER, kDepotKey, KEY_ALL_ACCESS, &key));
        EXPECT_EQ(ERROR_SUCCESS,
                  plat::RegWrite(key, name, type, data.data(), static_cast<DWORD>(data.size())));
        plat::RegClose(key);
    }
    static void RemoveValue(const char* path, const char* name)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS, &key));
        EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(key, name));
        plat::RegClose(key);
    }

    CRegistryScope m_registry;
    CProxyPortScope m_port;
    CTestFolder m_folder;
    SampleContext m_context;
    int m_questions = 0;
};

TheBatSampleFile Sample(const char* login, const char* server, long long port, long long authMode)
{
    TheBatSampleFile sample;
    sample.login = login;
    sample.server = server;
    sample.port = port;
    sample.authMode = authMode;
    return sample;
}

} // namespace

TEST_F(TheBatClient, DetectionNeedsTheDepotAndTheProgram)
{
    CTheBatClient nothing;
    EXPECT_FALSE(nothing.DetectClient());

    ASSERT_TRUE(SeedTheBatProgram(m_folder / "TheBat"));
    CTheBatClient empty;
    EXPECT_FALSE(empty.LoadClient());
    EXPECT_TRUE(empty.IsInstalled());
    EXPECT_EQ(m_folder / "TheBat\\thebat.exe", empty.ExePath());

    // Count: any type of four bytes; nothing else, and never more accounts than the lists can address.
    struct Row
    {
        const char* what;
        DWORD type;
        std::string data;
        BOOL installed;
    } rows[] = {
        {"binary of four bytes", REG_BINARY, std::string(4, '\0'), TRUE},
        {"text", REG_SZ, std::string("2\0", 2), FALSE},
        {"five bytes", REG_BINARY, std::string(5, '\0'), FALSE},
        {"65536 accounts", REG_DWORD, std::string("\x00\x00\x01\x00", 4), FALSE},
        {"negative", REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4), FALSE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetDepotValue("Count", row.type, row.data);
        CTheBatClient client;
        EXPECT_EQ(row.installed, client.DetectClient());
    }
    ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, kDepotKey, "Count", 0));

    ASSERT_TRUE(plat::RemoveFile((m_folder / "TheBat\\thebat.exe").c_str()));
    CTheBatClient noProgram;
    EXPECT_FALSE(noProgram.DetectClient());
    RemoveValue(kTheBatKey, "EXE path");
    CTheBatClient noExePath;
    EXPECT_FALSE(noExePath.DetectClient());
    EXPECT_EQ("", noExePath.ExePath());

    ASSERT_TRUE(SeedTheBatProgram(m_folder / "TheBat"));
    RemoveValue(kDepotKey, "Count");
    CTheBatClient noCount;
    EXPECT_FALSE(noCount.DetectClient());
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, kDepotKey));
    CTheBatClient noDepot;
    EXPECT_FALSE(noDepot.DetectClient());
    ASSERT_TRUE(SeedTheBatProgram(m_folder / "TheBat"));
    RemoveValue(kTheBatKey, "Working Directory");
    CTheBatClient noWorkingDir;
    EXPECT_FALSE(noWorkingDir.DetectClient());
}

TEST_F(TheBatClient, DepotEntriesFindTheirFolders)
{
    ASSERT_TRUE(SeedTheBatProgram(m_folder / "TheBat"));
    const std::string plain = TheBatAccountFileBytes(TheBatSampleFile());
    // Empty "Dir #": the working directory and the name, joined as they stand.
    ASSERT_TRUE(SampleFile(SampleCfg("Home"), plain));
    ASSERT_TRUE(SeedTheBatDepotEntry(1, "Home", ""));
    ASSERT_TRUE(SampleFile(m_folder / "Elsewhere\\Work\\account.cfg", plain));
    ASSERT_TRUE(SeedTheBatDepotEntry(2, "Work", m_folder / "Elsewhere\\Work"));
    // A missing "Dir #" is an empty one.
    ASSERT_TRUE(SampleFile(SampleCfg("Spare"), plain));
    ASSERT_TRUE(SeedTheBatDepotEntry(3, "Spare", ""));
    RemoveValue(kDepotKey, "Dir #3");
    // No name: no folder of its own, so no file is looked for at all.
    ASSERT_TRUE(SeedTheBatDepotEntry(4, "Nameless", ""));
    RemoveValue(kDepotKey, "User #4");
    // A folder longer than the reader's buffer is refused, not cut to some other folder.
    ASSERT_TRUE(SeedTheBatDepotEntry(5, "Home", m_folder / std::string(4200, 'd')));

    CTestTheBat client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(5, client.AccountCount());
    const struct
    {
        const char* name;
        BOOL supported;
        int reason;
    } expected[] = {{"Home", TRUE, 0},
                    {"Work", TRUE, 0},
                    {"Spare", TRUE, 0},
                    {"", FALSE, REASON_REGISTRY},
                    {"Home", FALSE, REASON_REGISTRY}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].name, client.Record(i).name);
        EXPECT_EQ(expected[i].supported, client.Record(i).supported);
        EXPECT_EQ(expected[i].reason, client.Record(i).reason);
    }
    EXPECT_EQ("anna", client.Record(1).current.userName);
}

TEST_F(TheBatClient, SampleAccountsReadWithTheirStates)
{
    ASSERT_TRUE(SeedTheBatSamples(m_context));
    CTestTheBat client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(11, client.AccountCount());
    ExpectAccounts(
        client,
        {
            {"Home", 1, 0, 0, 0, 0, "marta", "pop.mail.example", 110, AUTH_NORMAL, PROTOCOL_POP3},
            {"Work", 1, 0, 0, 0, 0, "anna.k", "pop.work.example", 995, AUTH_APOP, PROTOCOL_POP3},
            {"Configured", 1, 1, 1, 0, 0, "gus/pop.gus.example[SPA]/110", "localhost", 9110, AUTH_NORMAL,
             PROTOCOL_POP3},
            {"Old port", 1, 1, 0, 0, 0, "bob/pop.mail.example[APOP]/110", "127.0.0.1", 17110, AUTH_NORMAL,
             PROTOCOL_POP3},
            {"Doubtful", 1, 1, 0, 1, 0, "dom/anna", "pop.mail.example", 110, AUTH_NORMAL, PROTOCOL_POP3},
            {"IMAP", 0, 0, 0, 0, REASON_IMAP, "", "", 0, AUTH_UNKNOWN, PROTOCOL_IMAP},
            {"Unknown auth", 0, 0, 0, 0, REASON_AUTH_NOT_SUPPORTED, "anna", "pop.mail.example", 110,
             AUTH_UNKNOWN, PROTOCOL_UNKNOWN},
            {"No port", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN},
            {"Cut file", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN},
            {"Bad login", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN},
            {"No file", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN},
        });
    EXPECT_EQ("anna@work.example", client.Record(1).email);
    // The address is shown from whatever records a refused file held before its damage.
    EXPECT_EQ("anna@mail.example", client.Record(8).email);
    EXPECT_EQ("", client.Record(10).email);
    const PopSettings& real = client.Record(2).original;
    EXPECT_EQ("gus", real.userName);
    EXPECT_EQ("pop.gus.example", real.server);
    EXPECT_EQ(110, real.port);
    EXPECT_EQ(AUTH_SPA, real.authMode);
}

TEST_F(TheBatClient, ConfigureAndUnconfigureWriteExactFiles)
{
    ASSERT_TRUE(SeedTheBatSamples(m_context));
    const std::string homeCfg = SampleCfg("Home");
    const std::string workCfg = m_folder / "TheBat\\Accounts\\Work\\account.cfg";
    const std::string home = FileBytes(homeCfg);
    const std::string work = FileBytes(workCfg);
    const std::string configured = FileBytes(SampleCfg("Configured"));
    const std::string imap = FileBytes(SampleCfg("IMAP"));
    const std::string cut = FileBytes(SampleCfg("Cut file"));
    CTestTheBat client;
    ASSERT_TRUE(client.LoadClient());

    ASSERT_TRUE(client.ConfigureAccount(0));
    EXPECT_EQ(TheBatAccountFileBytes(Sample("marta/pop.mail.example/110", "localhost", kProxyPort, 0)),
              FileBytes(homeCfg));
    ASSERT_TRUE(client.ConfigureAccount(1));
    EXPECT_EQ(TheBatAccountFileBytes([] {
                  TheBatSampleFile s =
                      Sample("anna.k/pop.work.example[APOP]/995", "localhost", kProxyPort, 0);
                  s.email = "anna@work.example";
                  return s;
              }()),
              FileBytes(workCfg));
    ASSERT_TRUE(client.UnconfigureAccount(2));
    TheBatSampleFile gus = Sample("gus", "pop.gus.example", 110, 2);
    gus.email = "gus@gus.example";
    EXPECT_EQ(TheBatAccountFileBytes(gus), FileBytes(SampleCfg("Configured")));
    // Update: the port follows the proxy, the proxy user name stays, the server becomes "localhost".
    ASSERT_TRUE(client.ConfigureAccount(3));
    TheBatSampleFile bob = Sample("bob/pop.mail.example[APOP]/110", "localhost", kProxyPort, 0);
    bob.email = "bob@mail.example";
    EXPECT_EQ(TheBatAccountFileBytes(bob), FileBytes(SampleCfg("Old port")));
    // Repair of a doubtful account, after the question.
    ASSERT_TRUE(client.ConfigureAccount(4));
    EXPECT_EQ(1, m_questions);
    TheBatSampleFile dom = Sample("dom/anna/110", "localhost", kProxyPort, 0);
    dom.email = "dom@mail.example";
    EXPECT_EQ(TheBatAccountFileBytes(dom), FileBytes(SampleCfg("Doubtful")));

    // A fresh read sees what was written.
    CTestTheBat reread;
    ASSERT_TRUE(reread.LoadClient());
    EXPECT_TRUE(reread.Record(0).configured && reread.Record(0).upToDate);
    EXPECT_EQ("marta", reread.Record(0).original.userName);
    EXPECT_EQ(AUTH_APOP, reread.Record(1).original.authMode);
    EXPECT_EQ(995, reread.Record(1).original.port);

    // And giving the accounts back restores every byte.
    ASSERT_TRUE(reread.UnconfigureAccount(0));
    ASSERT_TRUE(reread.UnconfigureAccount(1));
    ASSERT_TRUE(reread.ConfigureAccount(2));
    EXPECT_EQ(home, FileBytes(homeCfg));
    EXPECT_EQ(work, FileBytes(workCfg));
    EXPECT_EQ(configured, FileBytes(SampleCfg("Configured")));
    // Refused accounts are never written.
    EXPECT_FALSE(reread.ConfigureAccount(5));
    EXPECT_FALSE(reread.WriteAccount(8, 0));
    EXPECT_FALSE(reread.WriteAccount(11, 0));
    EXPECT_FALSE(reread.WriteAccount(-1, 0));
    EXPECT_EQ(imap, FileBytes(SampleCfg("IMAP")));
    EXPECT_EQ(cut, FileBytes(SampleCfg("Cut file")));
}

TEST_F(TheBatClient, FailedWritesLeaveTheFileAsItWas)
{
    ASSERT_TRUE(SeedTheBatProgram(m_folder / "TheBat"));
    const std::string plain = TheBatAccountFileBytes(TheBatSampleFile());
    ASSERT_TRUE(SampleFile(SampleCfg("Changed"), plain));
    ASSERT_TRUE(SeedTheBatDepotEntry(1, "Changed", ""));
    ASSERT_TRUE(SampleFile(SampleCfg("Gone"), plain));
    ASSERT_TRUE(SeedTheBatDepotEntry(2, "Gone", ""));
    // A login so long that its proxy user name no longer fits the codec.
    TheBatSampleFile longLogin;
    longLogin.login = std::string(4080, 'L');
    const std::string longBytes = TheBatAccountFileBytes(longLogin);
    ASSERT_TRUE(SampleFile(SampleCfg("Long"), longBytes));
    ASSERT_TRUE(SeedTheBatDepotEntry(3, "Long", ""));

    ASSERT_TRUE(SampleFile(SampleCfg("Read-only"), plain));
    ASSERT_TRUE(SeedTheBatDepotEntry(4, "Read-only", ""));

    CTestTheBat client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(4, client.AccountCount());
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(client.Record(i).supported) << i;

    ASSERT_TRUE(plat::SetFileReadOnly(SampleCfg("Read-only").c_str(), TRUE));
    EXPECT_FALSE(client.ConfigureAccount(3));
    EXPECT_TRUE(plat::SetFileReadOnly(SampleCfg("Read-only").c_str(), FALSE));
    EXPECT_EQ(plain, FileBytes(SampleCfg("Read-only")));
    EXPECT_FALSE(client.Record(3).configured);

    // The Bat! rewrote the file after it was read: its change is not overwritten.
    const std::string changed = TheBatAccountFileBytes(Sample("anna", "pop.changed.example", 110, 0));
    ASSERT_TRUE(SampleFile(SampleCfg("Changed"), changed));
    EXPECT_FALSE(client.ConfigureAccount(0));
    EXPECT_EQ(changed, FileBytes(SampleCfg("Changed")));
    EXPECT_FALSE(client.Record(0).configured);

    // The account's folder went away: nothing is created in its place.
    ASSERT_TRUE(plat::RemoveFolderTree(MailDir("Gone").c_str()));
    EXPECT_FALSE(client.ConfigureAccount(1));
    EXPECT_FALSE(plat::PathExists(MailDir("Gone").c_str()));
    EXPECT_FALSE(client.Record(1).configured);

    EXPECT_FALSE(client.ConfigureAccount(2));
    EXPECT_TRUE(longBytes == FileBytes(SampleCfg("Long")));
    EXPECT_FALSE(client.Record(2).configured);

    // A failed write changed nothing in memory either: once the file is back, the same account is written.
    ASSERT_TRUE(SampleFile(SampleCfg("Changed"), plain));
    EXPECT_TRUE(client.ConfigureAccount(0));
    EXPECT_EQ(TheBatAccountFileBytes(Sample("anna/pop.mail.example/110", "localhost", kProxyPort, 0)),
              FileBytes(SampleCfg("Changed")));
    // No temporary file is left beside the account file.
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDirectory(MailDir("Changed").c_str(), entries));
    EXPECT_EQ(3u, entries.size());
}
