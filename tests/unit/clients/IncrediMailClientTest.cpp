// IncrediMail: detection through its component, accounts of all identities, exact values written, refused
// writes.
#include "support/ClientChecks.h"

#include "clients/IncrediMailClient.h"
#include "fixtures/SampleWriter.h"
#include "Registry.h"

namespace {

const char kClassId[] = "{5F3A1C2E-7B44-4E0D-9A61-0C8D2B7E4F19}";
const char kComponentKey[] = "Software\\Classes\\IncrediMail.Kernel";
const char kIdentities[] = "Software\\Incredimail\\Identities";

typedef CWithRecords<CIncrediMailClient> CTestIncrediMail;

class IncrediMailClient : public CClientTest
{
protected:
    IncrediMailClient() { UseProxyPort(9110); }

    static std::string Key(const char* identity, const char* account)
    {
        return std::string(kIdentities) + "\\" + identity + "\\Accounts\\" + account;
    }
    static std::string Value(const char* identity, const char* account, const char* name)
    {
        return RegValueText(HKEY_CURRENT_USER, Key(identity, account), name);
    }
    // The four values the adapter writes, as text.
    static std::string PopValues(const char* identity, const char* account)
    {
        return Value(identity, account, "PopAccount") + "|" + Value(identity, account, "PopServer") + "|" +
               Value(identity, account, "PopPort") + "|" + Value(identity, account, "PopLogSecure");
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

TEST_F(IncrediMailClient, DetectionThroughTheRegisteredComponent)
{
    CIncrediMailClient nothing;
    EXPECT_FALSE(nothing.DetectClient());

    const std::string library = m_folder / "IncrediMail\\ImApi.dll";
    ASSERT_TRUE(
        SampleRegString(HKEY_LOCAL_MACHINE, std::string(kComponentKey) + "\\CLSID", nullptr, kClassId));
    CIncrediMailClient noServer;
    EXPECT_FALSE(noServer.DetectClient());

    ASSERT_TRUE(SampleRegString(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kClassId + "\\InprocServer32",
                                nullptr, library));
    CIncrediMailClient noLibrary;
    EXPECT_FALSE(noLibrary.DetectClient());

    ASSERT_TRUE(SampleFile(library, "MZ"));
    CIncrediMailClient installed;
    EXPECT_TRUE(installed.DetectClient());
    EXPECT_EQ(library, installed.ExePath());
    // Installed without identities: no accounts, not shown.
    CIncrediMailClient noIdentities;
    EXPECT_FALSE(noIdentities.LoadClient());
    EXPECT_TRUE(noIdentities.IsInstalled());
}

TEST_F(IncrediMailClient, AccountsOfEveryIdentityWithTheirStates)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    CTestIncrediMail client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(6, client.AccountCount());
    // Grouped by identity; "{B2}" has no "Accounts" key and shifts nothing.
    EXPECT_EQ(Key("{C3}", "{ACC-6}"), client.AccountKeyPath(5));
    EXPECT_EQ("", client.AccountKeyPath(6));

    ExpectAccounts(
        client,
        {
            {"Home", 1, 0, 0, 0, 0, "anna", "pop.mail.example", 110, AUTH_SPA},
            {"Configured", 1, 1, 1, 0, 0, "gus/pop.gus.example[APOP]/110", "localhost", 9110, AUTH_NORMAL},
            {"Old port", 1, 1, 0, 0, 0, "bob/pop.mail.example/995", "LOCALHOST", 8110, AUTH_NORMAL},
            {"Doubtful", 1, 1, 0, 1, 0, "dom/anna", "pop.mail.example", 110, AUTH_NORMAL},
            {"No server", 0, 0, 0, 0, REASON_REGISTRY, "fay", "", 0, AUTH_UNKNOWN},
            // A port stored as text would be replaced by a number on writing: refused instead.
            {"Text port", 0, 0, 0, 0, REASON_REGISTRY, "tom", "pop.mail.example", 0, AUTH_UNKNOWN},
        });
    EXPECT_EQ("gus@gus.example", client.Record(1).email);
    EXPECT_EQ(995, client.Record(2).original.port);
}

TEST_F(IncrediMailClient, ValuesOfTheWrongKindAreRefused)
{
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
        {"port of eight bytes", "PopPort", REG_QWORD, std::string(8, '\0')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SeedIncrediMailSamples(m_context));
        SetHomeValue(row.name, row.type, row.data);
        CTestIncrediMail client;
        ASSERT_TRUE(client.LoadClient());
        EXPECT_FALSE(client.Record(0).supported);
        EXPECT_EQ(REASON_REGISTRY, client.Record(0).reason);
    }
}

TEST_F(IncrediMailClient, ConfigureAndUnconfigureWriteExactValues)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    CTestIncrediMail client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_EQ("anna|pop.mail.example|<missing>|dword:1", PopValues("{A1}", "{ACC-1}"));
    ASSERT_TRUE(client.ConfigureAccount(0));
    EXPECT_EQ("anna/pop.mail.example[SPA]/110|localhost|dword:9110|dword:0", PopValues("{A1}", "{ACC-1}"));
    ASSERT_TRUE(client.UnconfigureAccount(0));
    // The port now exists where it was absent; everything else is as it was.
    EXPECT_EQ("anna|pop.mail.example|dword:110|dword:1", PopValues("{A1}", "{ACC-1}"));
    EXPECT_EQ("smtp.mail.example", Value("{A1}", "{ACC-1}", "SmtpServer"));
    EXPECT_EQ("dword:1", Value("{A1}", "{ACC-1}", "LeaveOnServer"));
    EXPECT_EQ("Home", Value("{A1}", "{ACC-1}", "AccountName"));

    // IncrediMail has no APOP: a decoded APOP account is given back with the plain method.
    ASSERT_TRUE(client.UnconfigureAccount(1));
    EXPECT_EQ("gus|pop.gus.example|dword:110|dword:0", PopValues("{A1}", "{ACC-2}"));
    // Update of an old port keeps the proxy user name.
    ASSERT_TRUE(client.ConfigureAccount(2));
    EXPECT_EQ("bob/pop.mail.example/995|localhost|dword:9110|dword:0", PopValues("{C3}", "{ACC-3}"));

    // Refused accounts are never written.
    EXPECT_FALSE(client.ConfigureAccount(4));
    EXPECT_EQ("fay|<missing>|dword:110|dword:0", PopValues("{C3}", "{ACC-5}"));
}

TEST_F(IncrediMailClient, FailedWritesLeaveTheAccountAsItWas)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    // The account's key went away after reading: it is not created again.
    CTestIncrediMail client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, Key("{C3}", "{ACC-4}").c_str()));
    EXPECT_FALSE(client.WriteAccount(3, 0));
    EXPECT_EQ("<no key>", Value("{C3}", "{ACC-4}", "PopAccount"));
    EXPECT_FALSE(client.WriteAccount(-1, 1));
}

TEST_F(IncrediMailClient, AProxyUserNameTooLongToReadBackIsNotWritten)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    SetHomeValue("PopAccount", REG_SZ, std::string(200, 'u') + '\0');
    SetHomeValue("PopServer", REG_SZ, std::string(55, 's') + ".example" + '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        CTestIncrediMail client;
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(client.Record(0).supported && !client.Record(0).configured);
        ExpectRefused(client, 0, TRUE, [] { return PopValues("{A1}", "{ACC-1}"); });
    }
}
