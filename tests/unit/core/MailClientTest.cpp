// What CMailClient gives every adapter: the typed registry reads and the recursive file search.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include "Files.h"
#include "core/LoadContext.h"
#include "RegKey.h"

#include <algorithm>
#include <gtest/gtest.h>
#ifndef _WIN32
#include "PortableControl.h"

#include <unistd.h>
#endif

namespace {

const char kKey[] = "Software\\NimbrelTest\\MailClient";

} // namespace

TEST(MailClient, RegistryReadsRefuseWhatTheyCannotTakeWhole)
{
    CRegistryScope scope({{HKEY_CURRENT_USER, "Software\\NimbrelTest"}});
    plat::CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS));
    std::string longest(259, 'x'); // 260 bytes with its NUL: the largest a reader takes
    std::string tooLong(260, 'y');
    ASSERT_EQ(ERROR_SUCCESS, key.SetString("Fits", longest));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString("TooLong", tooLong));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key.Get(), "Expand", REG_EXPAND_SZ, "%TEMP%", 7));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key.Get(), "NoNul", REG_SZ, "abc", 3));
    ASSERT_EQ(ERROR_SUCCESS, key.SetDword("Number", 8110));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key.Get(), "Short", REG_BINARY, "\x01\x02", 2));

    CScriptedClient client;
    client.m_store = {Pop("a", "b", 110)};
    ASSERT_TRUE(client.LoadClient());
    std::string text = "sentinel";
    int number = 0x0BADF00D;

    struct Row
    {
        const char* name;
        BOOL asString;
        BOOL ok;
        const char* text;
        int number;
    };
    const Row rows[] = {
        {"Fits", TRUE, TRUE, nullptr, 0},
        {"TooLong", TRUE, FALSE, "sentinel", 0},
        {"Expand", TRUE, FALSE, "sentinel", 0},
        {"NoNul", TRUE, TRUE, "abc", 0},
        {"Missing", TRUE, FALSE, "sentinel", 0},
        {"Number", FALSE, TRUE, nullptr, 8110},
        {"Short", FALSE, FALSE, nullptr, 0x0BADF00D},
        {"Fits", FALSE, FALSE, nullptr, 0x0BADF00D},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        SCOPED_TRACE("row " + std::to_string(i) + " " + rows[i].name);
        text = "sentinel";
        number = 0x0BADF00D;
        client.Record(0).reason = REASON_NONE;
        BOOL ok = rows[i].asString ? client.ReadRegString(key.Get(), rows[i].name, text, 0)
                                   : client.ReadRegDword(key.Get(), rows[i].name, number, 0);
        EXPECT_EQ(rows[i].ok, ok);
        EXPECT_EQ(ok ? REASON_NONE : REASON_REGISTRY, client.Record(0).reason);
        if (rows[i].asString)
            EXPECT_EQ(rows[i].text ? std::string(rows[i].text) : longest, text);
        else
            EXPECT_EQ(rows[i].number, number);
    }
}

TEST(MailClient, FindFilesRecursiveMatchesNamesAnyCaseAndSkipsDotFolders)
{
    CTestFolder root;
    ASSERT_TRUE(plat::ReplaceWholeFile((root / "account.cfg").c_str(), "1"));
    ASSERT_TRUE(plat::CreateFolder((root / "Sub\\Deeper").c_str()));
    ASSERT_TRUE(plat::ReplaceWholeFile((root / "Sub\\Deeper\\ACCOUNT.CFG").c_str(), "2"));
    ASSERT_TRUE(plat::ReplaceWholeFile((root / "Sub\\other.cfg").c_str(), "3"));
    // A dot folder is not searched, but its own name can match.
    ASSERT_TRUE(plat::CreateFolder((root / ".hidden").c_str()));
    ASSERT_TRUE(plat::ReplaceWholeFile((root / ".hidden\\account.cfg").c_str(), "4"));
    ASSERT_TRUE(plat::CreateFolder((root / ".account.cfg").c_str()));

    CScriptedClient client;
    client.FindFilesRecursive(root.Path(), "Account.Cfg");
    std::vector<std::string> found = client.FoundFiles();
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected = {root / "Account.Cfg", root / "Sub\\Deeper\\Account.Cfg"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, found);

    client.FindFilesRecursive(root.Path(), ".account.cfg");
    EXPECT_EQ(3u, client.FoundFiles().size());
    EXPECT_EQ(root / ".account.cfg", client.FoundFiles().back());
}

// Two clients that search one tree in one load (Mozilla and Netscape) walk it once; the next load walks
// again.
// The program's icons are taken when the lists ask for them, once per load; the console tool never asks.
TEST(MailClient, IconsAreTakenWhenAskedForOncePerLoad)
{
    CTestFolder root;
    ASSERT_TRUE(plat::ReplaceWholeFile((root / "client.exe").c_str(), "MZ"));
    CScriptedClient client;
    client.m_store = {Pop("anna", "pop.mail.example", 110)};
    client.m_exe = root / "client.exe";
#ifndef _WIN32
    const int before = plat::portable::IconRequests();
#endif
    ASSERT_TRUE(client.LoadClient());
#ifndef _WIN32
    EXPECT_EQ(before, plat::portable::IconRequests());
#endif
    const HICON small = client.SmallIcon();
    EXPECT_NE(nullptr, small);
    EXPECT_NE(nullptr, client.LargeIcon());
    EXPECT_EQ(small, client.SmallIcon());
    ASSERT_TRUE(client.LoadClient());
    EXPECT_NE(nullptr, client.SmallIcon());
#ifndef _WIN32
    EXPECT_EQ(before + 2, plat::portable::IconRequests());
#endif
    // A client that is not installed has none to give.
    client.m_detect = FALSE;
    EXPECT_FALSE(client.LoadClient());
    EXPECT_EQ(nullptr, client.SmallIcon());
}

TEST(MailClient, OneSearchOfATreePerLoad)
{
    CTestFolder root;
    ASSERT_TRUE(plat::CreateFolder((root / "p1").c_str()));
    ASSERT_TRUE(plat::ReplaceWholeFile((root / "p1\\prefs.js").c_str(), "1"));
    const std::vector<std::string> one = {root / "p1\\prefs.js"};
    {
        CLoadContext load;
        EXPECT_EQ(one, load.FindFiles(root.Path(), "prefs.js"));
        // A load is for reading: a profile made meanwhile shows only in the next one.
        ASSERT_TRUE(plat::CreateFolder((root / "p2").c_str()));
        ASSERT_TRUE(plat::ReplaceWholeFile((root / "p2\\prefs.js").c_str(), "2"));
        EXPECT_TRUE(load.FindFiles(root.Path(), "other.js").empty());
        EXPECT_EQ(one, load.FindFiles(root.Path(), "prefs.js"));
    }
    CLoadContext later;
    EXPECT_EQ(2u, later.FindFiles(root.Path(), "prefs.js").size());
    // An adapter searching outside any load walks the tree itself.
    CScriptedClient alone;
    alone.FindFilesRecursive(root.Path(), "prefs.js");
    EXPECT_EQ(2u, alone.FoundFiles().size());
}

#ifndef _WIN32
// A Windows program cannot make a link under Wine; the end-to-end tests cover links there, made by the
// script.
namespace {

bool MakeLink(const std::string& target, const std::string& link)
{
    std::string native = link;
    std::replace(native.begin(), native.end(), '\\', '/');
    return symlink(target.c_str(), native.c_str()) == 0;
}

} // namespace

// A profile moved to another drive leaves a link where it was; a link back up the tree ends after one round.
TEST(MailClient, FindFilesRecursiveEntersLinkedFoldersAndEndsLoops)
{
    CTestFolder root;
    ASSERT_TRUE(plat::CreateFolder((root / "elsewhere\\moved").c_str()));
    ASSERT_TRUE(plat::ReplaceWholeFile((root / "elsewhere\\moved\\prefs.js").c_str(), "moved"));
    ASSERT_TRUE(plat::CreateFolder((root / "Profiles\\plain").c_str()));
    ASSERT_TRUE(plat::ReplaceWholeFile((root / "Profiles\\plain\\prefs.js").c_str(), "plain"));
    ASSERT_TRUE(MakeLink("../elsewhere/moved", root / "Profiles\\linked"));
    ASSERT_TRUE(MakeLink("..", root / "Profiles\\plain\\up"));

    CScriptedClient client;
    client.FindFilesRecursive(root / "Profiles", "prefs.js");
    std::vector<std::string> found = client.FoundFiles();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(
        (std::vector<std::string>{root / "Profiles\\linked\\prefs.js", root / "Profiles\\plain\\prefs.js"}),
        found);
    std::string bytes;
    ASSERT_TRUE(plat::ReadWholeFile((root / "Profiles\\linked\\prefs.js").c_str(), bytes));
    EXPECT_EQ("moved", bytes);

    // Searched from above, the moved profile is reached twice (by its own path and by the link): once found.
    CScriptedClient whole;
    whole.FindFilesRecursive(root.Path(), "prefs.js");
    EXPECT_EQ(2u, whole.FoundFiles().size());
}
#endif
