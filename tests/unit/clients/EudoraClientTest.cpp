// Eudora: detection through the recorded command line, the settings file's account states, exact files
// written.
#include "support/ClientChecks.h"

#include "clients/EudoraClient.h"
#include "FileAttributes.h"
#include "Files.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

namespace {

const char kCommandLineKey[] = "Software\\Qualcomm\\Eudora\\CommandLine";

const std::string kSampleSettings = EudoraSampleSettings();

typedef CWithRecords<CEudoraClient> CTestEudora;

class EudoraClient : public CClientTest
{
protected:
    EudoraClient()
    {
        m_heldPort = g_productSettings.m_proxyPort;
        g_productSettings.Load();
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

    const std::string exe = m_folder / "Eudora\\Eudora.exe";
    ASSERT_TRUE(SampleFile(m_folder / "Eu dora\\Eudora.exe", "MZ"));
    const struct
    {
        const char* what;
        std::string commandLine;
        BOOL installed;
    } rows[] = {
        {"no space", exe, FALSE},
        {"a space inside the program's path", m_folder / "Eu dora\\Eudora.exe " + m_ini, FALSE},
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
    const char* const server = "pop.eudora.example";
    const struct
    {
        const char* what;
        std::string settings;
        AccountRow account;
    } rows[] = {
        {"sample", sample, {"Eudora", 1, 0, 0, 0, 0, "anna.e", server, 110, AUTH_APOP, PROTOCOL_POP3}},
        {"IMAP and POP",
         Replaced(sample, "UsesIMAP=0", "UsesIMAP=1"),
         {"Eudora", 0, 0, 0, 0, REASON_IMAP, "", "", 0, AUTH_UNKNOWN, PROTOCOL_IMAP}},
        {"POP is yes",
         Replaced(sample, "UsesPOP=1", "UsesPOP=yes"),
         {"Eudora", 0, 0, 0, 0, REASON_UNKNOWN_PROTOCOL, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN}},
        {"no POP flag",
         Replaced(sample, "UsesPOP=1\r\n", ""),
         {"Eudora", 0, 0, 0, 0, REASON_UNKNOWN_PROTOCOL, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN}},
        {"empty login",
         Replaced(sample, "LoginName=anna.e", "LoginName="),
         {"Eudora", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN}},
        {"no server",
         Replaced(sample, "PopServer=pop.eudora.example\r\n", ""),
         {"Eudora", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN}},
        {"SPA",
         Replaced(sample, "APOP=1\r\nAuthenticateRPA=0", "APOP=0\r\nAuthenticateRPA=1"),
         {"Eudora", 1, 0, 0, 0, 0, "anna.e", server, 110, AUTH_SPA, PROTOCOL_POP3}},
        {"no method",
         Replaced(sample, "APOP=1", "APOP=0"),
         {"Eudora", 0, 0, 0, 0, REASON_AUTH_NOT_SUPPORTED, "anna.e", server, 110, AUTH_UNKNOWN,
          PROTOCOL_UNKNOWN}},
        {"configured",
         Replaced(Replaced(sample, "=anna.e", "=anna.e/pop.eudora.example[APOP]/110"), "=pop.eudora.example",
                  "=localhost"),
         {"Eudora", 1, 1, 1, 0, 0, "anna.e/pop.eudora.example[APOP]/110", "localhost", 110, AUTH_APOP,
          PROTOCOL_POP3}},
        {"doubtful",
         Replaced(sample, "=anna.e", "=dom/anna"),
         {"Eudora", 1, 1, 0, 1, 0, "dom/anna", server, 110, AUTH_APOP, PROTOCOL_POP3}},
        // Longer than Eudora's own 255-character reader: taken whole.
        {"long login",
         Replaced(sample, "=anna.e", "=" + longLogin),
         {"Eudora", 1, 0, 0, 0, 0, longLogin, server, 110, AUTH_APOP, PROTOCOL_POP3}},
        // Too long for any buffer: refused, never cut.
        {"huge login",
         Replaced(sample, "=anna.e", "=" + std::string(70000, 'h')),
         {"Eudora", 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, "", "", 0, AUTH_UNKNOWN, PROTOCOL_UNKNOWN}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteSettings(row.settings);
        CTestEudora client;
        ASSERT_TRUE(client.LoadClient());
        ASSERT_EQ(1, client.AccountCount());
        EXPECT_EQ("anna@eudora.example", client.Record(0).email);
        ExpectAccounts(client, {row.account});
    }
}

TEST_F(EudoraClient, ConfigureAndUnconfigureWriteExactFiles)
{
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    const std::string configured =
        Replaced(Replaced(Replaced(Replaced(kSampleSettings, "LoginName=anna.e",
                                            "LoginName=anna.e/pop.eudora.example[APOP]/110"),
                                   "PopServer=pop.eudora.example", "PopServer=localhost"),
                          "AuthenticatePassword=0", "AuthenticatePassword=1"),
                 "AuthenticateAPOP=1", "AuthenticateAPOP=0");
    ExpectRoundTrip<CTestEudora>({0}, BytesOf(m_ini), configured, kSampleSettings);
    // Nothing is left beside the settings file.
    EXPECT_EQ(1u, FileCount(m_folder / "Eudora\\Data"));

    // Proxy user names that would not give the account back as it was, so the restore is refused and the
    // file stays: a real user name ending in a blank (no file Eudora wrote holds one), which reading trims;
    // no real user name at all, which would leave a file holding no account.
    for (const char* loginName : {"LoginName=anna.e /", "LoginName=/"}) {
        SCOPED_TRACE(loginName);
        WriteSettings(Replaced(configured, "LoginName=anna.e/", loginName));
        CTestEudora refused;
        ASSERT_TRUE(refused.LoadClient());
        ASSERT_TRUE(refused.Record(0).configured);
        ExpectRefused(refused, 0, FALSE, FileStore(m_ini));
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
    ExpectRefused(plain, 0, TRUE, BytesOf(m_ini));

    // A configured account can still be given back, though it cannot be brought up to date.
    StartWithProxyPort(110);
    CTestEudora toConfigure;
    ASSERT_TRUE(toConfigure.LoadClient());
    ASSERT_TRUE(toConfigure.ConfigureAccount(0));
    StartWithProxyPort(8110);
    CTestEudora client;
    ASSERT_TRUE(client.LoadClient());
    const AccountInfo& a = client.Record(0);
    EXPECT_TRUE(a.supported && a.configured && !a.upToDate && !a.suspicious);
    ExpectRefused(client, 0, TRUE, BytesOf(m_ini));
    ASSERT_TRUE(client.UnconfigureAccount(0));
    EXPECT_EQ(kSampleSettings, Settings());
}

TEST_F(EudoraClient, FailedWritesLeaveTheFileAsItWas)
{
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    CTestEudora client;
    ASSERT_TRUE(client.LoadClient());
    // Eudora saved its settings after they were read: its change is not overwritten.
    WriteSettings(Replaced(kSampleSettings, "RealName=Anna Example", "RealName=Anna E."));
    ExpectRefused(client, 0, TRUE, FileStore(m_ini));

    WriteSettings(kSampleSettings);
    CTestEudora readOnly;
    ASSERT_TRUE(readOnly.LoadClient());
    ASSERT_TRUE(plat::SetFileReadOnly(m_ini.c_str(), TRUE));
    ExpectRefused(readOnly, 0, TRUE, FileStore(m_ini));
    EXPECT_TRUE(plat::SetFileReadOnly(m_ini.c_str(), FALSE));

    CTestEudora gone;
    ASSERT_TRUE(gone.LoadClient());
    ASSERT_TRUE(plat::RemoveFolderTree((m_folder / "Eudora\\Data").c_str()));
    ExpectRefused(gone, 0, TRUE, FileStore(m_ini));
    EXPECT_FALSE(gone.WriteAccount(1, 0));
}
