// IncrediMail: the exact values written and given back, and values the adapter could not give back as they
// were, which leave the account alone.
#include "support/ClientChecks.h"

#include "clients/IncrediMailClient.h"
#include "Registry.h"

namespace {

const char kIdentities[] = "Software\\Incredimail\\Identities";

class IncrediMailClient : public CClientTest
{
protected:
    IncrediMailClient() { UseProxyPort(9110); }

    static std::string Key(const char* identity, const char* account)
    {
        return std::string(kIdentities) + "\\" + identity + "\\Accounts\\" + account;
    }
    static std::string Value(const char* name)
    {
        return RegValueText(HKEY_CURRENT_USER, Key("{A1}", "{ACC-1}"), name);
    }
    // The four values the adapter writes of the first sample account, as text.
    static std::string PopValues()
    {
        return Value("PopAccount") + "|" + Value("PopServer") + "|" + Value("PopPort") + "|" +
               Value("PopLogSecure");
    }
    // A value of the first sample account, of any type.
    static void SetHomeValue(const char* name, DWORD type, const std::string& data)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  plat::RegOpen(HKEY_CURRENT_USER, Key("{A1}", "{ACC-1}").c_str(), KEY_ALL_ACCESS, &key));
        EXPECT_EQ(ERROR_SUCCESS,
                  plat::RegWrite(key, name, type, data.data(), static_cast<DWORD>(data.size())));
        plat::RegClose(key);
    }
};

} // namespace

TEST_F(IncrediMailClient, ConfigureAndUnconfigureWriteExactValues)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    // The port is added where it was absent; everything else comes back as it was.
    ExpectRoundTrip<CIncrediMailClient>({0}, PopValues,
                                        "anna/pop.mail.example[SPA]/110|localhost|dword:9110|dword:0",
                                        "anna|pop.mail.example|dword:110|dword:1");
    EXPECT_EQ("smtp.mail.example", Value("SmtpServer"));
    EXPECT_EQ("dword:1", Value("LeaveOnServer"));
    EXPECT_EQ("Home", Value("AccountName"));

    // The account's key went away after reading: it is not made anew with the four values alone.
    CIncrediMailClient client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, Key("{A1}", "{ACC-2}").c_str()));
    ExpectRefused(client, 1, FALSE,
                  [] { return RegValueText(HKEY_CURRENT_USER, Key("{A1}", "{ACC-2}"), ""); });
}

TEST_F(IncrediMailClient, AccountsOfEveryIdentityAreReadInOrder)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    CIncrediMailClient client;
    ASSERT_TRUE(client.LoadClient());
    // Two identities with accounts and one without an "Accounts" key between them.
    const struct
    {
        const char* name;
        const char* key;
        BOOL supported;
    } rows[] = {
        {"Home", "{A1}\\Accounts\\{ACC-1}", TRUE},       {"Configured", "{A1}\\Accounts\\{ACC-2}", TRUE},
        {"Old port", "{C3}\\Accounts\\{ACC-3}", TRUE},   {"Doubtful", "{C3}\\Accounts\\{ACC-4}", TRUE},
        {"No server", "{C3}\\Accounts\\{ACC-5}", FALSE}, {"Text port", "{C3}\\Accounts\\{ACC-6}", FALSE},
    };
    ASSERT_EQ(6, client.AccountCount());
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(rows[i].name, RecordOf(client, i).name);
        EXPECT_EQ(rows[i].supported, RecordOf(client, i).supported);
        EXPECT_EQ(std::string(kIdentities) + "\\" + rows[i].key, client.AccountKeyPath(i));
    }
    // With one account fewer in the first identity, the next identity's accounts still read as theirs.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, Key("{A1}", "{ACC-2}").c_str()));
    CIncrediMailClient again;
    ASSERT_TRUE(again.LoadClient());
    EXPECT_EQ(5, again.AccountCount());
    EXPECT_EQ("Old port", RecordOf(again, 1).name);
}

TEST_F(IncrediMailClient, ValuesOfTheWrongKindAreRefused)
{
    // Writing any of these back would change its kind or cut it.
    const struct
    {
        const char* what;
        const char* name;
        DWORD type;
        std::string data;
    } rows[] = {
        {"expandable user name", "PopAccount", REG_EXPAND_SZ, std::string("anna\0", 5)},
        {"user name longer than its buffer", "PopAccount", REG_SZ, std::string(300, 'a') + '\0'},
        {"binary security flag", "PopLogSecure", REG_BINARY, std::string("\x01\x00\x00\x00", 4)},
        {"port as text", "PopPort", REG_SZ, std::string("110\0", 4)},
        {"port of eight bytes", "PopPort", REG_QWORD, std::string(8, '\0')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SeedIncrediMailSamples(m_context));
        SetHomeValue(row.name, row.type, row.data);
        CIncrediMailClient client;
        ASSERT_TRUE(client.LoadClient());
        EXPECT_FALSE(RecordOf(client, 0).supported);
        EXPECT_EQ(REASON_REGISTRY, RecordOf(client, 0).reason);
        ExpectRefused(client, 0, TRUE, PopValues);
    }
}

TEST_F(IncrediMailClient, AProxyUserNameTooLongToReadBackIsNotWritten)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    SetHomeValue("PopAccount", REG_SZ, std::string(200, 'u') + '\0');
    SetHomeValue("PopServer", REG_SZ, std::string(55, 's') + ".example" + '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        CIncrediMailClient client;
        ASSERT_TRUE(client.LoadClient());
        ExpectUnsupported(client, 0, "Home", REASON_NAME_TOO_LONG);
        EXPECT_FALSE(RecordOf(client, 0).configured);
        ExpectRefused(client, 0, TRUE, PopValues);
    }
}

TEST_F(IncrediMailClient, TheSpaFlagIsReadByValueAndGivenBackAsStored)
{
    // Absent, 0, 1 and 2: SPA is on for a non-zero flag only. Configuring turns an SPA flag off (the proxy
    // speaks SPA) and leaves one that is off alone; unconfiguring writes it back as it was.
    struct Case
    {
        long long flag; // -1: absent
        const char* configured;
        const char* restored;
        const char* restoredAfterRestart;
    };
    const Case cases[] = {
        {-1, "anna/pop.mail.example/110|localhost|dword:9110|<missing>",
         "anna|pop.mail.example|dword:110|<missing>", "anna|pop.mail.example|dword:110|<missing>"},
        {0, "anna/pop.mail.example/110|localhost|dword:9110|dword:0",
         "anna|pop.mail.example|dword:110|dword:0", "anna|pop.mail.example|dword:110|dword:0"},
        {1, "anna/pop.mail.example[SPA]/110|localhost|dword:9110|dword:0",
         "anna|pop.mail.example|dword:110|dword:1", "anna|pop.mail.example|dword:110|dword:1"},
        // The proxy user name tells only that SPA was on: a later run gives back 1.
        {2, "anna/pop.mail.example[SPA]/110|localhost|dword:9110|dword:0",
         "anna|pop.mail.example|dword:110|dword:2", "anna|pop.mail.example|dword:110|dword:1"},
    };
    for (const Case& c : cases) {
        for (BOOL restart : {FALSE, TRUE}) {
            SCOPED_TRACE("flag " + std::to_string(c.flag) + (restart ? ", given back by a later run" : ""));
            ASSERT_TRUE(SeedIncrediMailSamples(m_context));
            if (c.flag < 0) {
                HKEY key = nullptr;
                ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, Key("{A1}", "{ACC-1}").c_str(),
                                                       KEY_ALL_ACCESS, &key));
                EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(key, "PopLogSecure"));
                plat::RegClose(key);
            } else {
                const DWORD flag = static_cast<DWORD>(c.flag);
                SetHomeValue("PopLogSecure", REG_DWORD, std::string(reinterpret_cast<const char*>(&flag), 4));
            }
            CIncrediMailClient client;
            ASSERT_TRUE(client.LoadClient());
            EXPECT_EQ(c.flag > 0 ? AUTH_SPA : AUTH_NORMAL, RecordOf(client, 0).original.authMode);
            ASSERT_TRUE(client.ConfigureAccount(0));
            EXPECT_EQ(c.configured, PopValues());
            if (restart) {
                CIncrediMailClient later;
                ASSERT_TRUE(later.LoadClient());
                ASSERT_TRUE(later.UnconfigureAccount(0));
                EXPECT_EQ(c.restoredAfterRestart, PopValues());
            } else {
                ASSERT_TRUE(client.UnconfigureAccount(0));
                EXPECT_EQ(c.restored, PopValues());
            }
        }
    }
}

TEST_F(IncrediMailClient, PortsOutsideTheRangeAreLeftAlone)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    for (DWORD port : {0u, 0xFFFFFFFFu, 65536u, 99999u, 65535u, 1u}) {
        SCOPED_TRACE("port " + std::to_string(static_cast<int>(port)));
        SetHomeValue("PopPort", REG_DWORD, std::string(reinterpret_cast<const char*>(&port), 4));
        CIncrediMailClient client;
        ASSERT_TRUE(client.LoadClient());
        if (port == 65535 || port == 1) {
            EXPECT_TRUE(RecordOf(client, 0).supported);
            continue;
        }
        ExpectUnsupported(client, 0, "Home", REASON_PORT_RANGE);
        ExpectRefused(client, 0, TRUE, PopValues);
    }
}
