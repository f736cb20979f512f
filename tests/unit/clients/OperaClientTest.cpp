// Opera: detection through the recorded command line, the sample accounts, the exact keys written.
#include "OperaTestFixture.h"

#include "clients/OperaClient.h"
#include "clients/OperaIniFile.h"
#include "FileAttributes.h"
#include "Registry.h"

namespace {

class OperaClients : public OperaFixture
{
protected:
    std::string Program() const { return m_folder / "Opera\\Opera.exe"; }
    std::string AccountFile(const char* folder) const
    {
        return m_folder / ("Opera\\Mail\\" + std::string(folder) + "\\account.ini");
    }
    void SetCommandLine(const std::string& text, DWORD type = REG_SZ)
    {
        ASSERT_TRUE(
            SampleRegString(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine", text, type));
    }
};

// The adapter with its records in reach.
class CTestOpera : public COperaClient
{
public:
    AccountInfo& Writable(int index) { return Account(index); }
};

const char kHomeIni[] = "[SETTINGS]\r\n"
                        "AccountName=Home mail\r\n"
                        "EmailAddress=olga@mail.example\r\n"
                        "Signature=\r\n"
                        "[INCOMING]\r\n"
                        "Protocol=POP3\r\n"
                        "Login=olga\r\n"
                        "Address=pop.mail.example\r\n"
                        "Port=110\r\n"
                        "Leave on server=1\r\n"
                        "[OUTGOING]\r\n"
                        "Address=smtp.mail.example\r\n"
                        "Port=25\r\n";

} // namespace

TEST_F(OperaClients, DetectionFollowsTheRecordedCommandLine)
{
    {
        COperaClient none;
        EXPECT_FALSE(none.LoadClient());
        EXPECT_FALSE(none.IsInstalled());
        EXPECT_EQ("opera.exe", none.ExeName());
    }
    struct Row
    {
        std::string commandLine;
        DWORD type;
        BOOL installed;
    };
    const Row rows[] = {
        {Program(), REG_SZ, TRUE},
        {Program() + " /nomail /settings x.ini", REG_SZ, TRUE},
        {Program() + " \t ", REG_SZ, TRUE},
        {"\"" + Program() + "\" /nomail", REG_SZ, TRUE},
        {Program(), REG_EXPAND_SZ, TRUE},
        {m_folder / "Elsewhere\\opera.exe /nomail", REG_SZ, FALSE},
        {Program() + std::string(300, ' ') + "/x", REG_SZ, FALSE}, // longer than Opera's buffer: not cut
    };
    ASSERT_TRUE(SampleFile(Program(), "MZ"));
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        SCOPED_TRACE(i);
        SetCommandLine(rows[i].commandLine, rows[i].type);
        COperaClient client;
        EXPECT_EQ(rows[i].installed, client.DetectClient());
        if (rows[i].installed) {
            EXPECT_EQ(Program(), client.ExePath());
        }
    }
    // The value for Opera 7 does not count for Opera.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\Opera Software"));
    ASSERT_TRUE(
        SampleRegString(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine v2", Program()));
    COperaClient client;
    EXPECT_FALSE(client.DetectClient());

    EXPECT_EQ("C:\\Opera\\opera.exe", COperaClient::ExePathFromCommandLine("C:\\Opera\\opera.exe /nomail"));
    EXPECT_EQ("C:\\Opera 7\\opera.exe",
              COperaClient::ExePathFromCommandLine("\"C:\\Opera 7\\opera.exe\" /x"));
    EXPECT_EQ("C:\\Opera\\opera.exe", COperaClient::ExePathFromCommandLine("  C:\\Opera\\opera.exe  "));
}

TEST_F(OperaClients, SampleAccountsReadWithTheirStates)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    COperaClient client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_EQ(Program(), client.ExePath());
    // In the list's order; the listed folder without an account file is no account.
    const char* const folders[] = {"Home", "Office", "Configured", "Old port", "Doubtful", "Broken"};
    ASSERT_EQ(6, client.AccountCount());
    ASSERT_EQ(6u, client.FoundFiles().size());
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(AccountFile(folders[i]), client.FoundFiles()[i]);

    ExpectProfileAccounts(
        client,
        {
            {"Home mail", "olga@mail.example", 1, 0, 0, 0, 0, -1, "olga", "pop.mail.example", 110, "olga",
             "pop.mail.example", 110},
            {"Office mail", "olga@corp.example", 1, 0, 0, 0, 0, -1, "CORP\\olga", "pop.corp.example", 995,
             "CORP\\olga", "pop.corp.example", 995},
            {"Configured mail", "olga@configured.example", 1, 1, 1, 0, 0, -1,
             "olga.c/pop.configured.example/110", "localhost", 110, "olga.c", "pop.configured.example", 110},
            {"Old proxy port", "olga@old.example", 1, 1, 0, 0, 0, -1, "olga.o/pop.old.example[APOP]/110",
             "127.0.0.1", 8110, "olga.o", "pop.old.example", 110},
            {"Doubtful mail", "olga@doubtful.example", 1, 1, 0, 1, 0, -1, "dom/olga", "pop.mail.example", 110,
             "dom", "olga", 110},
            {"No login", "olga@broken.example", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, -1, "", "", 0, "", "",
             0},
        });
}

TEST_F(OperaClients, ValuesAreTakenWholeOrRefused)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    const std::string longLogin = "olga." + std::string(295, 'x'); // longer than the client's 255 characters
    struct Row
    {
        const char* what;
        std::string edit; // replaces "Login=olga\r\nAddress=pop.mail.example\r\nPort=110\r\n"
        BOOL supported;
        std::string user;
        int port;
    };
    const Row rows[] = {
        {"long login", "Login=" + longLogin + "\r\nAddress=pop.mail.example\r\nPort=110\r\n", 1, longLogin,
         110},
        {"port 995", "Login=olga\r\nAddress=pop.mail.example\r\nPort=995\r\n", 1, "olga", 995},
        // Read as port 0, which the proxy user name cannot carry back: left alone.
        {"port abc", "Login=olga\r\nAddress=pop.mail.example\r\nPort=abc\r\n", 0, "olga", 0},
        {"port too large", "Login=olga\r\nAddress=pop.mail.example\r\nPort=99999999999\r\n", 0, "olga", 0},
        {"no port", "Login=olga\r\nAddress=pop.mail.example\r\n", 0, "olga", 0},
        {"empty address", "Login=olga\r\nAddress=\r\nPort=110\r\n", 0, "olga", 0},
        {"login of 70 KB", "Login=" + std::string(70 * 1024, 'x') + "\r\nAddress=a\r\nPort=110\r\n", 0, "",
         0},
    };
    const std::string plain = "Login=olga\r\nAddress=pop.mail.example\r\nPort=110\r\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string text = kHomeIni;
        text.replace(text.find(plain), plain.size(), row.edit);
        ASSERT_TRUE(SampleFile(AccountFile("Home"), text));
        COperaClient client;
        ASSERT_TRUE(client.LoadClient());
        AccountInfo a = RecordOf(client, 0);
        EXPECT_EQ(row.supported, a.supported);
        EXPECT_EQ(row.supported ? REASON_NONE : REASON_CONFIG_UNREADABLE, a.reason);
        EXPECT_EQ(row.user, a.current.userName);
        EXPECT_EQ(row.port, a.current.port);
    }

    // The long login goes through configure and unconfigure whole.
    std::string text = kHomeIni;
    text.replace(text.find(plain), plain.size(), rows[0].edit);
    ASSERT_TRUE(SampleFile(AccountFile("Home"), text));
    {
        COperaClient client;
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(client.ConfigureAccount(0));
    }
    {
        COperaClient client;
        ASSERT_TRUE(client.LoadClient());
        AccountInfo a = RecordOf(client, 0);
        EXPECT_TRUE(a.configured && a.upToDate);
        EXPECT_EQ(longLogin + "/pop.mail.example/110", a.current.userName);
        ASSERT_TRUE(client.UnconfigureAccount(0));
    }
    EXPECT_EQ(text, FileBytes(AccountFile("Home")));
}

TEST_F(OperaClients, ConfigureAndUnconfigureWriteExactlyTheirKeys)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    m_port.Set(1100);
    const std::string home = FileBytes(AccountFile("Home"));
    const std::string office = FileBytes(AccountFile("Office"));
    ASSERT_EQ(kHomeIni, home);
    {
        COperaClient client;
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(client.ConfigureAccount(0));
        ASSERT_TRUE(client.ConfigureAccount(1));
    }
    std::string expected = home;
    const std::string plain = "Login=olga\r\nAddress=pop.mail.example\r\nPort=110\r\n";
    expected.replace(expected.find(plain), plain.size(),
                     "Login=olga/pop.mail.example/110\r\nAddress=localhost\r\nPort=1100\r\n");
    EXPECT_EQ(expected, FileBytes(AccountFile("Home")));
    EXPECT_EQ("CORP\\olga/pop.corp.example/995", Value(AccountFile("Office"), "INCOMING", "Login"));
    EXPECT_EQ("localhost", Value(AccountFile("Office"), "INCOMING", "Address"));
    EXPECT_EQ("1100", Value(AccountFile("Office"), "INCOMING", "Port"));
    EXPECT_EQ("smtp.mail.example", Value(AccountFile("Office"), "OUTGOING", "Address"));
    {
        COperaClient client;
        ASSERT_TRUE(client.LoadClient());
        EXPECT_TRUE(RecordOf(client, 1).configured && RecordOf(client, 1).upToDate);
        ASSERT_TRUE(client.UnconfigureAccount(0));
        ASSERT_TRUE(client.UnconfigureAccount(1));
    }
    EXPECT_EQ(home, FileBytes(AccountFile("Home")));
    EXPECT_EQ(office, FileBytes(AccountFile("Office")));
    EXPECT_EQ(1u, FileCount(m_folder / "Opera\\Mail\\Home"));
}

TEST_F(OperaClients, AFailedWriteLeavesTheAccountFileAsItWas)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    CTestOpera client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_FALSE(client.WriteAccount(-1, 0));
    EXPECT_FALSE(client.WriteAccount(6, 0));

    // A value with a line break would make a key of its own: nothing is written.
    const std::string home = FileBytes(AccountFile("Home"));
    client.Writable(0).current.userName = "olga\r\nAddress=evil.example";
    EXPECT_FALSE(client.WriteAccount(0, 0));
    EXPECT_EQ(home, FileBytes(AccountFile("Home")));
    EXPECT_EQ(1u, FileCount(m_folder / "Opera\\Mail\\Home"));

    // A read-only account file keeps its keys; no copy is left beside it.
    client.Writable(0).current.userName = "olga/pop.mail.example/110";
    ASSERT_TRUE(plat::SetFileReadOnly(AccountFile("Home").c_str(), TRUE));
    EXPECT_FALSE(client.WriteAccount(0, 0));
    ASSERT_TRUE(plat::SetFileReadOnly(AccountFile("Home").c_str(), FALSE));
    EXPECT_EQ(home, FileBytes(AccountFile("Home")));
    EXPECT_EQ(1u, FileCount(m_folder / "Opera\\Mail\\Home"));

    // The account's folder is gone: no file is made.
    ASSERT_TRUE(plat::RemoveFolderTree((m_folder / "Opera\\Mail\\Office").c_str()));
    EXPECT_FALSE(client.ConfigureAccount(1));
    EXPECT_FALSE(plat::PathExists(AccountFile("Office").c_str()));
    EXPECT_FALSE(RecordOf(client, 1).configured);
}

TEST_F(OperaClients, AnAccountChangedSinceItWasReadIsNotOverwritten)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    COperaClient client;
    ASSERT_TRUE(client.LoadClient());
    // The user gave Opera another login while the list was open: configuring would write the old one.
    std::string changed = kHomeIni;
    changed.replace(changed.find("Login=olga\r\n"), 12, "Login=olga.new\r\n");
    ASSERT_TRUE(plat::ReplaceWholeFile(AccountFile("Home").c_str(), changed));
    EXPECT_FALSE(client.ConfigureAccount(0));
    EXPECT_EQ(changed, FileBytes(AccountFile("Home")));
    EXPECT_FALSE(RecordOf(client, 0).configured);
    EXPECT_EQ(1u, FileCount(m_folder / "Opera\\Mail\\Home"));

    // A proxy user name without a server would give back an empty address, which reads as no account at all.
    std::string serverless = kHomeIni;
    const std::string plain = "Login=olga\r\nAddress=pop.mail.example\r\n";
    serverless.replace(serverless.find(plain), plain.size(), "Login=olga/\r\nAddress=localhost\r\n");
    ASSERT_TRUE(plat::ReplaceWholeFile(AccountFile("Home").c_str(), serverless));
    COperaClient configured;
    ASSERT_TRUE(configured.LoadClient());
    ASSERT_TRUE(RecordOf(configured, 0).configured);
    EXPECT_FALSE(configured.UnconfigureAccount(0));
    EXPECT_EQ(serverless, FileBytes(AccountFile("Home")));
    EXPECT_EQ(1u, FileCount(m_folder / "Opera\\Mail\\Home"));

    // What one write leaves is what the next one expects: configured and given back on one reading.
    ASSERT_TRUE(plat::ReplaceWholeFile(AccountFile("Home").c_str(), kHomeIni));
    COperaClient fresh;
    ASSERT_TRUE(fresh.LoadClient());
    ASSERT_TRUE(fresh.ConfigureAccount(0));
    ASSERT_TRUE(fresh.UnconfigureAccount(0));
    EXPECT_EQ(kHomeIni, FileBytes(AccountFile("Home")));
}
