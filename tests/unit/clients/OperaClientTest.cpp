// Opera and Opera 7: detection through the recorded command lines, the sample accounts, values taken whole or
// refused, the exact keys written, and writes that must not happen.
#include "support/ClientChecks.h"

#include "FileAttributes.h"
#include "Files.h"
#include "Registry.h"
#include "clients/Opera7Client.h"
#include "clients/OperaClient.h"
#include "fixtures/SampleWriter.h"

namespace {

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

class OperaClients : public CClientTest
{
protected:
    std::string Program() const { return m_folder / "Opera\\Opera.exe"; }
    std::string AccountFile(const char* folder) const
    {
        return m_folder / ("Opera\\Mail\\" + std::string(folder) + "\\account.ini");
    }
    std::string AccountsIni() const { return JoinPath(m_appData, "Opera\\Opera7\\Mail\\accounts.ini"); }
    void SetCommandLine(const char* value, const std::string& text, DWORD type = REG_SZ)
    {
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Opera Software", value, text, type));
    }
    // The sample's home account file with other incoming keys.
    static std::string
    HomeIni(const std::string& incoming = "Login=olga\r\nAddress=pop.mail.example\r\nPort=110\r\n")
    {
        std::string text = kHomeIni;
        const std::string plain = "Login=olga\r\nAddress=pop.mail.example\r\nPort=110\r\n";
        return text.replace(text.find(plain), plain.size(), incoming);
    }
};

class Opera7Clients : public OperaClients
{
};

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
        {"\"" + Program() + "\" /nomail", REG_SZ, TRUE},
        {Program(), REG_EXPAND_SZ, TRUE},
        {m_folder / "Elsewhere\\opera.exe /nomail", REG_SZ, FALSE},
        {Program() + std::string(300, ' ') + "/x", REG_SZ, FALSE}, // longer than Opera's buffer: not cut
    };
    ASSERT_TRUE(SampleFile(Program(), "MZ"));
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        SCOPED_TRACE(i);
        SetCommandLine("Last CommandLine", rows[i].commandLine, rows[i].type);
        COperaClient client;
        EXPECT_EQ(rows[i].installed, client.DetectClient());
        if (rows[i].installed) {
            EXPECT_EQ(Program(), client.ExePath());
        }
    }
    // The value for Opera 7 does not count for Opera.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\Opera Software"));
    SetCommandLine("Last CommandLine v2", Program());
    COperaClient client;
    EXPECT_FALSE(client.DetectClient());

    EXPECT_EQ("C:\\Opera\\opera.exe", COperaClient::ExePathFromCommandLine("C:\\Opera\\opera.exe /nomail"));
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
        std::string edit; // the incoming keys
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SampleFile(AccountFile("Home"), HomeIni(row.edit)));
        COperaClient client;
        ASSERT_TRUE(client.LoadClient());
        AccountInfo a = RecordOf(client, 0);
        EXPECT_EQ(row.supported, a.supported);
        EXPECT_EQ(row.supported ? REASON_NONE : REASON_CONFIG_UNREADABLE, a.reason);
        EXPECT_EQ(row.user, a.current.userName);
        EXPECT_EQ(row.port, a.current.port);
    }
    // The long login goes through configure and unconfigure whole.
    ASSERT_TRUE(SampleFile(AccountFile("Home"), HomeIni(rows[0].edit)));
    ExpectRoundTrip<COperaClient>(
        {0}, BytesOf(AccountFile("Home")),
        HomeIni("Login=" + longLogin + "/pop.mail.example/110\r\nAddress=localhost\r\nPort=110\r\n"),
        HomeIni(rows[0].edit));
}

TEST_F(OperaClients, ConfigureAndUnconfigureWriteExactlyTheirKeys)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    m_port.Set(1100);
    const std::string office = FileBytes(AccountFile("Office"));
    std::string officeConfigured = office;
    const std::string officeKeys = "Login=CORP\\olga\r\nAddress=pop.corp.example\r\nPort=995\r\n";
    officeConfigured.replace(officeConfigured.find(officeKeys), officeKeys.size(),
                             "Login=CORP\\olga/pop.corp.example/"
                             "995\r\nAddress=localhost\r\nPort=1100\r\n");
    ExpectRoundTrip<COperaClient>(
        {0, 1}, [this] { return FileBytes(AccountFile("Home")) + FileBytes(AccountFile("Office")); },
        HomeIni("Login=olga/pop.mail.example/"
                "110\r\nAddress=localhost\r\nPort=1100\r\n") +
            officeConfigured,
        HomeIni() + office);
    EXPECT_EQ(1u, FileCount(m_folder / "Opera\\Mail\\Home"));
}

TEST_F(OperaClients, AFailedWriteLeavesTheAccountFileAsItWas)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    CWithRecords<COperaClient> client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_FALSE(client.WriteAccount(-1, 0));

    // A value with a line break would make a key of its own: nothing is written.
    const StoreText home = FileStore(AccountFile("Home"));
    const std::string before = home();
    client.Record(0).current.userName = "olga\r\nAddress=evil.example";
    EXPECT_FALSE(client.WriteAccount(0, 0));
    EXPECT_EQ(before, home());
    client.Record(0).current.userName = "olga";

    // A read-only account file keeps its keys, no copy is left beside it; the account's folder is gone: no
    // file is made.
    ASSERT_TRUE(plat::SetFileReadOnly(AccountFile("Home").c_str(), TRUE));
    ExpectRefused(client, 0, TRUE, home);
    ASSERT_TRUE(plat::SetFileReadOnly(AccountFile("Home").c_str(), FALSE));
    ASSERT_TRUE(plat::RemoveFolderTree((m_folder / "Opera\\Mail\\Office").c_str()));
    ExpectRefused(client, 1, TRUE, FileStore(AccountFile("Office")));
}

TEST_F(OperaClients, AnAccountChangedSinceItWasReadIsNotOverwritten)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    COperaClient client;
    ASSERT_TRUE(client.LoadClient());
    // The user gave Opera another login while the list was open: configuring would write the old one.
    ASSERT_TRUE(plat::ReplaceWholeFile(
        AccountFile("Home").c_str(), HomeIni("Login=olga.new\r\nAddress=pop.mail.example\r\nPort=110\r\n")));
    ExpectRefused(client, 0, TRUE, FileStore(AccountFile("Home")));

    // A proxy user name without a server would give back an empty address, which reads as no account at all.
    ASSERT_TRUE(plat::ReplaceWholeFile(AccountFile("Home").c_str(),
                                       HomeIni("Login=olga/\r\nAddress=localhost\r\nPort=110\r\n")));
    COperaClient configured;
    ASSERT_TRUE(configured.LoadClient());
    ASSERT_TRUE(RecordOf(configured, 0).configured);
    ExpectRefused(configured, 0, FALSE, FileStore(AccountFile("Home")));

    // What one write leaves is what the next one expects: configured and given back on one reading.
    ASSERT_TRUE(plat::ReplaceWholeFile(AccountFile("Home").c_str(), HomeIni()));
    COperaClient fresh;
    ASSERT_TRUE(fresh.LoadClient());
    ASSERT_TRUE(fresh.ConfigureAccount(0));
    ASSERT_TRUE(fresh.UnconfigureAccount(0));
    EXPECT_EQ(HomeIni(), FileBytes(AccountFile("Home")));
}

TEST_F(Opera7Clients, DetectionAndTheAccountCount)
{
    ASSERT_TRUE(SampleFile(m_folder / "Opera7\\opera.exe", "MZ"));
    SetCommandLine("Last CommandLine v2", m_folder / "Opera7\\opera.exe");
    {
        // Installed, but no accounts file: nothing to show.
        COpera7Client client;
        EXPECT_FALSE(client.LoadClient());
        EXPECT_TRUE(client.IsInstalled());
        EXPECT_EQ(m_folder / "Opera7\\opera.exe", client.ExePath());
        EXPECT_EQ(AccountsIni(), client.AccountsIniPath());
    }
    struct Row
    {
        const char* count; // null: no key
        int accounts;
    };
    const Row rows[] = {{"2", 2},   {"3 accounts", 3}, {" 1", 1},          {"-1", 0},
                        {"abc", 0}, {"", 0},           {"99999999999", 0}, {nullptr, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.count ? row.count : "<none>");
        std::string text = "[Accounts]\r\n";
        if (row.count)
            text += "Count=" + std::string(row.count) + "\r\n";
        text += "[Account1]\r\nAccount Name=Only\r\n";
        ASSERT_TRUE(SampleFile(AccountsIni(), text));
        COpera7Client client;
        EXPECT_EQ(row.accounts != 0, client.LoadClient());
        EXPECT_EQ(row.accounts, client.AccountCount());
    }
}

TEST_F(Opera7Clients, SampleAccountsReadWithTheirStates)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    COpera7Client client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(7, client.AccountCount());
    ExpectProfileAccounts(
        client,
        {
            {"Mail at home", nullptr, 1, 0, 0, 0, 0, PROTOCOL_POP3, "petra", "pop.mail.example", 110, "petra",
             "pop.mail.example", 110},
            {"IMAP mail", nullptr, 0, 0, 0, 0, REASON_IMAP, PROTOCOL_IMAP, "", "", 0, "", "", 0},
            {"Configured mail", nullptr, 1, 1, 1, 0, 0, PROTOCOL_POP3, "petra.c/pop.configured.example/995",
             "localhost", 110, "petra.c", "pop.configured.example", 995},
            {"Lower-case protocol", nullptr, 0, 0, 0, 0, REASON_UNKNOWN_PROTOCOL, PROTOCOL_UNKNOWN, "", "", 0,
             "", "", 0},
            {"Old proxy port", nullptr, 1, 1, 0, 0, 0, PROTOCOL_POP3, "petra.o/pop.old.example/110",
             "127.0.0.1", 8110, "petra.o", "pop.old.example", 110},
            {"No user name", nullptr, 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, PROTOCOL_UNKNOWN, "", "", 0, "",
             "", 0},
            {"", nullptr, 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, PROTOCOL_UNKNOWN, "", "", 0, "", "", 0},
        });
    EXPECT_EQ("petra@mail.example", RecordOf(client, 0).email);
}

TEST_F(Opera7Clients, ConfigureAndUnconfigureWriteExactlyTheirKeys)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    m_port.Set(1100);
    const std::string before = FileBytes(AccountsIni());
    auto replaced = [](std::string text, const std::string& keys, const std::string& by) {
        text.replace(text.find(keys), keys.size(), by);
        return text;
    };
    const std::string first = "Incoming Username=petra\r\nIncoming "
                              "Servername=pop.mail.example\r\nIncoming Port=110\r\n";
    const std::string oldPort = "Incoming Servername=127.0.0.1\r\nIncoming Port=8110\r\n";
    const std::string newPort = "Incoming Servername=localhost\r\nIncoming Port=1100\r\n";
    // The old port's account: the proxy's settings written again, then its real ones given back.
    ExpectRoundTrip<COpera7Client>(
        {0, 4}, BytesOf(AccountsIni()),
        replaced(replaced(before, first, "Incoming Username=petra/pop.mail.example/110\r\n" + newPort),
                 oldPort, newPort),
        replaced(before, "Incoming Username=petra.o/pop.old.example/110\r\n" + oldPort,
                 "Incoming Username=petra.o\r\nIncoming "
                 "Servername=pop.old.example\r\nIncoming Port=110\r\n"));
    EXPECT_EQ(1u, FileCount(JoinPath(m_appData, "Opera\\Opera7\\Mail")));
}

TEST_F(Opera7Clients, AFailedWriteLeavesTheFileAsItWas)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    COpera7Client client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_FALSE(client.WriteAccount(-1, 0));
    // A read-only file keeps every key; the file went away after it was read: it is not made anew with three
    // keys in it.
    ASSERT_TRUE(plat::SetFileReadOnly(AccountsIni().c_str(), TRUE));
    ExpectRefused(client, 0, TRUE, FileStore(AccountsIni()));
    ASSERT_TRUE(plat::SetFileReadOnly(AccountsIni().c_str(), FALSE));
    ASSERT_TRUE(plat::RemoveFile(AccountsIni().c_str()));
    ExpectRefused(client, 0, TRUE, FileStore(AccountsIni()));
    EXPECT_EQ(0u, FileCount(JoinPath(m_appData, "Opera\\Opera7\\Mail")));
}

TEST_F(Opera7Clients, ARenumberedFileIsNotWrittenIntoAnotherAccount)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    COpera7Client client;
    ASSERT_TRUE(client.LoadClient());
    // Opera numbered its accounts anew after the list was read: "Account1" now holds the configured one.
    std::string renumbered = FileBytes(AccountsIni());
    renumbered.replace(renumbered.find("[Account1]"), 10, "[AccountX]");
    renumbered.replace(renumbered.find("[Account3]"), 10, "[Account1]");
    renumbered.replace(renumbered.find("[AccountX]"), 10, "[Account3]");
    ASSERT_TRUE(plat::ReplaceWholeFile(AccountsIni().c_str(), renumbered));
    ExpectRefused(client, 0, TRUE, FileStore(AccountsIni()));
    ExpectRefused(client, 2, FALSE, FileStore(AccountsIni()));

    // Read again, each account is written where it now is.
    COpera7Client fresh;
    ASSERT_TRUE(fresh.LoadClient());
    EXPECT_EQ("Configured mail", RecordOf(fresh, 0).name);
    ASSERT_TRUE(fresh.UnconfigureAccount(0));
    EXPECT_EQ("petra.c", RecordOf(fresh, 0).current.userName);
}
