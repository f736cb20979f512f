// IncrediMail: detection through its component, accounts of all identities, exact values written, failed
// writes.
#include "support/ClientChecks.h"
#include "support/TestScopes.h"

#include "clients/IncrediMailClient.h"
#include "fixtures/SampleStores.h"
#include "fixtures/SampleWriter.h"
#include "Registry.h"

#include <gtest/gtest.h>

namespace {

const char kClassId[] = "{5F3A1C2E-7B44-4E0D-9A61-0C8D2B7E4F19}";
const char kComponentKey[] = "Software\\Classes\\IncrediMail.Kernel";
const char kIdentities[] = "Software\\Incredimail\\Identities";
const DWORD kProxyPort = 9110;

// The adapter with its records in reach, and with writes that can be made to fail after a number of them.
class CTestIncrediMail : public CIncrediMailClient
{
public:
    AccountInfo& Record(int index) { return Account(index); }
    int m_writesBeforeFailure = -1;

protected:
    LONG SetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size) override
    {
        if (m_writesBeforeFailure == 0)
            return ERROR_ACCESS_DENIED;
        if (m_writesBeforeFailure > 0)
            --m_writesBeforeFailure;
        return CIncrediMailClient::SetValue(key, name, type, data, size);
    }
};

class IncrediMailClient : public ::testing::Test
{
protected:
    IncrediMailClient()
        : m_registry({{HKEY_CURRENT_USER, "Software\\Incredimail"},
                      {HKEY_LOCAL_MACHINE, kComponentKey},
                      {HKEY_CLASSES_ROOT, std::string("CLSID\\") + kClassId}}),
          m_port(kProxyPort)
    {
        m_context.root = m_folder.Path();
        m_context.proxyPort = static_cast<int>(kProxyPort);
    }

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

    CRegistryScope m_registry;
    CProxyPortScope m_port;
    CTestFolder m_folder;
    SampleContext m_context;
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
    EXPECT_EQ(Key("{A1}", "{ACC-1}"), client.AccountKeyPath(0));
    EXPECT_EQ(Key("{A1}", "{ACC-2}"), client.AccountKeyPath(1));
    EXPECT_EQ(Key("{C3}", "{ACC-3}"), client.AccountKeyPath(2));
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
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    const std::string home = Key("{A1}", "{ACC-1}");
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
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, home.c_str(), KEY_ALL_ACCESS, &key));
        ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key, row.name, row.type, row.data.data(),
                                                static_cast<DWORD>(row.data.size())));
        plat::RegClose(key);
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

    CTestIncrediMail reread;
    ASSERT_TRUE(reread.LoadClient());
    EXPECT_FALSE(reread.Record(0).configured);
    EXPECT_EQ(AUTH_SPA, reread.Record(0).current.authMode);
    EXPECT_TRUE(reread.Record(2).configured && reread.Record(2).upToDate);
    // Refused accounts are never written.
    EXPECT_FALSE(reread.ConfigureAccount(4));
    EXPECT_EQ("fay|<missing>|dword:110|dword:0", PopValues("{C3}", "{ACC-5}"));
}

TEST_F(IncrediMailClient, FailedWritesLeaveTheAccountAsItWas)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    const std::string before = PopValues("{A1}", "{ACC-1}");
    // Each write in turn fails: the values written before it are put back, an absent port stays absent.
    for (int failAt = 0; failAt < 4; ++failAt) {
        SCOPED_TRACE(failAt);
        CTestIncrediMail client;
        ASSERT_TRUE(client.LoadClient());
        client.m_writesBeforeFailure = failAt;
        EXPECT_FALSE(client.ConfigureAccount(0));
        EXPECT_FALSE(client.Record(0).configured);
        EXPECT_EQ(before, PopValues("{A1}", "{ACC-1}"));
    }

    // The account's key went away after reading: it is not created again.
    CTestIncrediMail client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, Key("{C3}", "{ACC-4}").c_str()));
    EXPECT_FALSE(client.WriteAccount(3, 0));
    EXPECT_EQ("<no key>", Value("{C3}", "{ACC-4}", "PopAccount"));
    EXPECT_FALSE(client.WriteAccount(6, 0));
    EXPECT_FALSE(client.WriteAccount(-1, 1));
}

TEST_F(IncrediMailClient, AProxyUserNameTooLongToReadBackIsNotWritten)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegOpen(HKEY_CURRENT_USER, Key("{A1}", "{ACC-1}").c_str(), KEY_WRITE, &key));
    const std::string longName(200, 'u');
    const std::string longServer = std::string(55, 's') + ".example";
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key, "PopAccount", REG_SZ, longName.c_str(),
                                            static_cast<DWORD>(longName.size() + 1)));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key, "PopServer", REG_SZ, longServer.c_str(),
                                            static_cast<DWORD>(longServer.size() + 1)));
    plat::RegClose(key);
    const std::string before = PopValues("{A1}", "{ACC-1}");
    CTestIncrediMail client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_TRUE(client.Record(0).supported);
    EXPECT_FALSE(client.ConfigureAccount(0));
    EXPECT_EQ(before, PopValues("{A1}", "{ACC-1}"));
    CTestIncrediMail reread;
    ASSERT_TRUE(reread.LoadClient());
    EXPECT_TRUE(reread.Record(0).supported && !reread.Record(0).configured);
}
