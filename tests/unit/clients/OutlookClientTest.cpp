// Outlook Express and Outlook: Outlook found through Office, the exact values written and given back (Outlook
// keeps its accounts as Outlook Express does), and accounts left alone because they are no POP3 accounts or
// could not be given back whole.
#include "support/ClientChecks.h"

#include "RegKey.h"
#include "Registry.h"
#include "clients/OutlookClient.h"
#include "clients/OutlookExpressClient.h"
#include "fixtures/SampleWriter.h"

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
