// Mozilla and Netscape: detection through the registry, the accounts of the sample profiles, damaged
// profiles.
#include "MozillaTestFixture.h"

#include "clients/MozillaClient.h"
#include "clients/NetscapeClient.h"

namespace {

class MozillaClients : public MozillaFixture
{
};

const char kOneAccount[] = "user_pref(\"mail.account.account1.identities\", \"id1\");\n"
                           "user_pref(\"mail.account.account1.server\", \"server1\");\n"
                           "user_pref(\"mail.accountmanager.accounts\", \"account1\");\n"
                           "user_pref(\"mail.identity.id1.useremail\", \"anna@mail.example\");\n"
                           "user_pref(\"mail.server.server1.hostname\", \"pop.mail.example\");\n"
                           "user_pref(\"mail.server.server1.name\", \"Anna\");\n"
                           "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
                           "user_pref(\"mail.server.server1.userName\", \"anna\");\n";

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
        EXPECT_EQ("Mozilla", none.DisplayName());
    }
    const std::string products = "Software\\Mozilla\\";
    ASSERT_TRUE(
        SampleRegString(HKEY_CURRENT_USER, products + "1 Netscape 7.2\\bin", "PathToExe", "C:\\ns\\ns.exe"));
    ASSERT_TRUE(
        SampleRegString(HKEY_CURRENT_USER, products + "2 NETSCAPE beta\\bin", "PathToExe", "C:\\nb\\nb.exe"));
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, products + "3 No bin", "PathToExe", "C:\\nobin\\x.exe"));
    ASSERT_TRUE(
        SampleRegString(HKEY_CURRENT_USER, products + "4 No value\\bin", "Other", "C:\\novalue\\x.exe"));
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, products + "5 Too long\\bin", "PathToExe",
                                "C:\\" + std::string(300, 'l') + "\\x.exe"));
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, products + "6 Mozilla 1.7\\bin", "PathToExe",
                                "C:\\Program Files\\mozilla.org\\Mozilla\\mozilla.exe"));
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, products + "7 Later\\bin", "PathToExe", "C:\\later.exe"));
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
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, products + "4 No value\\bin", "PathToExe", ""));
    {
        CMozillaClient mozilla;
        EXPECT_FALSE(mozilla.DetectClient());
        EXPECT_EQ("", mozilla.ExePath());
        EXPECT_EQ("", mozilla.ExeName());
    }
    {
        // Netscape's own key, where every subkey with the word in its name is skipped too.
        CNetscapeClient netscape;
        EXPECT_FALSE(netscape.DetectClient());
        EXPECT_EQ("Netscape Navigator", netscape.DisplayName());
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape\\6.2 Netscape\\Main",
                                    "PathToExe", "C:\\old\\netscp6.exe"));
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape\\7.2 (en)\\bin",
                                    "PathToExe", "C:\\wrong\\suffix.exe"));
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape\\7.2 (en)\\Main",
                                    "PathToExe", "Netscp.exe"));
        EXPECT_TRUE(netscape.DetectClient());
        EXPECT_EQ("Netscp.exe", netscape.ExePath());
        EXPECT_EQ("Netscp.exe", netscape.ExeName());
    }
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
    const int first = FindAccount(client, "mila@mail.example");
    const MozillaAccountRef* ref = client.AccountRef(first);
    ASSERT_NE(nullptr, ref);
    EXPECT_EQ(defaultFirst ? 0 : 1, ref->fileIndex);
    EXPECT_EQ("account1", ref->accountKey);
    EXPECT_EQ("id1", ref->identityKey);
    EXPECT_EQ("server1", ref->serverKey);
    EXPECT_EQ(10 + 29, ref->hostnameLine);
    EXPECT_EQ(10 + 31, ref->nameLine);
    EXPECT_EQ(10 + 32, ref->typeLine);
    EXPECT_EQ(10 + 33, ref->userNameLine);
    EXPECT_EQ(10 + 20, ref->emailLine);
    EXPECT_EQ(-1, ref->portLine);
    EXPECT_EQ(nullptr, client.AccountRef(10));
    EXPECT_EQ(nullptr, client.AccountRef(-1));

    // Both adapters read the same profiles.
    ASSERT_TRUE(SeedNetscapeSamples(m_context));
    CNetscapeClient netscape;
    ASSERT_TRUE(netscape.LoadClient());
    EXPECT_EQ("Netscp.exe", netscape.ExeName());
    ASSERT_EQ(10, netscape.AccountCount());
    EXPECT_EQ(RecordOf(client, 9).name, RecordOf(netscape, 9).name);
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
