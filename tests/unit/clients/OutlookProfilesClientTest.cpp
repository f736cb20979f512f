// Outlook 2007 to 365: found through its App Paths entry in either registry view, every kind of profile
// account read, the exact values written by configuring and giving back, and damaged text values refused.
#include "support/ClientChecks.h"

#include "RegKey.h"
#include "Registry.h"
#include "clients/OutlookProfilesClient.h"
#include "clients/Utf16Value.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

#include <cstdio>
#include <cstring>

namespace {

const char kAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
const char kOldProfile[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles\\Old profile";
const char kMainAccounts[] =
    "Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles\\Outlook\\9375CFF0413111d3B88A00104B2A6676";

// Records in load order: the older root's profile first, then the main profile's subkeys by name.
enum
{
    HOME = 0,
    PLAIN,
    SPA,
    SSL,
    STLS,
    CONFIGURED,
    OLD_PORT,
    DOUBTFUL,
    IMAP,
    ODD,
    CUT,
    WRONG_TYPE,
    RECORD_COUNT
};

// One value as text: UTF-16 text as "bin:<text>", other binary as hex, DWORDs as "dword:N".
std::string ValueText(HKEY key, const char* name)
{
    DWORD type = REG_NONE;
    char data[4096];
    DWORD size = sizeof(data);
    if (plat::RegQuery(key, name, &type, data, &size) != ERROR_SUCCESS)
        return "<missing>";
    if (type == REG_DWORD && size == 4) {
        DWORD value = 0;
        std::memcpy(&value, data, 4);
        return "dword:" + std::to_string(value);
    }
    std::string text;
    if (type == REG_BINARY && DecodeUtf16Value(std::string(data, size), text))
        return "bin:" + text;
    text = "type" + std::to_string(type) + ":";
    for (DWORD i = 0; i < size; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof(hex), "%02x", static_cast<unsigned char>(data[i]));
        text += hex;
    }
    return text;
}

std::string Value(const char* account, const char* name)
{
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, (std::string(kMainAccounts) + "\\" + account).c_str(), KEY_READ) !=
        ERROR_SUCCESS)
        return "<no key>";
    return ValueText(key.Get(), name);
}

// Every value of every subkey below path, with its type and bytes.
std::string TreeText(const std::string& path)
{
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return "<no key>";
    std::string text = "[" + path + "]";
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD length = sizeof(name);
        if (plat::RegValueAt(key.Get(), i, name, &length, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        text += std::string(name, length) + "=" + ValueText(key.Get(), name) + ";";
    }
    DWORD count = 0;
    plat::RegCountSubkeys(key.Get(), &count, nullptr);
    for (DWORD i = 0; i < count; ++i) {
        char name[512];
        DWORD length = sizeof(name);
        if (plat::RegSubkeyName(key.Get(), i, name, &length) == ERROR_SUCCESS)
            text += TreeText(path + "\\" + std::string(name, length));
    }
    return text;
}

std::string WholeStore()
{
    return TreeText(kMainAccounts) + TreeText(kOldProfile);
}

class OutlookProfiles : public CClientTest
{
protected:
    void Seed() { ASSERT_TRUE(SeedOutlookProfilesSamples(m_context)); }
    static void SpeakTls()
    {
        ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, NIMBREL_PROXY_TLS_VALUE, 1));
    }
    // The values the adapter writes, of the accounts given.
    static StoreText PopValues(std::vector<const char*> accounts)
    {
        return [accounts]() {
            std::string text;
            for (const char* account : accounts) {
                for (const char* name : {"POP3 User", "POP3 Server", "POP3 Port", "POP3 Use SPA",
                                         "POP3 Use SSL", "POP3 Secure Connection"})
                    text += Value(account, name) + "|";
                text += " ";
            }
            return text;
        };
    }
};

} // namespace

TEST_F(OutlookProfiles, FoundThroughAppPathsInEitherViewWhenTheProgramExists)
{
    const std::string program = m_folder / "Office16\\OUTLOOK.EXE";
    // Named, but the program is not there.
    ASSERT_TRUE(SampleRegString(HKEY_LOCAL_MACHINE, kAppPath, nullptr, program));
    EXPECT_FALSE(COutlookProfilesClient().DetectClient());
    ASSERT_TRUE(SampleFile(program, "MZ"));
    COutlookProfilesClient thirtyTwo;
    EXPECT_TRUE(thirtyTwo.DetectClient());
    EXPECT_EQ(program, thirtyTwo.ExePath());
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_LOCAL_MACHINE, kAppPath));
    EXPECT_FALSE(COutlookProfilesClient().DetectClient());

    // A 64-bit Office writes the 64-bit view only.
    const std::string program64 = m_folder / "Office16 x64\\OUTLOOK.EXE";
    ASSERT_TRUE(SampleFile(program64, "MZ"));
    {
        plat::CRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, kAppPath, KEY_ALL_ACCESS | KEY_WOW64_64KEY));
        ASSERT_EQ(ERROR_SUCCESS, key.SetString(nullptr, program64));
    }
    COutlookProfilesClient sixtyFour;
    EXPECT_TRUE(sixtyFour.DetectClient());
    EXPECT_EQ(program64, sixtyFour.ExePath());
    // Windows under Wine shares App Paths between the views; where they are apart, the 64-bit one wins.
    const BOOL shared = RegValueText(HKEY_LOCAL_MACHINE, kAppPath, nullptr) == program64;
    ASSERT_TRUE(SampleRegString(HKEY_LOCAL_MACHINE, kAppPath, nullptr, program));
    COutlookProfilesClient both;
    EXPECT_TRUE(both.DetectClient());
    EXPECT_EQ(shared ? program : program64, both.ExePath());

    plat::CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, kAppPath, KEY_ALL_ACCESS | KEY_WOW64_64KEY));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(key.Get(), nullptr));
}

TEST_F(OutlookProfiles, EveryKindOfAccountIsReadWithItsState)
{
    Seed();
    COutlookProfilesClient client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(RECORD_COUNT, client.AccountCount());

    AccountInfo home = RecordOf(client, HOME);
    EXPECT_EQ("Home mail (Old profile)", home.name);
    EXPECT_EQ("home@mail.example", home.email);
    EXPECT_TRUE(home.supported && !home.configured);
    const AccountInfo plain = RecordOf(client, PLAIN);
    EXPECT_EQ("Plain (Outlook)", plain.name);
    EXPECT_EQ("anna", plain.current.userName);
    EXPECT_EQ("pop.mail.example", plain.current.server);
    EXPECT_EQ(110, plain.current.port);
    EXPECT_TRUE(plain.supported && !plain.configured);
    const AccountInfo spa = RecordOf(client, SPA);
    EXPECT_EQ("CORP\\otto", spa.current.userName);
    EXPECT_EQ(AUTH_SPA, spa.current.authMode);
    EXPECT_TRUE(spa.supported);
    // Secure accounts are refused while the proxy speaks plain POP3 only.
    ExpectUnsupported(client, SSL, "With SSL (Outlook)", REASON_SECURE);
    EXPECT_EQ(PROXY_SECURE_SSL, RecordOf(client, SSL).current.secure);
    ExpectUnsupported(client, STLS, "With STARTTLS (Outlook)", REASON_SECURE);
    EXPECT_EQ(PROXY_SECURE_STLS, RecordOf(client, STLS).current.secure);
    const AccountInfo configured = RecordOf(client, CONFIGURED);
    EXPECT_TRUE(configured.configured && configured.upToDate && configured.supported);
    EXPECT_EQ("gus", configured.original.userName);
    EXPECT_EQ("pop.gus.example", configured.original.server);
    const AccountInfo oldPort = RecordOf(client, OLD_PORT);
    EXPECT_TRUE(oldPort.configured && !oldPort.upToDate && oldPort.supported);
    EXPECT_EQ(AUTH_SPA, oldPort.original.authMode);
    EXPECT_TRUE(RecordOf(client, DOUBTFUL).suspicious);
    ExpectUnsupported(client, IMAP, "Work IMAP (Outlook)", REASON_IMAP);
    // Text values that could not be written back as they were.
    EXPECT_EQ(REASON_REGISTRY, RecordOf(client, ODD).reason);
    EXPECT_FALSE(RecordOf(client, ODD).supported);
    EXPECT_EQ(REASON_REGISTRY, RecordOf(client, CUT).reason);
    EXPECT_FALSE(RecordOf(client, CUT).supported);
    EXPECT_EQ(REASON_REGISTRY, RecordOf(client, WRONG_TYPE).reason);
    EXPECT_FALSE(RecordOf(client, WRONG_TYPE).supported);

    std::string store, identity;
    ASSERT_TRUE(client.LocateAccount(SPA, store, identity));
    EXPECT_EQ(std::string("HKEY_CURRENT_USER\\") + kMainAccounts + "\\00000002", store);
    EXPECT_EQ("00000002", identity);
    EXPECT_FALSE(client.LocateAccount(RECORD_COUNT, store, identity));

    // A single profile shows the account names alone.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, kOldProfile));
    COutlookProfilesClient single;
    ASSERT_TRUE(single.LoadClient());
    EXPECT_EQ("Plain", RecordOf(single, 0).name);
}

TEST_F(OutlookProfiles, ConfigureAndUnconfigureWriteExactlyTheirValues)
{
    Seed();
    UseProxyPort(8110);
    ExpectRoundTrip<COutlookProfilesClient>(
        {PLAIN, SPA}, PopValues({"00000001", "00000002"}),
        "bin:anna/pop.mail.example/110|bin:localhost|dword:8110|<missing>|<missing>|<missing>| "
        "bin:CORP\\otto/mail.corp.example[SPA]/"
        "110|bin:localhost|dword:8110|<missing>|dword:0|<missing>| ",
        "bin:anna|bin:pop.mail.example|dword:110|<missing>|<missing>|<missing>| "
        "bin:CORP\\otto|bin:mail.corp.example|dword:110|dword:1|dword:0|<missing>| ");
}

TEST_F(OutlookProfiles, SecureAccountsTurnPlainTowardsTheProxyAndComeBackAsStored)
{
    Seed();
    // Nothing is written while the proxy cannot carry them.
    {
        const std::string before = WholeStore();
        COutlookProfilesClient client;
        ASSERT_TRUE(client.LoadClient());
        EXPECT_FALSE(client.ConfigureAccount(SSL));
        EXPECT_FALSE(client.ConfigureAccount(STLS));
        EXPECT_EQ(before, WholeStore());
    }
    SpeakTls();
    ExpectRoundTrip<COutlookProfilesClient>(
        {SSL, STLS}, PopValues({"00000003", "00000004"}),
        "bin:sue/pop.ssl.example[SSL]/995|bin:localhost|dword:110|dword:0|dword:0|<missing>| "
        "bin:tim/pop.tls.example[STLS]/110|bin:localhost|dword:110|<missing>|dword:0|dword:0| ",
        "bin:sue|bin:pop.ssl.example|dword:995|dword:0|dword:1|<missing>| "
        "bin:tim|bin:pop.tls.example|dword:110|<missing>|dword:0|dword:1| ");

    // SSL turned on again after configuring: not up to date, and updating repairs it.
    {
        COutlookProfilesClient client;
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(client.ConfigureAccount(SSL));
    }
    ASSERT_TRUE(
        SampleRegDword(HKEY_CURRENT_USER, std::string(kMainAccounts) + "\\00000003", "POP3 Use SSL", 1));
    COutlookProfilesClient client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_TRUE(RecordOf(client, SSL).configured);
    EXPECT_FALSE(RecordOf(client, SSL).upToDate);
    ASSERT_TRUE(client.ConfigureAccount(SSL));
    EXPECT_EQ("dword:0", Value("00000003", "POP3 Use SSL"));
}

TEST_F(OutlookProfiles, RoundTripLeavesEveryValueOfEveryKeyAsItWas)
{
    Seed();
    SpeakTls();
    const std::string before = WholeStore();
    {
        COutlookProfilesClient client;
        ASSERT_TRUE(client.LoadClient());
        for (int index : {HOME, PLAIN, SPA, SSL, STLS})
            ASSERT_TRUE(client.ConfigureAccount(index)) << index;
        // Damaged and unsupported ones are refused, their keys untouched.
        for (int index : {IMAP, ODD, CUT, WRONG_TYPE})
            EXPECT_FALSE(client.ConfigureAccount(index)) << index;
    }
    EXPECT_NE(before, WholeStore());
    {
        COutlookProfilesClient client;
        ASSERT_TRUE(client.LoadClient());
        for (int index : {HOME, PLAIN, SPA, SSL, STLS})
            ASSERT_TRUE(client.UnconfigureAccount(index)) << index;
    }
    // The one change: a port that was absent (110) is given back as the number.
    EXPECT_EQ(
        Replaced(before, "POP3 Password=type3:010200ff10;POP3 Server=bin:pop.mail.example;POP3 User=bin:anna",
                 "POP3 Password=type3:010200ff10;POP3 Port=dword:110;POP3 Server=bin:pop.mail.example;POP3 "
                 "User=bin:anna"),
        WholeStore());
    EXPECT_EQ("type3:0102"
              "00ff10",
              Value("00000001", "POP3 Password"));
}

// "POP3 Secure Connection" wins over the older flag, and within one load both come back exactly as stored,
// unusual numbers included.
TEST_F(OutlookProfiles, TheNewerSecureSettingWinsAndBothComeBackExactly)
{
    Seed();
    const std::string plain = std::string(kMainAccounts) + "\\00000001";
    ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, plain, "POP3 Use SSL", 1));
    ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, plain, "POP3 Secure Connection", 0));
    const std::string ssl = std::string(kMainAccounts) + "\\00000003";
    ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, ssl, "POP3 Use SSL", 7));
    ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, ssl, "POP3 Secure Connection", 2));
    SpeakTls();
    const std::string before = WholeStore();

    COutlookProfilesClient client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_EQ(PROXY_SECURE_NONE, RecordOf(client, PLAIN).current.secure);
    EXPECT_EQ(PROXY_SECURE_SSL, RecordOf(client, SSL).current.secure);
    ASSERT_TRUE(client.ConfigureAccount(PLAIN));
    ASSERT_TRUE(client.ConfigureAccount(SSL));
    // A plain account's secure values are not its to change; a secure one's are both turned off.
    EXPECT_EQ("dword:1|dword:0",
              Value("00000001", "POP3 Use SSL") + "|" + Value("00000001", "POP3 Secure Connection"));
    EXPECT_EQ("dword:0|dword:0",
              Value("00000003", "POP3 Use SSL") + "|" + Value("00000003", "POP3 Secure Connection"));
    ASSERT_TRUE(client.UnconfigureAccount(PLAIN));
    ASSERT_TRUE(client.UnconfigureAccount(SSL));
    EXPECT_EQ(Replaced(before, "POP3 Password=type3:010200ff10;POP3 Secure Connection=dword:0;",
                       "POP3 Password=type3:010200ff10;POP3 Port=dword:110;POP3 Secure Connection=dword:0;"),
              WholeStore());
}

// A secure-connection number the client does not write could still mean TLS: the account is left alone.
TEST_F(OutlookProfiles, AnUnknownSecureConnectionNumberIsLeftAlone)
{
    Seed();
    const std::string plain = std::string(kMainAccounts) + "\\00000001";
    ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, plain, "POP3 Secure Connection", 3));
    SpeakTls();
    const std::string before = WholeStore();
    COutlookProfilesClient client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_FALSE(RecordOf(client, PLAIN).supported);
    EXPECT_EQ(REASON_REGISTRY, RecordOf(client, PLAIN).reason);
    EXPECT_FALSE(client.ConfigureAccount(PLAIN));
    EXPECT_EQ(before, WholeStore());
}
