// Outlook Express and Outlook: Outlook found through Office, the exact values written and given back (Outlook
// keeps its accounts as Outlook Express does), and accounts left alone because they are no POP3 accounts or
// could not be given back whole.
#include "support/ClientChecks.h"

#include "RegKey.h"
#include "Registry.h"
#include "clients/OutlookClient.h"
#include "clients/OutlookExpressClient.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

namespace {

const char kOeAccounts[] = "Software\\Microsoft\\Internet Account Manager\\Accounts";

class OutlookClients : public CClientTest
{
protected:
    static std::string Value(const char* account, const char* name)
    {
        return RegValueText(HKEY_CURRENT_USER, std::string(kOeAccounts) + "\\" + account, name);
    }
    // The values the adapter writes, of the first two sample accounts.
    static std::string PopValues()
    {
        std::string text;
        for (const char* account : {"00000001", "00000002"}) {
            for (const char* name : {"POP3 User Name", "POP3 Server", "POP3 Port", "POP3 Use Sicily"})
                text += Value(account, name) + "|";
            text += " ";
        }
        return text;
    }
};

} // namespace

TEST_F(OutlookClients, OutlookIsFoundThroughTheNewestWorkingOffice)
{
    const std::string office11 = m_folder / "Office11\\";
    const std::string office9 = m_folder / "Office9\\";
    const std::string office = "Software\\Microsoft\\Office\\";
    ASSERT_TRUE(SampleFile(office9 + "outlook.exe", "MZ"));
    ASSERT_TRUE(SampleRegString(HKEY_LOCAL_MACHINE, office + "9.0\\Outlook\\InstallRoot", "Path", office9));
    // Version 11: no "Path" under Outlook, and Common points to a folder without the program.
    ASSERT_TRUE(
        SampleRegString(HKEY_LOCAL_MACHINE, office + "11.0\\Outlook\\InstallRoot", "Other", office11));
    ASSERT_TRUE(SampleRegString(HKEY_LOCAL_MACHINE, office + "11.0\\Common\\InstallRoot", "Path", office11));
    COutlookClient nine;
    EXPECT_TRUE(nine.DetectClient());
    EXPECT_EQ(office9 + "outlook.exe", nine.ExePath());

    ASSERT_TRUE(SampleFile(office11 + "outlook.exe", "MZ"));
    COutlookClient eleven;
    EXPECT_TRUE(eleven.DetectClient());
    EXPECT_EQ(office11 + "outlook.exe", eleven.ExePath());
}

TEST_F(OutlookClients, ConfigureAndUnconfigureWriteExactlyTheirValues)
{
    ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
    m_port.Set(8110);
    // The first has no port value and no SPA flag, the second an SPA flag of 1; a missing port may be added.
    ExpectRoundTrip<COutlookExpressClient>(
        {0, 1}, PopValues,
        "anna/pop.mail.example/110|localhost|dword:8110|<missing>| "
        "anna.k/pop.office.example[SPA]/995|localhost|dword:8110|<missing>| ",
        "anna|pop.mail.example|dword:110|<missing>| "
        "anna.k|pop.office.example|dword:995|dword:1| ");
    // Values the adapter does not own stay as they were.
    EXPECT_EQ("smtp.mail.example", Value("00000002", "SMTP Server"));
    EXPECT_EQ("dword:3", Value("00000002", "Connection Type"));
    EXPECT_EQ("Office (SPA)", Value("00000002", "Account Name"));
}

TEST_F(OutlookClients, AccountsThatCouldNotBeGivenBackAreLeftAlone)
{
    ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
    plat::CRegKey key;
    // Flags stored with another type (say, by a .reg import): writing a DWORD over them would lose them.
    ASSERT_EQ(ERROR_SUCCESS,
              key.Open(HKEY_CURRENT_USER, (std::string(kOeAccounts) + "\\00000001").c_str(), KEY_WRITE));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString("POP3 Use Sicily", "1"));
    ASSERT_EQ(ERROR_SUCCESS,
              key.Open(HKEY_CURRENT_USER, (std::string(kOeAccounts) + "\\00000002").c_str(), KEY_WRITE));
    const unsigned char port[4] = {0xE3, 0x03, 0, 0};
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key.Get(), "POP3 Port", REG_BINARY, port, sizeof(port)));
    COutlookExpressClient client;
    ASSERT_TRUE(client.LoadClient());
    ExpectUnsupported(client, 0, "Home mail", REASON_REGISTRY);
    ExpectUnsupported(client, 1, "Office (SPA)", REASON_REGISTRY);
    for (int index : {0, 1})
        ExpectRefused(client, index, TRUE, PopValues);
    ExpectUnsupported(client, 2, "Work IMAP", REASON_IMAP);
    // The account's key vanished after loading: it is not made anew with the four values alone.
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegRemoveTree(HKEY_CURRENT_USER, (std::string(kOeAccounts) + "\\00000008").c_str()));
    ExpectRefused(client, 7, FALSE, [] { return Value("00000008", "POP3 User Name"); });

    // A user name and server that read whole, but whose proxy user name would not: the account is not
    // offered, and configuring must not leave the real settings in a value the program then refuses to read.
    ASSERT_EQ(ERROR_SUCCESS,
              key.Open(HKEY_CURRENT_USER, (std::string(kOeAccounts) + "\\00000001").c_str(), KEY_WRITE));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(key.Get(), "POP3 Use Sicily"));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString("POP3 User Name", std::string(200, 'u')));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString("POP3 Server", std::string(55, 's') + ".example"));
    key.Close();
    for (int attempt = 0; attempt < 2; ++attempt) {
        COutlookExpressClient longName;
        ASSERT_TRUE(longName.LoadClient());
        ExpectUnsupported(longName, 0, "Home mail", REASON_NAME_TOO_LONG);
        EXPECT_FALSE(RecordOf(longName, 0).configured);
        ExpectRefused(longName, 0, TRUE, PopValues);
    }
}

TEST_F(OutlookClients, TheSpaFlagIsReadByValueAndGivenBackAsStored)
{
    // Absent, 0, 1 and 2: SPA is on for a non-zero flag only. Configuring turns an SPA flag off (the proxy
    // speaks SPA) and leaves one that is off alone; unconfiguring writes it back as it was.
    struct Case
    {
        long long flag; // -1: absent
        const char* proxyUserName;
        const char* configuredFlag;
        const char* restoredFlag;
        const char* restoredAfterRestart;
    };
    const Case cases[] = {
        {-1, "anna/pop.mail.example/110", "<missing>", "<missing>", "<missing>"},
        {0, "anna/pop.mail.example/110", "dword:0", "dword:0", "dword:0"},
        {1, "anna/pop.mail.example[SPA]/110", "<missing>", "dword:1", "dword:1"},
        // The proxy user name tells only that SPA was on: a later run gives back 1.
        {2, "anna/pop.mail.example[SPA]/110", "<missing>", "dword:2", "dword:1"},
    };
    m_port.Set(8110);
    for (const Case& c : cases) {
        for (BOOL restart : {FALSE, TRUE}) {
            SCOPED_TRACE("flag " + std::to_string(c.flag) + (restart ? ", given back by a later run" : ""));
            ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
            {
                plat::CRegKey key;
                ASSERT_EQ(ERROR_SUCCESS,
                          key.Open(HKEY_CURRENT_USER, (std::string(kOeAccounts) + "\\00000001").c_str(),
                                   KEY_WRITE));
                if (c.flag >= 0) {
                    const DWORD flag = static_cast<DWORD>(c.flag);
                    ASSERT_EQ(ERROR_SUCCESS,
                              plat::RegWrite(key.Get(), "POP3 Use Sicily", REG_DWORD, &flag, sizeof(flag)));
                }
            }
            COutlookExpressClient client;
            ASSERT_TRUE(client.LoadClient());
            EXPECT_EQ(c.flag > 0 ? AUTH_SPA : AUTH_NORMAL, RecordOf(client, 0).original.authMode);
            ASSERT_TRUE(client.ConfigureAccount(0));
            EXPECT_EQ(c.proxyUserName, Value("00000001", "POP3 User Name"));
            EXPECT_EQ(c.configuredFlag, Value("00000001", "POP3 Use Sicily"));
            if (restart) {
                COutlookExpressClient later;
                ASSERT_TRUE(later.LoadClient());
                ASSERT_TRUE(later.UnconfigureAccount(0));
                EXPECT_EQ(c.restoredAfterRestart, Value("00000001", "POP3 Use Sicily"));
            } else {
                ASSERT_TRUE(client.UnconfigureAccount(0));
                EXPECT_EQ(c.restoredFlag, Value("00000001", "POP3 Use Sicily"));
                EXPECT_EQ("anna", Value("00000001", "POP3 User Name"));
            }
        }
    }
}

TEST_F(OutlookClients, PortsOutsideTheRangeAndNamesTooLongAreLeftAlone)
{
    ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
    struct Case
    {
        DWORD port;
        int reason; // REASON_NONE: supported
    };
    const Case cases[] = {{0, REASON_PORT_RANGE},     {0xFFFFFFFF, REASON_PORT_RANGE},
                          {1, REASON_NONE},           {65535, REASON_NONE},
                          {65536, REASON_PORT_RANGE}, {99999, REASON_PORT_RANGE}};
    plat::CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              key.Open(HKEY_CURRENT_USER, (std::string(kOeAccounts) + "\\00000001").c_str(), KEY_WRITE));
    for (const Case& c : cases) {
        SCOPED_TRACE("port " + std::to_string(static_cast<int>(c.port)));
        ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key.Get(), "POP3 Port", REG_DWORD, &c.port, sizeof(c.port)));
        COutlookExpressClient client;
        ASSERT_TRUE(client.LoadClient());
        if (c.reason == REASON_NONE) {
            EXPECT_TRUE(RecordOf(client, 0).supported);
            continue;
        }
        ExpectUnsupported(client, 0, "Home mail", c.reason);
        EXPECT_EQ("Account's POP3 port is outside the range 1 to 65535.", client.GetReasonText(0));
        ExpectRefused(client, 0, TRUE, PopValues);
    }
    const DWORD port = 110;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key.Get(), "POP3 Port", REG_DWORD, &port, sizeof(port)));

    // "/pop.mail.example/110" adds 21 characters: a user name of 238 gives the longest proxy user name the
    // registry readers take back (259 characters and the NUL), one of 239 is refused before anything is
    // written.
    for (size_t length : {238u, 239u, 240u, 259u}) {
        SCOPED_TRACE("user name of " + std::to_string(length));
        ASSERT_EQ(ERROR_SUCCESS, key.SetString("POP3 User Name", std::string(length, 'u')));
        COutlookExpressClient client;
        ASSERT_TRUE(client.LoadClient());
        if (length == 238) {
            ASSERT_TRUE(RecordOf(client, 0).supported);
            ASSERT_TRUE(client.ConfigureAccount(0));
            EXPECT_EQ(std::string(238, 'u') + "/pop.mail.example/110", Value("00000001", "POP3 User Name"));
            ASSERT_TRUE(client.UnconfigureAccount(0));
            continue;
        }
        ExpectUnsupported(client, 0, "Home mail", REASON_NAME_TOO_LONG);
        EXPECT_NE("", client.GetReasonText(0));
        ExpectRefused(client, 0, TRUE, PopValues);
    }
}

TEST_F(OutlookClients, SecureAccountsAreCarriedOnlyByAProxyThatSpeaksTls)
{
    const std::string account = std::string(kOeAccounts) + "\\00000001";
    auto setSecure = [&](DWORD value) {
        ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, account, "POP3 Port", 995));
        ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, account, "POP3 Secure Connection", value));
    };
    auto setProxyTls = [](DWORD value) {
        ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, NIMBREL_PROXY_TLS_VALUE, value));
    };
    m_port.Set(8110);

    // A plain proxy: the account is left alone and nothing is written.
    ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
    setSecure(5);
    {
        const std::string before = PopValues();
        COutlookExpressClient client;
        ASSERT_TRUE(client.LoadClient());
        EXPECT_FALSE(RecordOf(client, 0).supported);
        EXPECT_EQ(REASON_SECURE, RecordOf(client, 0).reason);
        EXPECT_EQ("Account uses a secure connection (SSL/TLS), which the POP3 proxy cannot carry.",
                  client.GetReasonText(0));
        EXPECT_FALSE(client.ConfigureAccount(0));
        EXPECT_EQ(before, PopValues());
        EXPECT_EQ("dword:5", Value("00000001", "POP3 Secure Connection"));
    }

    // A proxy that speaks TLS: the tag goes into the name, the client's SSL off, and back exactly as stored
    // (5 stays 5 within a run; a later run knows only the tag and writes the client's own 1).
    setProxyTls(1);
    for (BOOL restart : {FALSE, TRUE}) {
        SCOPED_TRACE(restart ? "given back by a later run" : "given back by the same run");
        ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
        setSecure(5);
        const std::string before = PopValues();
        COutlookExpressClient client;
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(RecordOf(client, 0).supported);
        ASSERT_TRUE(client.ConfigureAccount(0));
        EXPECT_EQ("anna/pop.mail.example[SSL]/995", Value("00000001", "POP3 User Name"));
        EXPECT_EQ("dword:0", Value("00000001", "POP3 Secure Connection"));
        COutlookExpressClient later;
        CMailClient& giver = restart ? static_cast<CMailClient&>(later) : client;
        if (restart) {
            ASSERT_TRUE(later.LoadClient());
        }
        ASSERT_TRUE(giver.UnconfigureAccount(0));
        EXPECT_EQ(before, PopValues());
        EXPECT_EQ(restart ? "dword:1" : "dword:5", Value("00000001", "POP3 Secure Connection"));
    }

    // The client turns SSL on again after configuring: not up to date, and an update turns it off again;
    // once the proxy no longer speaks TLS the update is refused and writes nothing.
    for (DWORD tls : {1u, 0u}) {
        SCOPED_TRACE(tls ? "proxy speaks TLS" : "proxy plain again");
        setProxyTls(1);
        ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
        setSecure(1);
        {
            COutlookExpressClient client;
            ASSERT_TRUE(client.LoadClient());
            ASSERT_TRUE(client.ConfigureAccount(0));
        }
        setSecure(1);
        setProxyTls(tls);
        COutlookExpressClient client;
        ASSERT_TRUE(client.LoadClient());
        const AccountInfo shown = RecordOf(client, 0);
        EXPECT_TRUE(shown.supported);
        EXPECT_TRUE(shown.configured);
        EXPECT_FALSE(shown.upToDate);
        EXPECT_EQ(tls ? TRUE : FALSE, client.ConfigureAccount(0));
        EXPECT_EQ(tls ? "dword:0" : "dword:1", Value("00000001", "POP3 Secure Connection"));
        EXPECT_EQ("anna/pop.mail.example[SSL]/995", Value("00000001", "POP3 User Name"));
        // Giving back works either way.
        ASSERT_TRUE(client.UnconfigureAccount(0));
        EXPECT_EQ("anna", Value("00000001", "POP3 User Name"));
        EXPECT_EQ("dword:1", Value("00000001", "POP3 Secure Connection"));
    }
    setProxyTls(0);
}
