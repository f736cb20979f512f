// Thunderbird and SeaMonkey: found through their key in either root and view, profiles named by profiles.ini,
// every account state, the exact lines configuring and giving back write (real names, secure settings, SPA),
// a profile started in between, user.js and damaged stores.
#include "support/ClientChecks.h"
#include "support/HeldFile.h"

#include "RegKey.h"
#include "Registry.h"
#include "clients/ThunderbirdClient.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

#include <string>
#include <vector>

namespace {

// The Thunderbird sample's records in load order: the absolute profile comes first in profiles.ini.
enum
{
    WORK = 0,
    USER_JS_FIXED,
    CUT,
    HOME,
    IMAP,
    CONFIGURED,
    OLD_PORT,
    DOUBTFUL,
    SSL,
    STLS,
    SPA,
    RECORD_COUNT
};

std::string Line(const std::string& server, const std::string& setting, const std::string& value)
{
    return "user_pref(\"mail.server." + server + "." + setting + "\", " + value + ");\r\n";
}

class Thunderbird : public CClientTest
{
protected:
    Thunderbird()
    {
        EXPECT_TRUE(SeedThunderbirdSamples(m_context));
        m_main = JoinPath(m_appData, "Thunderbird\\Profiles\\q7r8s9t0.default-release\\prefs.js");
        m_work = JoinPath(ThunderbirdWorkProfileFolder(m_context), "prefs.js");
        m_mainBytes = FileBytes(m_main);
        m_workBytes = FileBytes(m_work);
    }
    static void SpeakTls()
    {
        ASSERT_TRUE(SampleRegDword(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, NIMBREL_PROXY_TLS_VALUE, 1));
    }
    StoreText Profiles() const
    {
        const std::string main = m_main, work = m_work;
        return [main, work] { return FileBytes(work) + "|" + FileBytes(main); };
    }
    std::string Both(const std::string& work, const std::string& main) const { return work + "|" + main; }

    std::string m_main;
    std::string m_work;
    std::string m_mainBytes;
    std::string m_workBytes;
};

// The shared round-trip check makes its adapters itself.
class CThunderbirdAdapter : public CThunderbirdClient
{
public:
    CThunderbirdAdapter() : CThunderbirdClient(kThunderbird) {}
};
class CSeaMonkeyAdapter : public CThunderbirdClient
{
public:
    CSeaMonkeyAdapter() : CThunderbirdClient(kSeaMonkey) {}
};

void ExpectState(const CMailClient& client, int index, const char* name, BOOL configured, BOOL upToDate,
                 BOOL doubtful, const char* user, const char* server, int port, int authMode)
{
    const AccountInfo a = RecordOf(client, index);
    SCOPED_TRACE(name);
    EXPECT_EQ(name, a.name);
    EXPECT_TRUE(a.supported);
    EXPECT_EQ(configured, a.configured);
    EXPECT_EQ(upToDate, a.upToDate);
    EXPECT_EQ(doubtful, a.suspicious);
    EXPECT_EQ(user, a.original.userName);
    EXPECT_EQ(server, a.original.server);
    EXPECT_EQ(port, a.original.port);
    EXPECT_EQ(authMode, a.original.authMode);
}

// The product's key naming a program, in the root and view given.
void WriteProductKey(HKEY root, REGSAM view, const char* productKey, const std::string& version,
                     const std::string& exePath)
{
    plat::CRegKey product;
    ASSERT_EQ(ERROR_SUCCESS, product.Create(root, productKey, KEY_ALL_ACCESS | view));
    ASSERT_EQ(ERROR_SUCCESS, product.SetString("CurrentVersion", version));
    plat::CRegKey main;
    ASSERT_EQ(ERROR_SUCCESS, main.Create(product.Get(), (version + "\\Main").c_str(), KEY_ALL_ACCESS | view));
    ASSERT_EQ(ERROR_SUCCESS, main.SetString("PathToExe", exePath));
}

void RemoveProductKey(HKEY root, REGSAM view, const char* productKey)
{
    HKEY software = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(root, "Software\\Mozilla", KEY_ALL_ACCESS | view, &software));
    const std::string key = productKey;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(software, key.substr(key.rfind('\\') + 1).c_str()));
    plat::RegClose(software);
}

} // namespace

TEST_F(Thunderbird, FoundInEitherRootAndViewOnlyWhenTheNamedProgramExists)
{
    RemoveProductKey(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kThunderbird.registryKey);
    for (const ThunderbirdKind* kind : {&kThunderbird, &kSeaMonkey}) {
        SCOPED_TRACE(kind->displayName);
        EXPECT_FALSE(CThunderbirdClient(*kind).DetectClient());
        const std::string program = m_folder / (std::string(kind->displayName) + "\\" + kind->exeName);
        const struct
        {
            HKEY root;
            REGSAM view;
        } places[] = {{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                      {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
                      {HKEY_CURRENT_USER, 0}};
        for (const auto& place : places) {
            SCOPED_TRACE(place.view);
            WriteProductKey(place.root, place.view, kind->registryKey, "1.0 (x64 en-US)", program);
            // Named, but not there.
            EXPECT_FALSE(CThunderbirdClient(*kind).DetectClient());
            ASSERT_TRUE(SampleFile(program, "MZ"));
            CThunderbirdClient found(*kind);
            EXPECT_TRUE(found.DetectClient());
            EXPECT_EQ(program, found.ExePath());
            EXPECT_EQ(kind->exeName, found.ExeName());
            ASSERT_TRUE(plat::RemoveFile(program.c_str()));
            RemoveProductKey(place.root, place.view, kind->registryKey);
        }
        // A version that names no subkey of its own finds nothing.
        ASSERT_TRUE(SampleFile(program, "MZ"));
        WriteProductKey(HKEY_CURRENT_USER, 0, kind->registryKey, "2.0", program);
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, kind->registryKey, "CurrentVersion", "3.0"));
        EXPECT_FALSE(CThunderbirdClient(*kind).DetectClient());
        RemoveProductKey(HKEY_CURRENT_USER, 0, kind->registryKey);
    }
}

TEST_F(Thunderbird, EveryAccountOfBothProfilesIsReadWithItsState)
{
    CThunderbirdClient client(kThunderbird);
    ASSERT_TRUE(client.LoadClient());
    // Local folders, news and feeds are not listed at all.
    ASSERT_EQ(RECORD_COUNT, client.AccountCount());
    ExpectState(client, WORK, "Work mail", FALSE, FALSE, FALSE, "a.berg", "pop.work.example", 110,
                AUTH_NORMAL);
    EXPECT_EQ("anna@work.example", RecordOf(client, WORK).email);
    // The real names win over the old ones; the first identity gives the address.
    ExpectState(client, HOME, "Home mail", FALSE, FALSE, FALSE, "anna", "pop.home.example", 110, AUTH_NORMAL);
    EXPECT_EQ("anna@home.example", RecordOf(client, HOME).email);
    ExpectState(client, CONFIGURED, "Configured mail", TRUE, TRUE, FALSE, "anna.c", "pop.configured.example",
                110, AUTH_NORMAL);
    // Configured through real names the client has not moved yet, for another port.
    ExpectState(client, OLD_PORT, "Old proxy port", TRUE, FALSE, FALSE, "anna.o", "pop.old.example", 110,
                AUTH_NORMAL);
    // A user name with a slash reads as a proxy name that points nowhere sensible.
    ExpectState(client, DOUBTFUL, "Doubtful mail", TRUE, FALSE, TRUE, "dom", "anna", 110, AUTH_NORMAL);
    ExpectState(client, SPA, "SPA mail", FALSE, FALSE, FALSE, "CORP\\anna", "pop.spa.example", 110, AUTH_SPA);
    ExpectUnsupported(client, USER_JS_FIXED, "Fixed mail", REASON_USER_JS);
    ExpectUnsupported(client, CUT, "Cut mail", REASON_CONFIG_UNREADABLE);
    ExpectUnsupported(client, IMAP, "IMAP mail", REASON_IMAP);
    ExpectUnsupported(client, SSL, "SSL mail", REASON_SECURE);
    ExpectUnsupported(client, STLS, "STARTTLS mail", REASON_SECURE);
    EXPECT_EQ(995, RecordOf(client, SSL).current.port);
    EXPECT_EQ("socketType=2", RecordOf(client, STLS).current.secureStored);

    std::string store, identity;
    ASSERT_TRUE(client.LocateAccount(SPA, store, identity));
    EXPECT_EQ(m_main, store);
    EXPECT_EQ("server9", identity);
    ASSERT_TRUE(client.LocateAccount(USER_JS_FIXED, store, identity));
    EXPECT_EQ(m_work, store);
    EXPECT_EQ("server2", identity);
    EXPECT_FALSE(client.LocateAccount(RECORD_COUNT, store, identity));

    // What is left alone stays so: nothing is written for any of them.
    for (int index : {USER_JS_FIXED, CUT, IMAP, SSL, STLS})
        ExpectRefused(client, index, TRUE, Profiles());
}

TEST_F(Thunderbird, ConfiguringWritesTheRealNamesAndGivingBackRestoresEveryByte)
{
    // Home mail's real lines are rewritten in place; the others gain them at the end and lose them again.
    std::string main = Replaced(m_mainBytes, Line("server1", "realhostname", "\"pop.home.example\""),
                                Line("server1", "realhostname", "\"localhost\""));
    main = Replaced(main, Line("server1", "realuserName", "\"anna\""),
                    Line("server1", "realuserName", "\"anna/pop.home.example/110\""));
    main = Replaced(main, Line("server9", "authMethod", "6"), Line("server9", "authMethod", "3"));
    main += Line("server9", "realhostname", "\"localhost\"") +
            Line("server9", "realuserName", "\"CORP\\\\anna/pop.spa.example[SPA]/110\"");
    const std::string work = m_workBytes + Line("server1", "realhostname", "\"localhost\"") +
                             Line("server1", "realuserName", "\"a.berg/pop.work.example/110\"");
    ExpectRoundTrip<CThunderbirdAdapter>({WORK, HOME, SPA}, Profiles(), Both(work, main),
                                         Both(m_workBytes, m_mainBytes));
}

TEST_F(Thunderbird, UpdateAndRepairThenGivingBackDropsRealNamesEqualToThePlainOnes)
{
    CAcceptQuestions answer;
    {
        CThunderbirdClient client(kThunderbird);
        ASSERT_TRUE(client.LoadClient());
        for (int index : {CONFIGURED, OLD_PORT, DOUBTFUL})
            ASSERT_TRUE(client.ConfigureAccount(index, &answer)) << index;
    }
    EXPECT_EQ(1, answer.m_asked);
    // Only what differs from the plain names gets a real line; ports stay plain settings.
    std::string main = Replaced(m_mainBytes, Line("server5", "port", "8110"), Line("server5", "port", "110"));
    main = Replaced(main, Line("server5", "realhostname", "\"127.0.0.1\""),
                    Line("server5", "realhostname", "\"localhost\""));
    main += Line("server6", "realhostname", "\"localhost\"") +
            Line("server6", "realuserName", "\"dom/anna/110\"");
    EXPECT_EQ(main, FileBytes(m_main));

    CThunderbirdClient client(kThunderbird);
    ASSERT_TRUE(client.LoadClient());
    for (int index : {CONFIGURED, OLD_PORT, DOUBTFUL}) {
        EXPECT_TRUE(RecordOf(client, index).upToDate) << index;
        ASSERT_TRUE(client.UnconfigureAccount(index)) << index;
    }
    // Given back: real values equal to the plain ones leave no line behind, others are added or rewritten.
    main = Replaced(m_mainBytes, Line("server5", "port", "8110"), Line("server5", "port", "110"));
    main = Replaced(main, Line("server5", "realhostname", "\"127.0.0.1\""), "");
    main = Replaced(main, Line("server5", "realuserName", "\"anna.o/pop.old.example/110\""), "");
    // The repair's real lines were rewritten where they stood; the others come after them.
    main += Line("server6", "realhostname", "\"anna\"") + Line("server6", "realuserName", "\"dom\"") +
            Line("server4", "realhostname", "\"pop.configured.example\"") +
            Line("server4", "realuserName", "\"anna.c\"");
    EXPECT_EQ(main, FileBytes(m_main));
}

TEST_F(Thunderbird, AProfileStartedInBetweenStillGivesBackTheRightNames)
{
    {
        CThunderbirdClient client(kThunderbird);
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(client.ConfigureAccount(WORK));
        ASSERT_TRUE(client.ConfigureAccount(HOME));
    }
    // The client's next start moves the real names into the plain ones and drops the real lines.
    std::string work = m_workBytes;
    work = Replaced(work, Line("server1", "hostname", "\"pop.work.example\""),
                    Line("server1", "hostname", "\"localhost\""));
    work = Replaced(work, Line("server1", "userName", "\"a.berg\""),
                    Line("server1", "userName", "\"a.berg/pop.work.example/110\""));
    ASSERT_TRUE(SampleFile(m_work, work));
    std::string main = FileBytes(m_main);
    main = Replaced(main, Line("server1", "hostname", "\"pop.old-home.example\""),
                    Line("server1", "hostname", "\"localhost\""));
    main = Replaced(main, Line("server1", "userName", "\"anna.old\""),
                    Line("server1", "userName", "\"anna/pop.home.example/110\""));
    main = Replaced(main, Line("server1", "realhostname", "\"localhost\""), "");
    main = Replaced(main, Line("server1", "realuserName", "\"anna/pop.home.example/110\""), "");
    ASSERT_TRUE(SampleFile(m_main, main));
    {
        CThunderbirdClient client(kThunderbird);
        ASSERT_TRUE(client.LoadClient());
        for (int index : {WORK, HOME}) {
            EXPECT_TRUE(RecordOf(client, index).configured && RecordOf(client, index).upToDate) << index;
            ASSERT_TRUE(client.UnconfigureAccount(index)) << index;
        }
    }
    EXPECT_EQ(work + Line("server1", "realhostname", "\"pop.work.example\"") +
                  Line("server1", "realuserName", "\"a.berg\""),
              FileBytes(m_work));
    CThunderbirdClient client(kThunderbird);
    ASSERT_TRUE(client.LoadClient());
    ExpectState(client, WORK, "Work mail", FALSE, FALSE, FALSE, "a.berg", "pop.work.example", 110,
                AUTH_NORMAL);
    ExpectState(client, HOME, "Home mail", FALSE, FALSE, FALSE, "anna", "pop.home.example", 110, AUTH_NORMAL);
}

TEST_F(Thunderbird, SecureAccountsTurnPlainTowardsTheProxyAndComeBackAsStored)
{
    SpeakTls();
    std::string main =
        Replaced(m_mainBytes, Line("server7", "socketType", "3"), Line("server7", "socketType", "0"));
    main = Replaced(main, Line("server8", "socketType", "2"), Line("server8", "socketType", "0"));
    main += Line("server7", "realhostname", "\"localhost\"") +
            Line("server7", "realuserName", "\"anna.s/pop.ssl.example[SSL]/995\"") +
            Line("server8", "realhostname", "\"localhost\"") +
            Line("server8", "realuserName", "\"anna.t/pop.stls.example[STLS]/110\"");
    // A fresh load knows the kind from the tag alone, and writes the usual socketType for it.
    ExpectRoundTrip<CThunderbirdAdapter>({SSL, STLS}, BytesOf(m_main), main, m_mainBytes);

    // Configured, then the user turns SSL back on: not up to date, and an update turns it off again.
    {
        CThunderbirdClient client(kThunderbird);
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(client.ConfigureAccount(SSL));
    }
    ASSERT_TRUE(SampleFile(m_main, Replaced(FileBytes(m_main), Line("server7", "socketType", "0"),
                                            Line("server7", "socketType", "3"))));
    CThunderbirdClient client(kThunderbird);
    ASSERT_TRUE(client.LoadClient());
    const AccountInfo turnedOn = RecordOf(client, SSL);
    EXPECT_TRUE(turnedOn.configured);
    EXPECT_FALSE(turnedOn.upToDate);
    ASSERT_TRUE(client.ConfigureAccount(SSL));
    EXPECT_EQ(Replaced(m_mainBytes, Line("server7", "socketType", "3"), Line("server7", "socketType", "0")) +
                  Line("server7", "realhostname", "\"localhost\"") +
                  Line("server7", "realuserName", "\"anna.s/pop.ssl.example[SSL]/995\""),
              FileBytes(m_main));
    CThunderbirdClient repaired(kThunderbird);
    ASSERT_TRUE(repaired.LoadClient());
    EXPECT_TRUE(RecordOf(repaired, SSL).configured && RecordOf(repaired, SSL).upToDate);
}

TEST_F(Thunderbird, DamagedProfilesIniAndPathsOutsideAreRefusedWithoutACrash)
{
    const std::string ini = JoinPath(m_appData, "Thunderbird\\profiles.ini");
    // No sections at all: no profile, so nothing to list.
    ASSERT_TRUE(
        SampleFile(ini, "Name=default\r\nIsRelative=1\r\nPath=Profiles/q7r8s9t0.default-release\r\n"));
    EXPECT_FALSE(CThunderbirdClient(kThunderbird).LoadClient());
    // A profile without a Path, one that climbs out of the folder, a name twice: the good one is read once.
    ASSERT_TRUE(SampleFile(
        ini, "[Profile0]\r\nName=lost\r\n"
             "[Profile1]\r\nIsRelative=1\r\nPath=../Thunderbird/Profiles/q7r8s9t0.default-release\r\n"
             "[Profile2]\r\nIsRelative=1\r\nPath=Profiles/q7r8s9t0.default-release\r\n"
             "[Profile3]\r\nIsRelative=1\r\nPath=Profiles/Q7R8S9T0.default-release\r\n"));
    CThunderbirdClient client(kThunderbird);
    ASSERT_TRUE(client.LoadClient());
    EXPECT_EQ(RECORD_COUNT - HOME, client.AccountCount());
    EXPECT_EQ("Home mail", RecordOf(client, 0).name);
    // A prefs.js cut short in its account list: a list that is not whole names no account.
    ASSERT_TRUE(SampleFile(m_main, m_mainBytes.substr(0, m_mainBytes.find("account7,"))));
    EXPECT_FALSE(CThunderbirdClient(kThunderbird).LoadClient());
    ASSERT_TRUE(plat::RemoveFile(ini.c_str()));
    EXPECT_FALSE(CThunderbirdClient(kThunderbird).LoadClient());
}

TEST_F(Thunderbird, SeaMonkeyKeepsItsOwnProfilesAndAnOldProfilesSslFlag)
{
    ASSERT_TRUE(SeedSeaMonkeySamples(m_context));
    SpeakTls();
    const std::string prefs = JoinPath(m_appData, "Mozilla\\SeaMonkey\\Profiles\\m1n2o3p4.default\\prefs.js");
    const std::string bytes = FileBytes(prefs);
    CThunderbirdClient client(kSeaMonkey);
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(4, client.AccountCount());
    ExpectState(client, 0, "Sea mail", FALSE, FALSE, FALSE, "olaf", "pop.sea.example", 110, AUTH_NORMAL);
    ExpectState(client, 1, "Configured sea mail", TRUE, TRUE, FALSE, "olaf.c", "pop.configured.example", 110,
                AUTH_NORMAL);
    ExpectState(client, 2, "Old SSL mail", FALSE, FALSE, FALSE, "olaf.s", "pop.secure.example", 995,
                AUTH_NORMAL);
    EXPECT_EQ("isSecure=true", RecordOf(client, 2).original.secureStored);
    ExpectUnsupported(client, 3, "Sea IMAP", REASON_IMAP);

    std::string configured =
        Replaced(bytes, Line("server3", "isSecure", "true"), Line("server3", "isSecure", "false"));
    configured = Replaced(configured, Line("server3", "port", "995"), Line("server3", "port", "110"));
    configured += Line("server1", "realhostname", "\"localhost\"") +
                  Line("server1", "realuserName", "\"olaf/pop.sea.example/110\"") +
                  Line("server3", "realhostname", "\"localhost\"") +
                  Line("server3", "realuserName", "\"olaf.s/pop.secure.example[SSL]/995\"");
    ExpectRoundTrip<CSeaMonkeyAdapter>({0, 2}, BytesOf(prefs), configured, bytes);
    // Thunderbird's own profiles are not SeaMonkey's.
    EXPECT_EQ(m_mainBytes, FileBytes(m_main));
}

// A running client holds its profile's lock file open; a lock file left behind by a crash is not held.
TEST_F(Thunderbird, AHeldParentLockTellsThatTheClientRuns)
{
    CThunderbirdClient client(kThunderbird);
    ASSERT_TRUE(client.LoadClient());
    EXPECT_FALSE(client.IsStoreInUse());
    const std::string lock = JoinPath(ThunderbirdWorkProfileFolder(m_context), "parent.lock");
    ASSERT_TRUE(SampleFile(lock, ""));
    EXPECT_FALSE(client.IsStoreInUse());
    {
        CHeldFile held(lock);
        ASSERT_TRUE(held.IsHeld());
        EXPECT_TRUE(client.IsStoreInUse());
        // Another client's profiles are not its.
        ASSERT_TRUE(SeedSeaMonkeySamples(m_context));
        CThunderbirdClient seaMonkey(kSeaMonkey);
        ASSERT_TRUE(seaMonkey.LoadClient());
        EXPECT_FALSE(seaMonkey.IsStoreInUse());
    }
    EXPECT_FALSE(client.IsStoreInUse());
}
