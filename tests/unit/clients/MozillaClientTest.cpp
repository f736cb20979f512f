// Mozilla (and Netscape, which reads the same profiles): the lines that configuring and unconfiguring write
// in the sample profiles, and every byte given back.
#include "support/ClientChecks.h"

#include "clients/MozillaClient.h"
#include "clients/NetscapeClient.h"
#include "Files.h"
#include "fixtures/SampleWriter.h"

namespace {

class MozillaClients : public CClientTest
{
protected:
    std::string ProfileFile(const std::string& profile) const
    {
        return JoinPath(m_appData, "Mozilla\\Profiles\\" + profile + "\\prefs.js");
    }
    std::string DefaultProfile() const { return ProfileFile("default\\k2l8x0f3.slt"); }
    std::string WorkProfile() const { return ProfileFile("work\\z9y8x7w6.slt"); }

    // The file's text with one whole line (without its line end) replaced.
    static std::string Replaced(const std::string& text, const std::string& line, const std::string& by)
    {
        return ::Replaced(text, line + "\r\n", by + "\r\n");
    }
    // The record of the account with this name, or -1.
    static int FindAccount(const CMailClient& client, const std::string& name)
    {
        for (int i = 0; i < client.AccountCount(); ++i) {
            if (RecordOf(client, i).name == name)
                return i;
        }
        return -1;
    }
};

const char kUser1[] = "user_pref(\"mail.server.server1.userName\", \"mila\");";
const char kHost1[] = "user_pref(\"mail.server.server1.hostname\", \"pop.mail.example\");";
const char kLocalHost1[] = "user_pref(\"mail.server.server1.hostname\", \"localhost\");";

} // namespace

TEST_F(MozillaClients, ConfigureThenUnconfigureGivesEveryLineBack)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    const std::string defaultBefore = FileBytes(DefaultProfile());
    const std::string workBefore = FileBytes(WorkProfile());
    m_port.Set(8110);
    // Several accounts of one file and an account of another profile, one after the other in one object.
    std::vector<int> records;
    {
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        for (const char* name : {"mila@mail.example", "Corporate mail", "Work mail"})
            records.push_back(FindAccount(client, name));
        ExpectUnsupported(client, FindAccount(client, "IMAP mail"), "IMAP mail", REASON_IMAP);
        ExpectUnsupported(client, FindAccount(client, "News"), "News", REASON_NEWS);
    }
    std::string expected = Replaced(
        defaultBefore, kUser1, "user_pref(\"mail.server.server1.userName\", \"mila/pop.mail.example/110\");");
    expected = Replaced(expected, kHost1, kLocalHost1);
    expected = Replaced(
        expected, "user_pref(\"mail.server.server5.userName\", \"CORP\\\\mila \\\"m\\\"\");",
        "user_pref(\"mail.server.server5.userName\", \"CORP\\\\mila \\\"m\\\"/pop.corp.example/995\");");
    expected = Replaced(expected, "user_pref(\"mail.server.server5.hostname\", \"pop.corp.example\");",
                        "user_pref(\"mail.server.server5.hostname\", \"localhost\");");
    expected = Replaced(expected, "user_pref(\"mail.server.server5.port\", 995);",
                        "user_pref(\"mail.server.server5.port\", 8110);");
    expected += "user_pref(\"mail.server.server1.port\", 8110);\r\n";
    // The work profile's last line had no line end; the port line comes after it.
    std::string expectedWork =
        Replaced(workBefore + "\r\n", "user_pref(\"mail.server.server1.userName\", \"m.novak\");",
                 "user_pref(\"mail.server.server1.userName\", \"m.novak/pop.work.example/110\");");
    expectedWork = Replaced(
        expectedWork, "user_pref(\"mail.server.server1.hostname\", \"pop.work.example\");", kLocalHost1);
    expectedWork += "user_pref(\"mail.server.server1.port\", 8110);\r\n";
    // Every line given back; the added port lines stay with the real port, which is the client's default.
    ExpectRoundTrip<CMozillaClient>(
        records, [this] { return FileBytes(DefaultProfile()) + FileBytes(WorkProfile()); },
        expected + expectedWork,
        defaultBefore + "user_pref(\"mail.server.server1.port\", 110);\r\n" + workBefore +
            "\r\nuser_pref(\"mail.server.server1.port\", 110);\r\n");
}

// Mozilla and Netscape read the same profiles: within one load the second takes the first one's reading, and
// the next load reads the files again.
TEST_F(MozillaClients, OneLoadReadsEachProfileOnceForBothClients)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    ASSERT_TRUE(SeedNetscapeSamples(m_context));
    const std::string renamed =
        Replaced(FileBytes(DefaultProfile()), "user_pref(\"mail.server.server5.name\", \"Corporate mail\");",
                 "user_pref(\"mail.server.server5.name\", \"Corporate box\");");
    {
        CLoadContext load;
        CMozillaClient mozilla;
        ASSERT_TRUE(mozilla.LoadClient(&load));
        ASSERT_TRUE(plat::ReplaceWholeFile(DefaultProfile().c_str(), renamed));
        CNetscapeClient netscape;
        ASSERT_TRUE(netscape.LoadClient(&load));
        EXPECT_GE(FindAccount(netscape, "Corporate mail"), 0);
        EXPECT_EQ(-1, FindAccount(netscape, "Corporate box"));
    }
    CNetscapeClient later;
    ASSERT_TRUE(later.LoadClient());
    EXPECT_EQ(-1, FindAccount(later, "Corporate mail"));
    EXPECT_GE(FindAccount(later, "Corporate box"), 0);
}
