// Eudora: the exact settings file written and given back, restores refused where the file would not read back
// as it was, and a proxy port Eudora cannot be given.
#include "support/ClientChecks.h"

#include "clients/EudoraClient.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

namespace {

const std::string kSampleSettings = EudoraSampleSettings();

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

    std::string m_ini;
    int m_heldPort = 110;
};

} // namespace

TEST_F(EudoraClient, ConfigureAndUnconfigureWriteExactFiles)
{
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    const std::string configured =
        Replaced(Replaced(Replaced(Replaced(kSampleSettings, "LoginName=anna.e",
                                            "LoginName=anna.e/pop.eudora.example[APOP]/110"),
                                   "PopServer=pop.eudora.example", "PopServer=localhost"),
                          "AuthenticatePassword=0", "AuthenticatePassword=1"),
                 "AuthenticateAPOP=1", "AuthenticateAPOP=0");
    ExpectRoundTrip<CEudoraClient>({0}, BytesOf(m_ini), configured, kSampleSettings);
    // Nothing is left beside the settings file.
    EXPECT_EQ(1u, FileCount(m_folder / "Eudora\\Data"));

    // Proxy user names that would not give the account back as it was, so the restore is refused and the
    // file stays: a real user name ending in a blank (no file Eudora wrote holds one), which reading trims;
    // no real user name at all, which would leave a file holding no account.
    for (const char* loginName : {"LoginName=anna.e /", "LoginName=/"}) {
        SCOPED_TRACE(loginName);
        ASSERT_TRUE(SampleFile(m_ini, Replaced(configured, "LoginName=anna.e/", loginName)));
        CEudoraClient refused;
        ASSERT_TRUE(refused.LoadClient());
        ASSERT_TRUE(RecordOf(refused, 0).configured);
        ExpectRefused(refused, 0, FALSE, FileStore(m_ini));
    }
}

TEST_F(EudoraClient, AccountsThatCannotBeCarriedAreLeftAlone)
{
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    // Mail fetched by IMAP, and a login too long for any reader, which must not be cut.
    const std::pair<std::string, int> rows[] = {
        {Replaced(kSampleSettings, "UsesIMAP=0", "UsesIMAP=1"), REASON_IMAP},
        {Replaced(kSampleSettings, "=anna.e", "=" + std::string(70000, 'h')), REASON_CONFIG_UNREADABLE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.second);
        ASSERT_TRUE(SampleFile(m_ini, row.first));
        CEudoraClient client;
        ASSERT_TRUE(client.LoadClient());
        ExpectUnsupported(client, 0, "Eudora", row.second);
    }

    // Eudora saved its settings after they were read: its change is not overwritten.
    ASSERT_TRUE(SampleFile(m_ini, kSampleSettings));
    CEudoraClient client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_TRUE(SampleFile(m_ini, Replaced(kSampleSettings, "RealName=Anna Example", "RealName=Anna E.")));
    ExpectRefused(client, 0, TRUE, FileStore(m_ini));
}

TEST_F(EudoraClient, AProxyOnAnotherPortIsNotConfigured)
{
    // Eudora has no port setting: pointed at the proxy, it would still fetch from port 110.
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    StartWithProxyPort(8110);
    CEudoraClient client;
    ASSERT_TRUE(client.LoadClient());
    ExpectUnsupported(client, 0, "Eudora", REASON_NO_PORT_SELECTION);
    ExpectRefused(client, 0, TRUE, BytesOf(m_ini));
}
