// Mozilla and Netscape: detection through the registry, the accounts of the sample profiles, damaged
// profiles, the lines that configuring and unconfiguring write, and the writes that must fail.
#include "support/ClientChecks.h"

#include "clients/MozillaClient.h"
#include "clients/MozillaPrefsFile.h"
#include "clients/NetscapeClient.h"
#include "FileAttributes.h"
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
    void InstallMozilla()
    {
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Mozilla\\Mozilla 1.7.13\\bin", "PathToExe",
                                    m_folder / "mozilla.exe"));
    }

    static std::vector<std::string> FileLines(const std::string& path)
    {
        std::vector<std::string> lines;
        CMozillaPrefsFile::SplitLines(FileBytes(path), lines);
        return lines;
    }
    static int CountLinesWith(const std::string& path, const std::string& part)
    {
        int count = 0;
        for (const std::string& line : FileLines(path))
            count += line.find(part) != std::string::npos ? 1 : 0;
        return count;
    }
    // The file's text with one whole line (without its line end) replaced.
    static std::string Replaced(std::string text, const std::string& line, const std::string& by)
    {
        size_t at = text.find(line + "\r\n");
        EXPECT_NE(std::string::npos, at) << line;
        if (at != std::string::npos)
            text.replace(at, line.size(), by);
        return text;
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

const char kOneAccount[] = "user_pref(\"mail.account.account1.identities\", \"id1\");\n"
                           "user_pref(\"mail.account.account1.server\", \"server1\");\n"
                           "user_pref(\"mail.accountmanager.accounts\", \"account1\");\n"
                           "user_pref(\"mail.identity.id1.useremail\", \"anna@mail.example\");\n"
                           "user_pref(\"mail.server.server1.hostname\", \"pop.mail.example\");\n"
                           "user_pref(\"mail.server.server1.name\", \"Anna\");\n"
                           "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
                           "user_pref(\"mail.server.server1.userName\", \"anna\");\n";

const char kUser1[] = "user_pref(\"mail.server.server1.userName\", \"mila\");";
const char kHost1[] = "user_pref(\"mail.server.server1.hostname\", \"pop.mail.example\");";
const char kLocalHost1[] = "user_pref(\"mail.server.server1.hostname\", \"localhost\");";

} // namespace

TEST_F(MozillaClients, DetectionTakesTheFirstProgramKeyThatIsNotNetscape)
{
    ASSERT_TRUE(SampleFile(ProfileFile("p\\x.slt"), kOneAccount));
    {
        // Profiles alone do not make the client installed.
        CMozillaClient none;
        EXPECT_FALSE(none.LoadClient());
        EXPECT_FALSE(none.IsInstalled());
        EXPECT_EQ("", none.ExeName());
    }
    // Netscape's builds, a key without "bin", one without the value and one too long to read are passed by.
    const std::string tooLong = "C:\\" + std::string(300, 'l') + "\\x.exe";
    const char* const keys[][3] = {
        {"1 NETSCAPE beta\\bin", "PathToExe", "C:\\nb\\nb.exe"},
        {"3 No bin", "PathToExe", "C:\\nobin\\x.exe"},
        {"4 No value\\bin", "Other", "C:\\novalue\\x.exe"},
        {"5 Too long\\bin", "PathToExe", tooLong.c_str()},
        {"6 Mozilla 1.7\\bin", "PathToExe", "C:\\Program Files\\mozilla.org\\Mozilla\\mozilla.exe"},
        {"7 Later\\bin", "PathToExe", "C:\\later.exe"},
    };
    for (const auto& key : keys)
        ASSERT_TRUE(
            SampleRegString(HKEY_CURRENT_USER, std::string("Software\\Mozilla\\") + key[0], key[1], key[2]));
    {
        CMozillaClient mozilla;
        EXPECT_TRUE(mozilla.DetectClient());
        EXPECT_EQ("C:\\Program Files\\mozilla.org\\Mozilla\\mozilla.exe", mozilla.ExePath());
        EXPECT_EQ("mozilla.exe", mozilla.ExeName());
        // Installed with one profile: loaded.
        EXPECT_TRUE(mozilla.LoadClient());
        EXPECT_EQ(1, mozilla.AccountCount());
    }
    // An empty program path ends the search: the later subkeys are not tried.
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Mozilla\\4 No value\\bin", "PathToExe", ""));
    {
        CMozillaClient mozilla;
        EXPECT_FALSE(mozilla.DetectClient());
        EXPECT_EQ("", mozilla.ExePath());
        EXPECT_EQ("", mozilla.ExeName());
    }
    // Netscape's own key, where every subkey with the word in its name is skipped too.
    CNetscapeClient netscape;
    EXPECT_FALSE(netscape.DetectClient());
    const std::string netscapeKey = "Software\\Netscape\\Netscape\\";
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, netscapeKey + "6.2 Netscape\\Main", "PathToExe",
                                "C:\\old\\netscp6.exe"));
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, netscapeKey + "7.2 (en)\\bin", "PathToExe",
                                "C:\\wrong\\suffix.exe"));
    ASSERT_TRUE(
        SampleRegString(HKEY_CURRENT_USER, netscapeKey + "7.2 (en)\\Main", "PathToExe", "Netscp.exe"));
    EXPECT_TRUE(netscape.DetectClient());
    EXPECT_EQ("Netscp.exe", netscape.ExePath());
    EXPECT_EQ("Netscp.exe", netscape.ExeName());
}

TEST_F(MozillaClients, SampleProfilesReadWithTheirStates)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    CMozillaClient client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_EQ(m_folder / "Mozilla\\mozilla.exe", client.ExePath());
    ASSERT_EQ(2u, client.FoundFiles().size());
    // Profiles come in the order the folder lists them; each profile's accounts in its list's order.
    const BOOL defaultFirst = client.FoundFiles()[0] == ProfileFile("default\\k2l8x0f3.slt");
    EXPECT_EQ(defaultFirst ? ProfileFile("work\\z9y8x7w6.slt") : ProfileFile("default\\k2l8x0f3.slt"),
              client.FoundFiles()[1]);
    ASSERT_EQ(10, client.AccountCount());

    const ProfileAccountRow defaultRows[] = {
        {"mila@mail.example", "mila@mail.example", 1, 0, 0, 0, 0, 1, "mila", "pop.mail.example", 110, "mila",
         "pop.mail.example", 110, AUTH_NORMAL},
        {"IMAP mail", "mila@imap.example", 0, 0, 0, 0, REASON_IMAP, PROTOCOL_IMAP, "", "", -1, "", "", 0, 0},
        {"Configured mail", "mila@configured.example", 1, 1, 1, 0, 0, 1, "mila.c/pop.configured.example/110",
         "localhost", 110, "mila.c", "pop.configured.example", 110, AUTH_NORMAL},
        {"Corporate mail", "mila@corp.example", 1, 0, 0, 0, 0, 1, "CORP\\mila \"m\"", "pop.corp.example", 995,
         "CORP\\mila \"m\"", "pop.corp.example", 995, AUTH_NORMAL},
        {"News", "mila@news.example", 0, 0, 0, 0, REASON_NEWS, PROTOCOL_NEWS, "", "", -1, "", "", 0, 0},
        {"Old proxy port", "mila@old.example", 1, 1, 0, 0, 0, 1, "mila.o/pop.old.example[APOP]/110",
         "127.0.0.1", 8110, "mila.o", "pop.old.example", 110, AUTH_APOP},
        {"Doubtful mail", "mila@doubtful.example", 1, 1, 0, 1, 0, 1, "dom/mila", "pop.mail.example", 110,
         "dom", "mila", 110, AUTH_NORMAL},
    };
    const ProfileAccountRow workRows[] = {
        {"Work mail", "mila@work.example", 1, 0, 0, 0, 0, 1, "m.novak", "pop.work.example", 110, "m.novak",
         "pop.work.example", 110, AUTH_NORMAL},
        {"No host name", "mila@broken.example", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, PROTOCOL_POP3, "mila",
         "", -1, "", "", 0, 0},
        {"Movemail", "mila@movemail.example", 0, 0, 0, 0, REASON_UNKNOWN_PROTOCOL, PROTOCOL_UNKNOWN, "", "",
         -1, "", "", 0, 0},
    };
    std::vector<ProfileAccountRow> rows(std::begin(defaultRows), std::end(defaultRows));
    rows.insert(defaultFirst ? rows.end() : rows.begin(), std::begin(workRows), std::end(workRows));

    ExpectProfileAccounts(client, rows);

    // Where the first sample account stands: its ids, and the lines of its settings in the file (header of
    // ten lines first). The commented-out host name above the real one is not taken.
    const MozillaAccountRef* ref = client.AccountRef(FindAccount(client, "mila@mail.example"));
    ASSERT_NE(nullptr, ref);
    EXPECT_EQ(std::to_string(defaultFirst ? 0 : 1) + " account1 id1 server1, lines 39 41 42 43 30 -1",
              std::to_string(ref->fileIndex) + " " + ref->accountKey + " " + ref->identityKey + " " +
                  ref->serverKey + ", lines " + std::to_string(ref->hostnameLine) + " " +
                  std::to_string(ref->nameLine) + " " + std::to_string(ref->typeLine) + " " +
                  std::to_string(ref->userNameLine) + " " + std::to_string(ref->emailLine) + " " +
                  std::to_string(ref->portLine));
    EXPECT_EQ(nullptr, client.AccountRef(10));
    EXPECT_EQ(nullptr, client.AccountRef(-1));
}

TEST_F(MozillaClients, AccountListsAndDamagedSettings)
{
    InstallMozilla();
    // A 100 KB line and NUL bytes around the settings; accounts whose settings cannot be carried whole.
    std::string text = "user_pref(\"browser.history\", \"" + std::string(100 * 1024, 'h') + "\");\n";
    text += std::string("\0\0garbage\0\n", 11);
    text += "user_pref(\"mail.accountmanager.accounts\", \" a1 ,a2,a3, a4,a5,a6,a7,a8,,a9,\");\n"
            "user_pref(\"mail.accountmanager.localfoldersserver\", \"local\");\n";
    const char* const servers[] = {"s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8", "local"};
    for (int i = 1; i <= 9; ++i) {
        const std::string n = std::to_string(i);
        text += "user_pref(\"mail.account.a" + n + ".server\", \"" + servers[i - 1] + "\");\n";
        text += "user_pref(\"mail.account.a" + n + ".identities\", \"id" + n + "\");\n";
        text += "user_pref(\"mail.identity.id" + n + ".useremail\", \"u" + n + "@mail.example\");\n";
        text += "user_pref(\"mail.server." + std::string(servers[i - 1]) + ".type\", \"pop3\");\n";
        text += "user_pref(\"mail.server." + std::string(servers[i - 1]) + ".hostname\", \"pop" + n +
                ".example\");\n";
    }
    text += "user_pref(\"mail.account.a2.identities\", \"id2,id1\");\n";   // two identities: no address
    text += "user_pref(\"mail.server.s1.nameSpace\", \"not the name\");\n" // a longer key before the name
            "user_pref(\"mail.server.s1.name\", \"One\");\n"
            "user_pref(\"mail.server.s1.userName\", \"one\");\n"
            "user_pref(\"mail.server.s2.name\", \"Two\");\n"
            "user_pref(\"mail.server.s2.userName\", \"two\");\n"
            "user_pref(\"mail.server.s3.name\", \"Three\");\n"
            "user_pref(\"mail.server.s3.userName\", \"line\\nbreak\");\n"
            "user_pref(\"mail.server.s4.name\", \"Four\");\n"
            "user_pref(\"mail.server.s4.userName\", \"four\");\n"
            "user_pref(\"mail.server.s4.port\", \"995\");\n"
            "user_pref(\"mail.server.s5.name\", \"Five\");\n"
            "user_pref(\"mail.server.s5.userName\", \"five\");\n"
            "user_pref(\"mail.server.s5.port\", 99999999999);\n"
            "user_pref(\"mail.server.s6.name\", \"Six\");\n"
            "user_pref(\"mail.server.s6.username\", \"six\");\n" // the key in another case
            "user_pref(\"mail.server.s7.name\", \"Seven\");\n"
            "user_pref(\"mail.server.s7.userName\", \"se\\u0076en\");\n"
            "user_pref(\"mail.server.s8.name\", \"Eight\");\n"
            "user_pref(\"mail.server.s8.userName\", \"eight\");\n"
            "user_pref(\"mail.server.s8.port\", 1100);\n"
            "user_pref(\"mail.server.s8.type\", \"IMAP\");\n"; // set again: the later type counts
    ASSERT_TRUE(SampleFile(ProfileFile("damaged\\d.slt"), text));

    CMozillaClient client;
    ASSERT_TRUE(client.LoadClient());
    // a1..a8, the empty id, a9 (local folders, left out) and the empty id behind the last comma.
    ASSERT_EQ(10, client.AccountCount());
    struct Row
    {
        const char* accountKey;
        const char* name;
        BOOL supported;
        int reason;
        const char* user;
        int port;
    };
    const Row rows[] = {
        {"a1", "One", 1, 0, "one", 110},
        {"a2", "Two", 0, REASON_CONFIG_UNREADABLE, "", -1},
        {"a3", "Three", 0, REASON_CONFIG_UNREADABLE, "", -1},
        {"a4", "Four", 0, REASON_CONFIG_UNREADABLE, "four", -1},
        {"a5", "Five", 0, REASON_CONFIG_UNREADABLE, "five", -1},
        {"a6", "Six", 0, REASON_CONFIG_UNREADABLE, "", -1},
        {"a7", "Seven", 0, REASON_CONFIG_UNREADABLE, "", -1},
        {"a8", "Eight", 0, REASON_IMAP, "", -1},
        {"", "", 0, REASON_CONFIG_UNREADABLE, "", -1},
        {"", "", 0, REASON_CONFIG_UNREADABLE, "", -1},
    };
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const Row& row = rows[i];
        ASSERT_NE(nullptr, client.AccountRef(i));
        EXPECT_EQ(row.accountKey, client.AccountRef(i)->accountKey);
        AccountInfo a = RecordOf(client, i);
        EXPECT_EQ(row.name, a.name);
        EXPECT_EQ(row.supported, a.supported);
        EXPECT_EQ(row.reason, a.reason);
        EXPECT_EQ(row.user, a.current.userName);
        EXPECT_EQ(row.port, a.current.port);
    }
    EXPECT_EQ("id2,id1", client.AccountRef(1)->identityKey);
}

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

TEST_F(MozillaClients, APortLineIsAddedOnlyForAnotherPortAndNeverTwice)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    const std::string before = FileBytes(DefaultProfile());
    {
        // With the proxy on the default port, configuring and unconfiguring add no line at all (an added line
        // would stay, with the real port).
        CMozillaClient client;
        ASSERT_TRUE(client.LoadClient());
        int index = FindAccount(client, "mila@mail.example");
        ASSERT_TRUE(client.ConfigureAccount(index));
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

TEST_F(MozillaClients, MozillaAndNetscapeWriteTheSameProfileInTurn)
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

TEST_F(MozillaClients, AFailedWriteLeavesTheProfileAndTheRecordAsTheyWere)
{
    ASSERT_TRUE(SeedMozillaSamples(m_context));
    m_port.Set(8110);
    CMozillaClient client;
    ASSERT_TRUE(client.LoadClient());
    // The profile's bytes and its folder's names (prefs.js, bookmarks.html): no temporary file is left.
    const StoreText profile = FileStore(DefaultProfile());
    const std::string before = profile();
    EXPECT_FALSE(client.WriteAccount(-1, 0));
    EXPECT_FALSE(client.WriteAccount(client.AccountCount(), 1));
    EXPECT_FALSE(client.WriteAccount(FindAccount(client, "IMAP mail"), 0));
    EXPECT_EQ(before, profile());

    // The client rewrote the account's host name since it was read: nothing is written, the state stays.
    ASSERT_TRUE(SampleFile(DefaultProfile(),
                           Replaced(FileBytes(DefaultProfile()), kHost1,
                                    "user_pref(\"mail.server.server1.hostname\", \"pop.new.example\");")));
    ExpectRefused(client, FindAccount(client, "mila@mail.example"), TRUE, profile);
    // A change elsewhere in the file is kept, and the other account is written.
    EXPECT_TRUE(client.ConfigureAccount(FindAccount(client, "Corporate mail")));
    EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "\"pop.new.example\""));
    EXPECT_EQ(1, CountLinesWith(DefaultProfile(), "\"mail.server.server5.port\", 8110)"));

    // A read-only profile: the configured account, whose port is the old one now, is not brought up to date.
    const int configured = FindAccount(client, "Configured mail");
    EXPECT_TRUE(RecordOf(client, configured).configured && !RecordOf(client, configured).upToDate);
    ASSERT_TRUE(plat::SetFileReadOnly(DefaultProfile().c_str(), TRUE));
    ExpectRefused(client, configured, TRUE, profile);
    ASSERT_TRUE(plat::SetFileReadOnly(DefaultProfile().c_str(), FALSE));

    // The profile's folder is gone: it is not made again (the list of the profiles' folder shows it).
    ASSERT_TRUE(plat::RemoveFolderTree(JoinPath(m_appData, "Mozilla\\Profiles\\work").c_str()));
    ExpectRefused(client, FindAccount(client, "Work mail"), TRUE,
                  FileStore(JoinPath(m_appData, "Mozilla\\Profiles\\work")));
}
