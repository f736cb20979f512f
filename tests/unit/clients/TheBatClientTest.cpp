// The Bat!: detection through the depot, the sample accounts' states, exact account files written, failed
// writes.
#include "support/ClientChecks.h"

#include "clients/TheBatClient.h"
#include "FileAttributes.h"
#include "Files.h"
#include "fixtures/SampleTheBat.h"
#include "fixtures/SampleWriter.h"
#include "Registry.h"

#include <functional>

namespace {

const char kTheBatKey[] = "Software\\RIT\\The Bat!";
const char kDepotKey[] = "Software\\RIT\\The Bat!\\Users Depot";
const DWORD kProxyPort = 9110;

typedef CWithRecords<CTheBatClient> CTestTheBat;

class TheBatClient : public CClientTest
{
protected:
    TheBatClient() { UseProxyPort(kProxyPort); }

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

    CAcceptQuestions m_questions;
};

std::string Cfg(const char* login, const char* server, long long port, long long authMode,
                const char* email = "anna@mail.example")
{
    TheBatSampleFile sample;
    sample.email = email;
    sample.login = login;
    sample.server = server;
    sample.port = port;
    sample.authMode = authMode;
    return TheBatAccountFileBytes(sample);
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
    const struct
    {
        const char* what;
        DWORD type;
        std::string data;
        BOOL installed;
    } rows[] = {
        {"binary of four bytes", REG_BINARY, std::string(4, '\0'), TRUE},
        {"text", REG_SZ, std::string("2\0", 2), FALSE},
        {"65536 accounts", REG_DWORD, std::string("\x00\x00\x01\x00", 4), FALSE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetDepotValue("Count", row.type, row.data);
        CTheBatClient client;
        EXPECT_EQ(row.installed, client.DetectClient());
    }

    // Any one trace missing: not installed.
    const std::function<void()> removals[] = {
        [&] { ASSERT_TRUE(plat::RemoveFile((m_folder / "TheBat\\thebat.exe").c_str())); },
        [] { RemoveValue(kTheBatKey, "EXE path"); },
        [] { RemoveValue(kDepotKey, "Count"); },
        [] { ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, kDepotKey)); },
        [] { RemoveValue(kTheBatKey, "Working Directory"); },
    };
    for (size_t i = 0; i < sizeof(removals) / sizeof(removals[0]); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(SeedTheBatProgram(m_folder / "TheBat"));
        removals[i]();
        CTheBatClient client;
        EXPECT_FALSE(client.DetectClient());
        if (i == 1) {
            EXPECT_EQ("", client.ExePath());
        }
    }
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

    CTheBatClient client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(5, client.AccountCount());
    ExpectAccounts(client,
                   {
                       {"Home", 1, 0, 0, 0, 0, "anna", "pop.mail.example", 110, AUTH_NORMAL, PROTOCOL_POP3},
                       {"Work", 1, 0, 0, 0, 0, "anna", "pop.mail.example", 110, AUTH_NORMAL, PROTOCOL_POP3},
                       {"Spare", 1, 0, 0, 0, 0, "anna", "pop.mail.example", 110, AUTH_NORMAL, PROTOCOL_POP3},
                       {"", 0, 0, 0, 0, REASON_REGISTRY, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN},
                       {"Home", 0, 0, 0, 0, REASON_REGISTRY, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN},
                   });
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
}

TEST_F(TheBatClient, ConfigureAndUnconfigureWriteExactFiles)
{
    ASSERT_TRUE(SeedTheBatSamples(m_context));
    const std::string workCfg = m_folder / "TheBat\\Accounts\\Work\\account.cfg";
    const std::string home = FileBytes(SampleCfg("Home"));
    const std::string work = FileBytes(workCfg);
    const std::string configured = FileBytes(SampleCfg("Configured"));
    const std::string imap = FileBytes(SampleCfg("IMAP"));
    const std::string cut = FileBytes(SampleCfg("Cut file"));
    CTestTheBat client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_TRUE(client.ConfigureAccount(0));
    ASSERT_TRUE(client.ConfigureAccount(1));
    ASSERT_TRUE(client.UnconfigureAccount(2));
    // Update: the port follows the proxy, the proxy user name stays, the server becomes "localhost".
    ASSERT_TRUE(client.ConfigureAccount(3));
    // Repair of a doubtful account, after the question.
    ASSERT_TRUE(client.ConfigureAccount(4));
    EXPECT_EQ(1, m_questions.m_asked);
    EXPECT_EQ(Cfg("marta/pop.mail.example/110", "localhost", kProxyPort, 0), FileBytes(SampleCfg("Home")));
    EXPECT_EQ(Cfg("anna.k/pop.work.example[APOP]/995", "localhost", kProxyPort, 0, "anna@work.example"),
              FileBytes(workCfg));
    EXPECT_EQ(Cfg("gus", "pop.gus.example", 110, 2, "gus@gus.example"), FileBytes(SampleCfg("Configured")));
    EXPECT_EQ(Cfg("bob/pop.mail.example[APOP]/110", "localhost", kProxyPort, 0, "bob@mail.example"),
              FileBytes(SampleCfg("Old port")));
    EXPECT_EQ(Cfg("dom/anna/110", "localhost", kProxyPort, 0, "dom@mail.example"),
              FileBytes(SampleCfg("Doubtful")));

    // A fresh read sees what was written, and giving the accounts back restores every byte.
    CTestTheBat reread;
    ASSERT_TRUE(reread.LoadClient());
    EXPECT_TRUE(reread.Record(0).configured && reread.Record(0).upToDate);
    ASSERT_TRUE(reread.UnconfigureAccount(0));
    ASSERT_TRUE(reread.UnconfigureAccount(1));
    ASSERT_TRUE(reread.ConfigureAccount(2));
    EXPECT_EQ(home, FileBytes(SampleCfg("Home")));
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
    // A login so long that its proxy user name no longer fits the codec.
    TheBatSampleFile longLogin;
    longLogin.login = std::string(4080, 'L');
    const char* const names[] = {"Changed", "Gone", "Long", "Read-only"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(SampleFile(SampleCfg(names[i]), i == 2 ? TheBatAccountFileBytes(longLogin) : plain));
        ASSERT_TRUE(SeedTheBatDepotEntry(i + 1, names[i], ""));
    }
    CTestTheBat client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(4, client.AccountCount());
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(client.Record(i).supported) << i;

    ASSERT_TRUE(plat::SetFileReadOnly(SampleCfg("Read-only").c_str(), TRUE));
    ExpectRefused(client, 3, TRUE, FileStore(SampleCfg("Read-only")));
    EXPECT_TRUE(plat::SetFileReadOnly(SampleCfg("Read-only").c_str(), FALSE));
    // The Bat! rewrote the file after it was read: its change is not overwritten.
    ASSERT_TRUE(SampleFile(SampleCfg("Changed"), Cfg("anna", "pop.changed.example", 110, 0)));
    ExpectRefused(client, 0, TRUE, FileStore(SampleCfg("Changed")));
    // The account's folder went away: nothing is created in its place.
    ASSERT_TRUE(plat::RemoveFolderTree(MailDir("Gone").c_str()));
    ExpectRefused(client, 1, TRUE, FileStore(SampleCfg("Gone")));
    ExpectRefused(client, 2, TRUE, FileStore(SampleCfg("Long")));

    // A failed write changed nothing in memory either: once the file is back, the same account is written,
    // with no temporary file left beside it.
    ASSERT_TRUE(SampleFile(SampleCfg("Changed"), plain));
    EXPECT_TRUE(client.ConfigureAccount(0));
    EXPECT_EQ(Cfg("anna/pop.mail.example/110", "localhost", kProxyPort, 0), FileBytes(SampleCfg("Changed")));
    EXPECT_EQ(1u, FileCount(MailDir("Changed")));
}
