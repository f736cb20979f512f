// Mozilla and Netscape: the lines that configuring and unconfiguring write, and the writes that must fail.
#include "MozillaTestFixture.h"

#include "clients/MozillaClient.h"
#include "clients/NetscapeClient.h"
#include "FileAttributes.h"

namespace {

class MozillaRewrite : public MozillaFixture
{
protected:
    std::string DefaultProfile() const { return ProfileFile("default\\k2l8x0f3.slt"); }
    std::string WorkProfile() const { return ProfileFile("work\\z9y8x7w6.slt"); }

    // The file's text with one whole line (without its line end) replaced.
    static std::string Replaced(std::string text, const std::string& line, const std::string& by)
    {
        size_t at = text.find(line + "\r\n");
        EXPECT_NE(std::string::npos, at) << line;
        if (at != std::string::npos)
            text.replace(at, line.size(), by);
        return text;
    }
    static int CountLinesWith(const std::string& path, const std::string& part)
    {
        int count = 0;
        for (const std::string& line : FileLines(path))
            count += line.find(part) != std::string::npos ? 1 : 0;
        return count;
    }
};

const char kUser1[] = "user_pref(\"mail.server.server1.userName\", \"mila\");";
const char kHost1[] = "user_pref(\"mail.server.server1.hostname\", \"pop.mail.example\");";
const char kUser5[] = "user_pref(\"mail.server.server5.userName\", \"CORP\\\\mila \\\"m\\\"\");";
const char kHost5[] = "user_pref(\"mail.server.server5.hostname\", \"pop.corp.example\");";
const char kPort5[] = "user_pref(\"mail.server.server5.port\", 995);";
const char kWorkUser[] = "user_pref(\"mail.server.server1.userName\", \"m.novak\");";
const char kWorkHost[] = "user_pref(\"mail.server.server1.hostname\", \"pop.work.example\");";
const char kLocalHost1[] = "user_pref(\"mail.server.server1.hostname\", \"localhost\");";

} // namespace

TEST_F(MozillaRewrite, ConfigureThenUnconfigureGivesEveryLineBack)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    const std::string defaultBefore = FileBytes(DefaultProfile());
    const std::string workBefore = FileBytes(WorkProfile());
    m_port.Set(8110);
    {
        // Several accounts of one file and an account of another profile, one after the other in one object.
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        for (const char* name : {"mila@mail.example", "Corporate mail", "Work mail"}) {
            SCOPED_TRACE(name);
            int index = FindAccount(client, name);
            ASSERT_LE(0, index);
            EXPECT_TRUE(client.ConfigureAccount(index));
            AccountInfo a = RecordOf(client, index);
            EXPECT_TRUE(a.configured && a.upToDate && !a.suspicious);
        }
    }
    std::string expected = Replaced(
        defaultBefore, kUser1, "user_pref(\"mail.server.server1.userName\", \"mila/pop.mail.example/110\");");
    expected = Replaced(expected, kHost1, kLocalHost1);
    expected = Replaced(expected, kUser5,
                        "user_pref(\"mail.server.server5.userName\", "
                        "\"CORP\\\\mila \\\"m\\\"/pop.corp.example/995\");");
    expected = Replaced(expected, kHost5, "user_pref(\"mail.server.server5.hostname\", \"localhost\");");
    expected = Replaced(expected, kPort5, "user_pref(\"mail.server.server5.port\", 8110);");
    expected += "user_pref(\"mail.server.server1.port\", 8110);\r\n";
    EXPECT_EQ(expected, FileBytes(DefaultProfile()));
    // The work profile's last line had no line end; the port line comes after it.
    std::string expectedWork =
        Replaced(workBefore + "\r\n", kWorkUser,
                 "user_pref(\"mail.server.server1.userName\", \"m.novak/pop.work.example/110\");");
    expectedWork = Replaced(expectedWork, kWorkHost, kLocalHost1);
    expectedWork += "user_pref(\"mail.server.server1.port\", 8110);\r\n";
    EXPECT_EQ(expectedWork, FileBytes(WorkProfile()));

    {
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        for (const char* name : {"mila@mail.example", "Corporate mail", "Work mail"}) {
            SCOPED_TRACE(name);
            int index = FindAccount(client, name);
            AccountInfo a = RecordOf(client, index);
            EXPECT_TRUE(a.configured && a.upToDate);
            EXPECT_TRUE(client.UnconfigureAccount(index));
        }
    }
    // Every line as it was; the added port lines stay with the real port, which is the client's default.
    EXPECT_EQ(defaultBefore + "user_pref(\"mail.server.server1.port\", 110);\r\n",
              FileBytes(DefaultProfile()));
    EXPECT_EQ(workBefore + "\r\nuser_pref(\"mail.server.server1.port\", 110);\r\n", FileBytes(WorkProfile()));

    CMozillaClient client;
    ASSERT_TRUE(client.LoadClient());
    AccountInfo corporate = RecordOf(client, FindAccount(client, "Corporate mail"));
    EXPECT_FALSE(corporate.configured);
    EXPECT_EQ("CORP\\mila \"m\"", corporate.current.userName);
    EXPECT_EQ("pop.corp.example", corporate.current.server);
    EXPECT_EQ(995, corporate.current.port);
}

TEST_F(MozillaRewrite, APortLineIsAddedOnlyForAnotherPortAndNeverTwice)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    const std::string before = FileBytes(DefaultProfile());
    {
        // With the proxy on the default port, configuring and unconfiguring add no line at all.
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        int index = FindAccount(client, "mila@mail.example");
        const size_t lineCount = FileLines(DefaultProfile()).size();
        ASSERT_TRUE(client.ConfigureAccount(index));
        EXPECT_EQ(lineCount, FileLines(DefaultProfile()).size());
        EXPECT_EQ(0, CountLinesWith(DefaultProfile(), "server1.port"));
        ASSERT_TRUE(client.UnconfigureAccount(index));
        EXPECT_EQ(before, FileBytes(DefaultProfile()));
    }
    m_port.Set(8110);
    {
        // In one object: configure, unconfigure, configure again. The line added first is rewritten after.
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        int index = FindAccount(client, "mila@mail.example");
        const size_t lineCount = FileLines(DefaultProfile()).size();
        ASSERT_TRUE(client.ConfigureAccount(index));
        EXPECT_EQ(lineCount + 1, FileLines(DefaultProfile()).size());
        EXPECT_EQ("user_pref(\"mail.server.server1.port\", 8110);", FileLines(DefaultProfile()).back());
        ASSERT_TRUE(client.UnconfigureAccount(index));
        EXPECT_EQ("user_pref(\"mail.server.server1.port\", 110);", FileLines(DefaultProfile()).back());
        ASSERT_TRUE(client.ConfigureAccount(index));
        EXPECT_EQ(lineCount + 1, FileLines(DefaultProfile()).size());
        EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "server1.port"));
        EXPECT_EQ(client.AccountRef(index)->portLine, static_cast<int>(lineCount));
    }
    {
        // Update of the old-port account and repair of the doubtful one: existing lines, and one added line.
        CAcceptQuestions accept;
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        const size_t lineCount = FileLines(DefaultProfile()).size();
        ASSERT_TRUE(client.ConfigureAccount(FindAccount(client, "Configured mail")));
        ASSERT_TRUE(client.ConfigureAccount(FindAccount(client, "Doubtful mail")));
        EXPECT_EQ(1, accept.m_asked);
        std::vector<std::string> lines = FileLines(DefaultProfile());
        ASSERT_EQ(lineCount + 1, lines.size());
        EXPECT_EQ("user_pref(\"mail.server.server8.port\", 8110);", lines.back());
        EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "\"mail.server.server4.port\", 8110)"));
        EXPECT_EQ(1,
                  CountLinesWith(DefaultProfile(),
                                 "\"mail.server.server4.userName\", \"mila.c/pop.configured.example/110\""));
        EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "\"mail.server.server8.userName\", \"dom/mila/110\""));
        EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "\"mail.server.server8.hostname\", \"localhost\""));
    }
}

TEST_F(MozillaRewrite, MozillaAndNetscapeWriteTheSameProfileInTurn)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    ASSERT_TRUE(SeedNetscapeSamples(m_context));
    m_port.Set(8110);
    // Both loaded before either writes, as one pass over the catalogue does.
    CMozillaClient mozilla;
    CNetscapeClient netscape;
    ASSERT_TRUE(mozilla.LoadClient());
    ASSERT_TRUE(netscape.LoadClient());
    const int inMozilla = FindAccount(mozilla, "mila@mail.example");
    const int inNetscape = FindAccount(netscape, "mila@mail.example");
    ASSERT_TRUE(mozilla.ConfigureAccount(inMozilla));
    const std::string configured = FileBytes(DefaultProfile());
    // The second adapter finds the lines already as it wants them: nothing changes, no second port line.
    EXPECT_TRUE(netscape.ConfigureAccount(inNetscape));
    EXPECT_EQ(configured, FileBytes(DefaultProfile()));
    EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "server1.port"));

    ASSERT_TRUE(netscape.UnconfigureAccount(inNetscape));
    const std::string unconfigured = FileBytes(DefaultProfile());
    EXPECT_EQ(1, CountLinesWith(DefaultProfile(), kUser1));
    EXPECT_EQ(1, CountLinesWith(DefaultProfile(), kHost1));
    EXPECT_TRUE(mozilla.UnconfigureAccount(inMozilla));
    EXPECT_EQ(unconfigured, FileBytes(DefaultProfile()));
}

TEST_F(MozillaRewrite, AFailedWriteLeavesTheProfileAndTheRecordAsTheyWere)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    m_port.Set(8110);
    CMozillaClient client;
    ASSERT_TRUE(client.LoadClient());
    const int home = FindAccount(client, "mila@mail.example");
    const int corporate = FindAccount(client, "Corporate mail");
    const int work = FindAccount(client, "Work mail");

    // Out of range: nothing is written, no temporary file is made.
    const std::string before = FileBytes(DefaultProfile());
    EXPECT_FALSE(client.WriteAccount(-1, 0));
    EXPECT_FALSE(client.WriteAccount(client.AccountCount(), 1));
    EXPECT_FALSE(client.WriteAccount(FindAccount(client, "IMAP mail"), 0));
    EXPECT_EQ(before, FileBytes(DefaultProfile()));
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(
        plat::ListDirectory(JoinPath(m_mozillaFolder, "Profiles\\default\\k2l8x0f3.slt").c_str(), entries));
    EXPECT_EQ(4u, entries.size()); // ".", "..", prefs.js, bookmarks.html

    // The client rewrote the account's host name since it was read: nothing is written, the state stays.
    const std::string edited =
        Replaced(before, kHost1, "user_pref(\"mail.server.server1.hostname\", \"pop.new.example\");");
    ASSERT_TRUE(SampleFile(DefaultProfile(), edited));
    EXPECT_FALSE(client.ConfigureAccount(home));
    EXPECT_EQ(edited, FileBytes(DefaultProfile()));
    AccountInfo a = RecordOf(client, home);
    EXPECT_FALSE(a.configured);
    EXPECT_FALSE(a.upToDate);
    EXPECT_TRUE(a.supported);
    EXPECT_EQ("mila", a.original.userName);

    // A change elsewhere in the file is kept, and the other account is written.
    EXPECT_TRUE(client.ConfigureAccount(corporate));
    EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "\"pop.new.example\""));
    EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "\"mail.server.server5.port\", 8110)"));

    // A read-only profile: nothing is written, nothing is left beside it.
    const std::string unchanged = FileBytes(DefaultProfile());
    ASSERT_TRUE(plat::SetFileReadOnly(DefaultProfile().c_str(), TRUE));
    const int configured = FindAccount(client, "Configured mail"); // its port is the old one now: an update
    EXPECT_FALSE(client.ConfigureAccount(configured));
    ASSERT_TRUE(plat::SetFileReadOnly(DefaultProfile().c_str(), FALSE));
    EXPECT_TRUE(RecordOf(client, configured).configured);
    EXPECT_FALSE(RecordOf(client, configured).upToDate);
    EXPECT_EQ(unchanged, FileBytes(DefaultProfile()));
    ASSERT_TRUE(
        plat::ListDirectory(JoinPath(m_mozillaFolder, "Profiles\\default\\k2l8x0f3.slt").c_str(), entries));
    EXPECT_EQ(4u, entries.size());

    // The profile's folder is gone: nothing is created.
    const std::string workFolder = JoinPath(m_mozillaFolder, "Profiles\\work");
    ASSERT_TRUE(plat::RemoveFolderTree(workFolder.c_str()));
    EXPECT_FALSE(client.ConfigureAccount(work));
    EXPECT_FALSE(plat::PathExists(workFolder.c_str()));
    EXPECT_FALSE(RecordOf(client, work).configured);
}
