// Mozilla and Netscape accounts that reach their server over TLS: left alone unless the proxy speaks TLS,
// then turned plain towards the proxy and given back with their own secure setting.
#include "support/ClientChecks.h"

#include "clients/MozillaClient.h"
#include "clients/NetscapeClient.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

namespace {

// SSL through socketType without a port (995 is implied), STARTTLS-when-available without a port, and an
// old profile's isSecure with its port.
const char kSecureProfile[] =
    "// Mozilla User Preferences\r\n"
    "user_pref(\"mail.accountmanager.accounts\", \"account1,account2,account3\");\r\n"
    "user_pref(\"mail.account.account1.identities\", \"id1\");\r\n"
    "user_pref(\"mail.account.account1.server\", \"server1\");\r\n"
    "user_pref(\"mail.account.account2.identities\", \"id2\");\r\n"
    "user_pref(\"mail.account.account2.server\", \"server2\");\r\n"
    "user_pref(\"mail.account.account3.identities\", \"id3\");\r\n"
    "user_pref(\"mail.account.account3.server\", \"server3\");\r\n"
    "user_pref(\"mail.identity.id1.useremail\", \"sara@ssl.example\");\r\n"
    "user_pref(\"mail.identity.id2.useremail\", \"tom@stls.example\");\r\n"
    "user_pref(\"mail.identity.id3.useremail\", \"olga@old.example\");\r\n"
    "user_pref(\"mail.server.server1.name\", \"SSL mail\");\r\n"
    "user_pref(\"mail.server.server1.type\", \"pop3\");\r\n"
    "user_pref(\"mail.server.server1.userName\", \"sara\");\r\n"
    "user_pref(\"mail.server.server1.hostname\", \"pop.ssl.example\");\r\n"
    "user_pref(\"mail.server.server1.socketType\", 3);\r\n"
    "user_pref(\"mail.server.server2.name\", \"STLS mail\");\r\n"
    "user_pref(\"mail.server.server2.type\", \"pop3\");\r\n"
    "user_pref(\"mail.server.server2.userName\", \"tom\");\r\n"
    "user_pref(\"mail.server.server2.hostname\", \"pop.stls.example\");\r\n"
    "user_pref(\"mail.server.server2.socketType\", 1);\r\n"
    "user_pref(\"mail.server.server3.name\", \"Old SSL mail\");\r\n"
    "user_pref(\"mail.server.server3.type\", \"pop3\");\r\n"
    "user_pref(\"mail.server.server3.userName\", \"olga\");\r\n"
    "user_pref(\"mail.server.server3.hostname\", \"pop.old.example\");\r\n"
    "user_pref(\"mail.server.server3.port\", 995);\r\n"
    "user_pref(\"mail.server.server3.isSecure\", true);\r\n";

const char* const kNames[] = {"SSL mail", "STLS mail", "Old SSL mail"};

class MozillaSecure : public CClientTest
{
protected:
    MozillaSecure()
    {
        EXPECT_TRUE(SeedMozillaSamples(m_context));
        EXPECT_TRUE(SeedNetscapeSamples(m_context));
        EXPECT_TRUE(SampleFile(Profile(), kSecureProfile));
    }
    std::string Profile() const
    {
        return JoinPath(m_appData, "Mozilla\\Profiles\\secure\\s3c4r5e6.slt\\prefs.js");
    }
    static void SpeakTls()
    {
        ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, NIMBREL_PROXY_TLS_VALUE, 1));
    }
    static int FindAccount(const CMailClient& client, const std::string& name)
    {
        for (int i = 0; i < client.AccountCount(); ++i) {
            if (RecordOf(client, i).name == name)
                return i;
        }
        return -1;
    }
    static std::vector<int> Records(const CMailClient& client)
    {
        std::vector<int> records;
        for (const char* name : kNames)
            records.push_back(FindAccount(client, name));
        return records;
    }
    static std::string Line(const std::string& server, const std::string& setting, const std::string& value)
    {
        return "user_pref(\"mail.server." + server + "." + setting + "\", " + value + ");\r\n";
    }
    // The profile as configuring with the proxy on port 110 leaves it.
    static std::string Configured()
    {
        std::string text = kSecureProfile;
        text = Replaced(text, Line("server1", "userName", "\"sara\""),
                        Line("server1", "userName", "\"sara/pop.ssl.example[SSL]/995\""));
        text = Replaced(text, Line("server1", "hostname", "\"pop.ssl.example\""),
                        Line("server1", "hostname", "\"localhost\""));
        text = Replaced(text, Line("server1", "socketType", "3"), Line("server1", "socketType", "0"));
        text = Replaced(text, Line("server2", "userName", "\"tom\""),
                        Line("server2", "userName", "\"tom/pop.stls.example[STLS]/110\""));
        text = Replaced(text, Line("server2", "hostname", "\"pop.stls.example\""),
                        Line("server2", "hostname", "\"localhost\""));
        text = Replaced(text, Line("server2", "socketType", "1"), Line("server2", "socketType", "0"));
        text = Replaced(text, Line("server3", "userName", "\"olga\""),
                        Line("server3", "userName", "\"olga/pop.old.example[SSL]/995\""));
        text = Replaced(text, Line("server3", "hostname", "\"pop.old.example\""),
                        Line("server3", "hostname", "\"localhost\""));
        text = Replaced(text, Line("server3", "port", "995"), Line("server3", "port", "110"));
        text = Replaced(text, Line("server3", "isSecure", "true"), Line("server3", "isSecure", "false"));
        return text;
    }
};

} // namespace

// Both clients read the kind and its stored form; without a proxy that speaks TLS nothing is written.
TEST_F(MozillaSecure, SecureAccountsAreLeftAloneUnlessTheProxySpeaksTls)
{
    CMozillaClient mozilla;
    CNetscapeClient netscape;
    for (CMailClient* client : {static_cast<CMailClient*>(&mozilla), static_cast<CMailClient*>(&netscape)}) {
        ASSERT_TRUE(client->LoadClient());
        const std::vector<int> records = Records(*client);
        const AccountInfo ssl = RecordOf(*client, records[0]);
        EXPECT_EQ(PROXY_SECURE_SSL, ssl.current.secure);
        EXPECT_EQ("socketType=3", ssl.current.secureStored);
        EXPECT_EQ(995, ssl.current.port);
        const AccountInfo stls = RecordOf(*client, records[1]);
        EXPECT_EQ(PROXY_SECURE_STLS, stls.current.secure);
        EXPECT_EQ("socketType=1", stls.current.secureStored);
        EXPECT_EQ(110, stls.current.port);
        const AccountInfo old = RecordOf(*client, records[2]);
        EXPECT_EQ(PROXY_SECURE_SSL, old.current.secure);
        EXPECT_EQ("isSecure=true", old.current.secureStored);
        for (size_t i = 0; i < records.size(); ++i) {
            ExpectUnsupported(*client, records[i], kNames[i], REASON_SECURE);
            ExpectRefused(*client, records[i], TRUE, BytesOf(Profile()));
        }
    }
    EXPECT_EQ(kSecureProfile, FileBytes(Profile()));
}

// Configured plain towards the proxy with the kind in the tag; given back byte for byte in the same load.
TEST_F(MozillaSecure, ConfigureTurnsTlsOffAndTheSameLoadGivesEveryByteBack)
{
    SpeakTls();
    CMozillaClient client;
    ASSERT_TRUE(client.LoadClient());
    const std::vector<int> records = Records(client);
    for (int index : records) {
        ASSERT_TRUE(client.ConfigureAccount(index)) << index;
        const AccountInfo a = RecordOf(client, index);
        EXPECT_TRUE(a.configured && a.upToDate) << index;
    }
    EXPECT_EQ(Configured(), FileBytes(Profile()));
    for (int index : records)
        ASSERT_TRUE(client.UnconfigureAccount(index)) << index;
    EXPECT_EQ(kSecureProfile, FileBytes(Profile()));
}

// A later run knows the kind from the proxy user name alone and writes the client's usual setting for it.
TEST_F(MozillaSecure, AFreshLoadGivesBackTheUsualSettingForTheKind)
{
    SpeakTls();
    {
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        for (int index : Records(client))
            ASSERT_TRUE(client.ConfigureAccount(index)) << index;
    }
    CNetscapeClient later;
    ASSERT_TRUE(later.LoadClient());
    for (int index : Records(later)) {
        const AccountInfo a = RecordOf(later, index);
        EXPECT_TRUE(a.configured && a.upToDate) << index;
        ASSERT_TRUE(later.UnconfigureAccount(index)) << index;
    }
    // STARTTLS-when-available comes back as STARTTLS, the one form the proxy name keeps.
    EXPECT_EQ(
        Replaced(kSecureProfile, Line("server2", "socketType", "1"), Line("server2", "socketType", "2")),
        FileBytes(Profile()));
    CMozillaClient check;
    ASSERT_TRUE(check.LoadClient());
    const std::vector<int> records = Records(check);
    EXPECT_EQ(PROXY_SECURE_SSL, RecordOf(check, records[0]).current.secure);
    EXPECT_EQ(PROXY_SECURE_STLS, RecordOf(check, records[1]).current.secure);
    EXPECT_EQ(PROXY_SECURE_SSL, RecordOf(check, records[2]).current.secure);
    EXPECT_FALSE(RecordOf(check, records[0]).configured);
}
