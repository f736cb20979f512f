// The Bat!: the exact account files written and given back, found through the depot's folder entries, and
// accounts left alone that could not be written safely.
#include "support/ClientChecks.h"

#include "clients/TheBatClient.h"
#include "fixtures/SampleTheBat.h"
#include "fixtures/SampleWriter.h"

namespace {

const DWORD kProxyPort = 9110;

class TheBatClient : public CClientTest
{
protected:
    TheBatClient() { UseProxyPort(kProxyPort); }

    // The account files of the sample's first two accounts: one in the working directory, one in a folder
    // of its own.
    std::string HomeCfg() const { return m_folder / "TheBat\\Mail\\Home\\account.cfg"; }
    std::string WorkCfg() const { return m_folder / "TheBat\\Accounts\\Work\\account.cfg"; }
};

std::string Cfg(const char* login, const char* server, long long port, long long authMode, const char* email)
{
    TheBatSampleFile sample;
    sample.email = email;
    sample.login = login;
    sample.server = server;
    sample.port = port;
    sample.authMode = authMode;
    return TheBatAccountFileBytes(sample);
}

} // namespace

TEST_F(TheBatClient, ConfigureAndUnconfigureWriteExactFiles)
{
    ASSERT_TRUE(SeedTheBatSamples(m_context));
    const std::string home = FileBytes(HomeCfg());
    const std::string work = FileBytes(WorkCfg());
    // The authentication becomes the plain one, which the proxy speaks; the real one rides in the user name.
    ExpectRoundTrip<CTheBatClient>(
        {0, 1}, [this] { return FileBytes(HomeCfg()) + FileBytes(WorkCfg()); },
        Cfg("marta/pop.mail.example/110", "localhost", kProxyPort, 0, "anna@mail.example") +
            Cfg("anna.k/pop.work.example[APOP]/995", "localhost", kProxyPort, 0, "anna@work.example"),
        home + work);
    EXPECT_EQ(1u, FileCount(m_folder / "TheBat\\Mail\\Home"));
}

TEST_F(TheBatClient, AccountsThatCannotBeWrittenSafelyAreLeftAlone)
{
    ASSERT_TRUE(SeedTheBatSamples(m_context));
    // A folder longer than the reader's buffer is refused, not cut to some other account's folder.
    ASSERT_TRUE(SeedTheBatDepotEntry(12, "Long", m_folder / std::string(4200, 'd')));
    CTheBatClient client;
    ASSERT_TRUE(client.LoadClient());
    ExpectUnsupported(client, 5, "IMAP", REASON_IMAP);
    ExpectUnsupported(client, 11, "Long", REASON_REGISTRY);
    // The Bat! rewrote the file after it was read: its change is not overwritten.
    TheBatSampleFile changed;
    changed.login = "marta";
    changed.server = "pop.changed.example";
    ASSERT_TRUE(SampleFile(HomeCfg(), TheBatAccountFileBytes(changed)));
    ExpectRefused(client, 0, TRUE, FileStore(HomeCfg()));
}
