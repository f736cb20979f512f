// Opera and Opera 7: the exact keys written and given back, and writes that must not happen because the file
// no longer holds what the account was read from, or because what they would write reads as no account.
#include "support/ClientChecks.h"

#include "Files.h"
#include "clients/Opera7Client.h"
#include "clients/OperaClient.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

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
    std::string AccountFile(const char* folder) const
    {
        return m_folder / ("Opera\\Mail\\" + std::string(folder) + "\\account.ini");
    }
    std::string AccountsIni() const { return JoinPath(m_appData, "Opera\\Opera7\\Mail\\accounts.ini"); }
    // The sample's home account file with other incoming keys.
    static std::string
    HomeIni(const std::string& incoming = "Login=olga\r\nAddress=pop.mail.example\r\nPort=110\r\n")
    {
        return Replaced(kHomeIni, "Login=olga\r\nAddress=pop.mail.example\r\nPort=110\r\n", incoming);
    }
};

class Opera7Clients : public OperaClients
{
};

} // namespace

TEST_F(OperaClients, ConfigureAndUnconfigureWriteExactlyTheirKeys)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    m_port.Set(1100);
    const std::string office = FileBytes(AccountFile("Office"));
    ExpectRoundTrip<COperaClient>(
        {0, 1}, [this] { return FileBytes(AccountFile("Home")) + FileBytes(AccountFile("Office")); },
        HomeIni("Login=olga/pop.mail.example/110\r\nAddress=localhost\r\nPort=1100\r\n") +
            Replaced(office, "Login=CORP\\olga\r\nAddress=pop.corp.example\r\nPort=995\r\n",
                     "Login=CORP\\olga/pop.corp.example/995\r\nAddress=localhost\r\nPort=1100\r\n"),
        HomeIni() + office);
    EXPECT_EQ(1u, FileCount(m_folder / "Opera\\Mail\\Home"));
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

TEST_F(OperaClients, AccountsThatCannotBeCarriedAreLeftAlone)
{
    // A login too long for any reader must not be cut; IMAP accounts are not the proxy's.
    ASSERT_TRUE(SeedOperaSamples(m_context));
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    ASSERT_TRUE(plat::ReplaceWholeFile(
        AccountFile("Home").c_str(),
        HomeIni("Login=" + std::string(70 * 1024, 'x') + "\r\nAddress=pop.mail.example\r\nPort=110\r\n")));
    COperaClient opera;
    ASSERT_TRUE(opera.LoadClient());
    ExpectUnsupported(opera, 0, "Home mail", REASON_CONFIG_UNREADABLE);
    // A listed file that gives no name is still an account, shown as unreadable; the listed folder without a
    // file is none.
    ASSERT_TRUE(plat::ReplaceWholeFile(AccountFile("Home").c_str(), "[INCOMING]\r\nLogin=olga\r\n"));
    COperaClient nameless;
    ASSERT_TRUE(nameless.LoadClient());
    EXPECT_EQ(6, opera.AccountCount());
    EXPECT_EQ(6, nameless.AccountCount());
    ExpectUnsupported(nameless, 0, "", REASON_CONFIG_UNREADABLE);
    COpera7Client opera7;
    ASSERT_TRUE(opera7.LoadClient());
    ExpectUnsupported(opera7, 1, "IMAP mail", REASON_IMAP);
}

TEST_F(Opera7Clients, ConfigureAndUnconfigureWriteExactlyTheirKeys)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    m_port.Set(1100);
    const std::string before = FileBytes(AccountsIni());
    const std::string first = "Incoming Username=petra\r\nIncoming "
                              "Servername=pop.mail.example\r\nIncoming Port=110\r\n";
    const std::string oldPort = "Incoming Servername=127.0.0.1\r\nIncoming Port=8110\r\n";
    const std::string newPort = "Incoming Servername=localhost\r\nIncoming Port=1100\r\n";
    // The old port's account: the proxy's settings written again, then its real ones given back.
    ExpectRoundTrip<COpera7Client>(
        {0, 4}, BytesOf(AccountsIni()),
        Replaced(Replaced(before, first, "Incoming Username=petra/pop.mail.example/110\r\n" + newPort),
                 oldPort, newPort),
        Replaced(before, "Incoming Username=petra.o/pop.old.example/110\r\n" + oldPort,
                 "Incoming Username=petra.o\r\nIncoming "
                 "Servername=pop.old.example\r\nIncoming Port=110\r\n"));
    EXPECT_EQ(1u, FileCount(JoinPath(m_appData, "Opera\\Opera7\\Mail")));
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

TEST_F(Opera7Clients, SecureAccountsAreCarriedOnlyByAProxyThatSpeaksTls)
{
    const std::string plain =
        "Incoming Username=petra\r\nIncoming Servername=pop.mail.example\r\nIncoming Port=110\r\n";
    auto seed = [&](const std::string& port, const std::string& secure) {
        ASSERT_TRUE(SeedOpera7Samples(m_context));
        const std::string bytes =
            Replaced(FileBytes(AccountsIni()), plain,
                     "Incoming Username=petra\r\nIncoming Servername=pop.mail.example\r\n"
                     "Incoming Port=" +
                         port + "\r\nSecure Connection In=" + secure + "\r\n");
        ASSERT_TRUE(plat::ReplaceWholeFile(AccountsIni().c_str(), bytes));
    };
    auto setProxyTls = [](DWORD value) {
        ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, NIMBREL_PROXY_TLS_VALUE, value));
    };
    m_port.Set(1100);

    // A plain proxy: the account is left alone and nothing is written.
    seed("995", "2");
    {
        const std::string before = FileBytes(AccountsIni());
        COpera7Client client;
        ASSERT_TRUE(client.LoadClient());
        EXPECT_FALSE(RecordOf(client, 0).supported);
        EXPECT_EQ(REASON_SECURE, RecordOf(client, 0).reason);
        EXPECT_FALSE(client.ConfigureAccount(0));
        EXPECT_EQ(before, FileBytes(AccountsIni()));
    }

    // A proxy that speaks TLS: the tag by the port, the secure value off, and back exactly as stored within a
    // run; a later run knows only the tag and writes Opera's own 1.
    setProxyTls(1);
    struct Case
    {
        const char* port;
        const char* stored;
        const char* tag;
    };
    for (const Case& c : {Case{"995", "2", "[SSL]"}, Case{"110", "7", "[STLS]"}}) {
        for (BOOL restart : {FALSE, TRUE}) {
            SCOPED_TRACE(std::string(c.tag) +
                         (restart ? " given back by a later run" : " given back by the same run"));
            seed(c.port, c.stored);
            const std::string before = FileBytes(AccountsIni());
            COpera7Client client;
            ASSERT_TRUE(client.LoadClient());
            ASSERT_TRUE(RecordOf(client, 0).supported);
            ASSERT_TRUE(client.ConfigureAccount(0));
            const std::string configured = Replaced(
                before,
                "Incoming Username=petra\r\nIncoming Servername=pop.mail.example\r\nIncoming Port=" +
                    std::string(c.port) + "\r\nSecure Connection In=" + c.stored + "\r\n",
                "Incoming Username=petra/pop.mail.example" + std::string(c.tag) + "/" + c.port +
                    "\r\nIncoming Servername=localhost\r\nIncoming Port=1100\r\nSecure Connection In=0\r\n");
            EXPECT_EQ(configured, FileBytes(AccountsIni()));
            COpera7Client later;
            CMailClient& giver = restart ? static_cast<CMailClient&>(later) : client;
            if (restart) {
                ASSERT_TRUE(later.LoadClient());
                EXPECT_TRUE(RecordOf(later, 0).upToDate);
            }
            ASSERT_TRUE(giver.UnconfigureAccount(0));
            EXPECT_EQ(restart ? Replaced(before, "Secure Connection In=" + std::string(c.stored) + "\r\n",
                                         "Secure Connection In=1\r\n")
                              : before,
                      FileBytes(AccountsIni()));
        }
    }
    setProxyTls(0);
}

TEST_F(OperaClients, PortsOutsideTheRangeAndLoginsTooLongOnceCarriedAreLeftAlone)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    for (const char* port : {"0", "-1", "65536", "99999", "65535"}) {
        SCOPED_TRACE(std::string("port ") + port);
        ASSERT_TRUE(plat::ReplaceWholeFile(
            AccountFile("Home").c_str(),
            HomeIni(std::string("Login=olga\r\nAddress=pop.mail.example\r\nPort=") + port + "\r\n")));
        COperaClient client;
        ASSERT_TRUE(client.LoadClient());
        if (std::string(port) == "65535") {
            EXPECT_TRUE(RecordOf(client, 0).supported);
            continue;
        }
        ExpectUnsupported(client, 0, "Home mail", REASON_PORT_RANGE);
        ExpectRefused(client, 0, TRUE, FileStore(AccountFile("Home")));
    }
    // A login that Opera's file reads whole, but not once "/pop.mail.example/110" follows it.
    const size_t longest = COperaIniFile::LongestValue() - std::string("/pop.mail.example/110").size();
    for (size_t length : {longest, longest + 1}) {
        SCOPED_TRACE("login of " + std::to_string(length));
        ASSERT_TRUE(plat::ReplaceWholeFile(
            AccountFile("Home").c_str(),
            HomeIni("Login=" + std::string(length, 'o') + "\r\nAddress=pop.mail.example\r\nPort=110\r\n")));
        COperaClient client;
        ASSERT_TRUE(client.LoadClient());
        if (length == longest) {
            EXPECT_TRUE(RecordOf(client, 0).supported);
            continue;
        }
        ExpectUnsupported(client, 0, "Home mail", REASON_NAME_TOO_LONG);
        ExpectRefused(client, 0, TRUE, FileStore(AccountFile("Home")));
    }
}
