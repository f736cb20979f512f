// Outlook Express and Outlook: detection, the sample user's accounts and the exact values written.
#include "support/ClientChecks.h"

#include "Environment.h"
#include "Files.h"
#include "RegKey.h"
#include "Registry.h"
#include "clients/OutlookClient.h"
#include "clients/OutlookExpressClient.h"
#include "fixtures/SampleWriter.h"

namespace {

const char kOeAccounts[] = "Software\\Microsoft\\Internet Account Manager\\Accounts";
const char kOeInstall[] = "Software\\Microsoft\\Outlook Express";

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

typedef CWithRecords<COutlookExpressClient> CTestOutlookExpress;

} // namespace

TEST_F(OutlookClients, DetectionFollowsInstallRoot)
{
    COutlookExpressClient none;
    EXPECT_FALSE(none.LoadClient());
    EXPECT_FALSE(none.IsInstalled());

    // The client is a 32-bit program: an installation recorded only in the 64-bit view is not its own.
    ASSERT_TRUE(SampleFile(m_folder / "OE\\msimn.exe", "MZ"));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegCreate(HKEY_LOCAL_MACHINE, kOeInstall, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key));
    const std::string folder = m_folder / "OE";
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key, "InstallRoot", REG_SZ, folder.c_str(),
                                            static_cast<DWORD>(folder.size() + 1)));
    plat::RegClose(key);
    COutlookExpressClient only64;
    EXPECT_FALSE(only64.DetectClient());
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_LOCAL_MACHINE, "Software\\Microsoft",
                                           KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(key, "Outlook Express"));
    plat::RegClose(key);

    // An expandable folder is expanded before the program name is added; a plain one is taken as written.
    ASSERT_TRUE(plat::SetEnvironmentValue("NIMBREL_TEST_OE", m_folder.Path().c_str()));
    ASSERT_TRUE(SampleRegString(HKEY_LOCAL_MACHINE, kOeInstall, "InstallRoot", "%NIMBREL_TEST_OE%\\OE",
                                REG_EXPAND_SZ));
    COutlookExpressClient expanded;
    EXPECT_TRUE(expanded.DetectClient());
    EXPECT_EQ(m_folder / "OE\\msimn.exe", expanded.ExePath());
    ASSERT_TRUE(SampleRegString(HKEY_LOCAL_MACHINE, kOeInstall, "InstallRoot", "%NIMBREL_TEST_OE%\\OE"));
    COutlookExpressClient literal;
    EXPECT_FALSE(literal.DetectClient());
    EXPECT_EQ("%NIMBREL_TEST_OE%\\OE\\msimn.exe", literal.ExePath());
    plat::SetEnvironmentValue("NIMBREL_TEST_OE", nullptr);

    // Installed but without accounts: not shown.
    ASSERT_TRUE(SampleRegString(HKEY_LOCAL_MACHINE, kOeInstall, "InstallRoot", m_folder / "OE"));
    COutlookExpressClient noAccounts;
    EXPECT_FALSE(noAccounts.LoadClient());
    EXPECT_TRUE(noAccounts.IsInstalled());
}

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

TEST_F(OutlookClients, SampleAccountsReadWithTheirStates)
{
    ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
    CTestOutlookExpress client;
    ASSERT_TRUE(client.LoadClient());
    // Numbered subkeys only; "Settings" and the hex-named key are not accounts.
    ASSERT_EQ(8, client.AccountCount());

    ExpectAccounts(
        client,
        {
            {"Home mail", 1, 0, 0, 0, 0, "anna", "pop.mail.example", 110, AUTH_NORMAL},
            {"Office (SPA)", 1, 0, 0, 0, 0, "anna.k", "pop.office.example", 995, AUTH_SPA},
            {"Work IMAP", 0, 0, 0, 0, REASON_IMAP, "anna.work", "", 0, AUTH_UNKNOWN, PROTOCOL_IMAP},
            {"Old port", 1, 1, 0, 0, 0, "bob/pop.mail.example[APOP]/110", "localhost", 8110, AUTH_NORMAL},
            {"Doubtful", 1, 1, 0, 1, 0, "dom/anna", "pop.mail.example", 110, AUTH_NORMAL},
            {"Slash server", 0, 0, 0, 0, REASON_SLASH, "eve", "pop/mail.example", 110, AUTH_NORMAL},
            {"No server", 0, 0, 0, 0, REASON_REGISTRY, "fay", "", 0, AUTH_UNKNOWN},
            {"Configured", 1, 1, 1, 0, 0, "gus/pop.gus.example/110", "LocalHost", 110, AUTH_NORMAL},
        });
    EXPECT_EQ("anna@mail.example", client.Record(0).email);
}

TEST_F(OutlookClients, ConfigureAndUnconfigureWriteExactlyTheirValues)
{
    ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
    m_port.Set(8110);
    // The first has no port value and no SPA flag, the second an SPA flag of 0; a missing port may be added.
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

TEST_F(OutlookClients, WriteAccountGuardsItsIndexAndSource)
{
    ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
    CTestOutlookExpress client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_FALSE(client.WriteAccount(-1, 0));
    EXPECT_EQ("anna", Value("00000001", "POP3 User Name"));

    // Any source but 1 writes current.
    client.Record(0).current.userName = "current-name";
    client.Record(0).original.userName = "original-name";
    ASSERT_TRUE(client.WriteAccount(0, 2));
    EXPECT_EQ("current-name", Value("00000001", "POP3 User Name"));
    ASSERT_TRUE(client.WriteAccount(0, 1));
    EXPECT_EQ("original-name", Value("00000001", "POP3 User Name"));

    // The account's key vanished after loading: the write fails, the record stays as it was.
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegRemoveTree(HKEY_CURRENT_USER, (std::string(kOeAccounts) + "\\00000008").c_str()));
    ExpectRefused(client, 7, FALSE, [] { return Value("00000008", "POP3 User Name"); });
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
    for (int index : {0, 1}) {
        EXPECT_FALSE(RecordOf(client, index).supported) << index;
        EXPECT_EQ(REASON_REGISTRY, RecordOf(client, index).reason) << index;
        ExpectRefused(client, index, TRUE, PopValues);
    }

    // A user name and server that read whole, but whose proxy user name would not: configuring must not leave
    // the real settings in a value the program then refuses to read.
    ASSERT_EQ(ERROR_SUCCESS,
              key.Open(HKEY_CURRENT_USER, (std::string(kOeAccounts) + "\\00000001").c_str(), KEY_WRITE));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(key.Get(), "POP3 Use Sicily"));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString("POP3 User Name", std::string(200, 'u')));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString("POP3 Server", std::string(55, 's') + ".example"));
    key.Close();
    for (int attempt = 0; attempt < 2; ++attempt) {
        COutlookExpressClient longName;
        ASSERT_TRUE(longName.LoadClient());
        ASSERT_TRUE(RecordOf(longName, 0).supported);
        EXPECT_FALSE(RecordOf(longName, 0).configured);
        ExpectRefused(longName, 0, TRUE, PopValues);
    }
}
