// Eudora: detection through the recorded command line, the settings file's account states, exact files
// written.
#include "support/ClientChecks.h"
#include "support/TestScopes.h"

#include "clients/EudoraClient.h"
#include "FileAttributes.h"
#include "Files.h"
#include "fixtures/SampleStores.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

#include <gtest/gtest.h>

namespace {

const char kCommandLineKey[] = "Software\\Qualcomm\\Eudora\\CommandLine";

const std::string kSampleSettings = EudoraSampleSettings();

typedef CWithRecords<CEudoraClient> CTestEudora;

class EudoraClient : public ::testing::Test
{
protected:
    EudoraClient() : m_registry({{HKEY_CURRENT_USER, "Software\\Qualcomm"}}), m_port(110)
    {
        m_heldPort = g_productSettings.m_proxyPort;
        g_productSettings.Load();
        m_context.root = m_folder.Path();
        m_ini = m_folder / "Eudora\\Data\\eudora.ini";
    }
    ~EudoraClient() override { g_productSettings.m_proxyPort = m_heldPort; }

    // The port the program holds since its start, as Eudora's reader uses it.
    void StartWithProxyPort(DWORD port)
    {
        m_port.Set(port);
        g_productSettings.Load();
    }
    void WriteSettings(const std::string& text) { ASSERT_TRUE(SampleFile(m_ini, text)); }
    std::string Settings() const { return FileBytes(m_ini); }
    static std::string Replaced(std::string text, const std::string& line, const std::string& by)
    {
        const size_t at = text.find(line);
        EXPECT_NE(std::string::npos, at) << line;
        if (at != std::string::npos)
            text.replace(at, line.size(), by);
        return text;
    }

    CRegistryScope m_registry;
    CProxyPortScope m_port;
    CTestFolder m_folder;
    SampleContext m_context;
    std::string m_ini;
    int m_heldPort = 110;
};

} // namespace

TEST_F(EudoraClient, DetectionFromTheRecordedCommandLine)
{
    CEudoraClient nothing;
    EXPECT_FALSE(nothing.DetectClient());

    ASSERT_TRUE(SeedEudoraSamples(m_context));
    CEudoraClient sample;
    EXPECT_TRUE(sample.DetectClient());
    // The program is the first part and the settings file the last; the data folder between is ignored.
    EXPECT_EQ(m_folder / "Eudora\\Eudora.exe", sample.ExePath());
    EXPECT_EQ(m_ini, sample.IniPath());
    EXPECT_EQ(1, sample.EnumerateAccounts());

    const std::string exe = m_folder / "Eudora\\Eudora.exe";
    ASSERT_TRUE(SampleFile(m_folder / "Eu dora\\Eudora.exe", "MZ"));
    const struct
    {
        const char* what;
        std::string commandLine;
        BOOL installed;
    } rows[] = {
        {"no space", exe, FALSE},
        {"two parts", exe + " " + m_ini, TRUE},
        {"a space inside the program's path", m_folder / "Eu dora\\Eudora.exe " + m_ini, FALSE},
        {"no program there", m_folder / "Nowhere\\Eudora.exe " + m_ini, FALSE},
        // Longer than the reader's 260 bytes: refused whole, never cut to some other path.
        {"longer than its buffer", exe + " " + std::string(300, 'x'), FALSE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, kCommandLineKey, "current", row.commandLine));
        CEudoraClient client;
        EXPECT_EQ(row.installed, client.DetectClient());
    }

    // Installed without a settings file: no account, not shown.
    ASSERT_TRUE(
        SampleRegString(HKEY_CURRENT_USER, kCommandLineKey, "current", exe + " " + m_folder / "none.ini"));
    CEudoraClient noSettings;
    EXPECT_FALSE(noSettings.LoadClient());
    EXPECT_TRUE(noSettings.IsInstalled());
}

TEST_F(EudoraClient, SettingsReadIntoEveryState)
{
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    const std::string sample = kSampleSettings;
    const std::string longLogin(300, 'l');
    struct Row
    {
        const char* what;
        std::string settings;
        BOOL supported, configured, upToDate, suspicious;
        int reason;
        int protocol;
        std::string user;
        const char* server;
        int auth;
    };
    const Row rows[] = {
        {"sample", sample, 1, 0, 0, 0, 0, PROTOCOL_POP3, "anna.e", "pop.eudora.example", AUTH_APOP},
        {"IMAP and POP", Replaced(sample, "UsesIMAP=0", "UsesIMAP=1"), 0, 0, 0, 0, REASON_IMAP, PROTOCOL_IMAP,
         "", "", AUTH_UNKNOWN},
        {"POP is yes", Replaced(sample, "UsesPOP=1", "UsesPOP=yes"), 0, 0, 0, 0, REASON_UNKNOWN_PROTOCOL,
         PROTOCOL_UNKNOWN, "", "", AUTH_UNKNOWN},
        {"no POP flag", Replaced(sample, "UsesPOP=1\r\n", ""), 0, 0, 0, 0, REASON_UNKNOWN_PROTOCOL,
         PROTOCOL_UNKNOWN, "", "", AUTH_UNKNOWN},
        {"empty login", Replaced(sample, "LoginName=anna.e", "LoginName="), 0, 0, 0, 0,
         REASON_CONFIG_UNREADABLE, PROTOCOL_UNKNOWN, "", "", AUTH_UNKNOWN},
        {"no server", Replaced(sample, "PopServer=pop.eudora.example\r\n", ""), 0, 0, 0, 0,
         REASON_CONFIG_UNREADABLE, PROTOCOL_UNKNOWN, "", "", AUTH_UNKNOWN},
        {"SPA", Replaced(sample, "APOP=1\r\nAuthenticateRPA=0", "APOP=0\r\nAuthenticateRPA=1"), 1, 0, 0, 0, 0,
         PROTOCOL_POP3, "anna.e", "pop.eudora.example", AUTH_SPA},
        {"no method", Replaced(sample, "APOP=1", "APOP=0"), 0, 0, 0, 0, REASON_AUTH_NOT_SUPPORTED,
         PROTOCOL_UNKNOWN, "anna.e", "pop.eudora.example", AUTH_UNKNOWN},
        {"configured",
         Replaced(Replaced(sample, "=anna.e", "=anna.e/pop.eudora.example[APOP]/110"), "=pop.eudora.example",
                  "=localhost"),
         1, 1, 1, 0, 0, PROTOCOL_POP3, "anna.e/pop.eudora.example[APOP]/110", "localhost", AUTH_APOP},
        {"doubtful", Replaced(sample, "=anna.e", "=dom/anna"), 1, 1, 0, 1, 0, PROTOCOL_POP3, "dom/anna",
         "pop.eudora.example", AUTH_APOP},
        // Longer than Eudora's own 255-character reader: taken whole.
        {"long login", Replaced(sample, "=anna.e", "=" + longLogin), 1, 0, 0, 0, 0, PROTOCOL_POP3, longLogin,
         "pop.eudora.example", AUTH_APOP},
        // Too long for any buffer: refused, never cut.
        {"huge login", Replaced(sample, "=anna.e", "=" + std::string(70000, 'h')), 0, 0, 0, 0,
         REASON_CONFIG_UNREADABLE, PROTOCOL_UNKNOWN, "", "", AUTH_UNKNOWN},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WriteSettings(row.settings);
        CTestEudora client;
        ASSERT_TRUE(client.LoadClient());
        ASSERT_EQ(1, client.AccountCount());
        const AccountInfo& a = client.Record(0);
        EXPECT_EQ("Eudora", a.name);
        EXPECT_EQ("anna@eudora.example", a.email);
        EXPECT_EQ(row.supported, a.supported);
        EXPECT_EQ(row.configured, a.configured);
        EXPECT_EQ(row.upToDate, a.configured && a.upToDate);
        EXPECT_EQ(row.suspicious, a.configured && a.suspicious);
        EXPECT_EQ(row.reason, a.reason);
        EXPECT_EQ(row.protocol, a.protocol);
        EXPECT_EQ(row.user, a.current.userName);
        EXPECT_EQ(row.server, a.current.server);
        EXPECT_EQ(row.auth, a.current.authMode);
        EXPECT_EQ(row.supported || row.reason == REASON_AUTH_NOT_SUPPORTED ? 110 : 0, a.current.port);
    }
}

TEST_F(EudoraClient, ConfigureAndUnconfigureWriteExactFiles)
{
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    CTestEudora client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_TRUE(client.ConfigureAccount(0));
    const std::string configured =
        Replaced(Replaced(Replaced(Replaced(kSampleSettings, "LoginName=anna.e",
                                            "LoginName=anna.e/pop.eudora.example[APOP]/110"),
                                   "PopServer=pop.eudora.example", "PopServer=localhost"),
                          "AuthenticatePassword=0", "AuthenticatePassword=1"),
                 "AuthenticateAPOP=1", "AuthenticateAPOP=0");
    EXPECT_EQ(configured, Settings());

    CTestEudora reread;
    ASSERT_TRUE(reread.LoadClient());
    EXPECT_TRUE(reread.Record(0).configured && reread.Record(0).upToDate);
    ASSERT_TRUE(reread.UnconfigureAccount(0));
    EXPECT_EQ(kSampleSettings, Settings());

    // Nothing is left beside the settings file.
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDirectory((m_folder / "Eudora\\Data").c_str(), entries));
    EXPECT_EQ(3u, entries.size());

    // Proxy user names that would not give the account back as it was, so the restore is refused and the
    // file stays: a real user name ending in a blank (no file Eudora wrote holds one), which reading trims;
    // no real user name at all, which would leave a file holding no account.
    const char* const unrestorable[] = {"LoginName=anna.e /", "LoginName=/"};
    for (const char* loginName : unrestorable) {
        const std::string stored = Replaced(configured, "LoginName=anna.e/", loginName);
        WriteSettings(stored);
        CTestEudora refused;
        ASSERT_TRUE(refused.LoadClient()) << loginName;
        ASSERT_TRUE(refused.Record(0).configured) << loginName;
        EXPECT_FALSE(refused.UnconfigureAccount(0)) << loginName;
        EXPECT_EQ(stored, Settings()) << loginName;
        ASSERT_TRUE(plat::ListDirectory((m_folder / "Eudora\\Data").c_str(), entries));
        EXPECT_EQ(3u, entries.size()) << loginName;
    }
}

TEST_F(EudoraClient, ProxyOnAnotherPort)
{
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    StartWithProxyPort(8110);
    CTestEudora plain;
    ASSERT_TRUE(plain.LoadClient());
    EXPECT_FALSE(plain.Record(0).supported);
    EXPECT_EQ(REASON_NO_PORT_SELECTION, plain.Record(0).reason);
    EXPECT_FALSE(plain.ConfigureAccount(0));
    EXPECT_EQ(kSampleSettings, Settings());

    // A configured account can still be given back, though it cannot be brought up to date.
    StartWithProxyPort(110);
    CTestEudora toConfigure;
    ASSERT_TRUE(toConfigure.LoadClient());
    ASSERT_TRUE(toConfigure.ConfigureAccount(0));
    const std::string configured = Settings();
    StartWithProxyPort(8110);
    CTestEudora client;
    ASSERT_TRUE(client.LoadClient());
    const AccountInfo& a = client.Record(0);
    EXPECT_TRUE(a.supported);
    EXPECT_TRUE(a.configured);
    EXPECT_FALSE(a.upToDate);
    EXPECT_FALSE(a.suspicious);
    EXPECT_FALSE(client.ConfigureAccount(0));
    EXPECT_EQ(configured, Settings());
    ASSERT_TRUE(client.UnconfigureAccount(0));
    EXPECT_EQ(kSampleSettings, Settings());
}

TEST_F(EudoraClient, FailedWritesLeaveTheFileAsItWas)
{
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    CTestEudora client;
    ASSERT_TRUE(client.LoadClient());
    // Eudora saved its settings after they were read: its change is not overwritten.
    const std::string changed = Replaced(kSampleSettings, "RealName=Anna Example", "RealName=Anna E.");
    WriteSettings(changed);
    EXPECT_FALSE(client.ConfigureAccount(0));
    EXPECT_EQ(changed, Settings());
    EXPECT_FALSE(client.Record(0).configured);

    WriteSettings(kSampleSettings);
    CTestEudora readOnly;
    ASSERT_TRUE(readOnly.LoadClient());
    ASSERT_TRUE(plat::SetFileReadOnly(m_ini.c_str(), TRUE));
    EXPECT_FALSE(readOnly.ConfigureAccount(0));
    EXPECT_TRUE(plat::SetFileReadOnly(m_ini.c_str(), FALSE));
    EXPECT_EQ(kSampleSettings, Settings());
    EXPECT_FALSE(readOnly.Record(0).configured);

    CTestEudora gone;
    ASSERT_TRUE(gone.LoadClient());
    ASSERT_TRUE(plat::RemoveFolderTree((m_folder / "Eudora\\Data").c_str()));
    EXPECT_FALSE(gone.ConfigureAccount(0));
    EXPECT_FALSE(plat::PathExists(m_ini.c_str()));
    EXPECT_FALSE(gone.Record(0).configured);
    EXPECT_FALSE(gone.WriteAccount(1, 0));
}
