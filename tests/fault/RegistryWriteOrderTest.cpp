// Registry accounts under failing and stopped writes: a failed write puts every value back, and the proxy
// user name is written first when configuring and last when restoring, so a stopped process loses nothing.
#include "support/TestScopes.h"

#include "clients/IncrediMailClient.h"
#include "clients/OutlookExpressClient.h"
#include "FaultInjection.h"
#include "fixtures/SampleStores.h"
#include "PortableControl.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace plat::portable;

const char kOutlookAccount[] = "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000002";
const char kIncrediMailAccount[] = "Software\\Incredimail\\Identities\\{A1}\\Accounts\\{ACC-2}";

class RegistryWriteOrder : public ::testing::Test
{
protected:
    RegistryWriteOrder() : m_port(110)
    {
        m_context.root = m_folder.Path();
        m_context.appData = m_folder / "AppData";
    }
    ~RegistryWriteOrder() override
    {
        StopFaults();
        ResetRegistry();
    }
    std::string OutlookValues() const
    {
        std::string text;
        for (const char* name : {"POP3 User Name", "POP3 Server", "POP3 Port", "POP3 Use Sicily"})
            text += RegValueText(HKEY_CURRENT_USER, kOutlookAccount, name) + "|";
        return text;
    }

    CTestFolder m_folder;
    CProxyPortScope m_port;
    SampleContext m_context;
};

TEST_F(RegistryWriteOrder, OutlookPutsEveryValueBackWhenOneFails)
{
    ASSERT_TRUE(SeedOutlookExpressSamples(m_context));
    const std::string before = OutlookValues();
    EXPECT_EQ("anna.k|pop.office.example|dword:995|dword:0|", before);
    // User name, server, port, then the SPA flag removed: each in turn fails.
    for (size_t step = 1; step <= 4; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        COutlookExpressClient client;
        ASSERT_TRUE(client.LoadClient());
        FailFaultStep(step);
        EXPECT_FALSE(client.ConfigureAccount(1));
        EXPECT_TRUE(FaultFired());
        StopFaults();
        EXPECT_EQ(before, OutlookValues());
    }
    COutlookExpressClient client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_TRUE(client.ConfigureAccount(1));
    EXPECT_EQ("anna.k/pop.office.example[SPA]/995|localhost|dword:110|<missing>|", OutlookValues());
}

TEST_F(RegistryWriteOrder, IncrediMailRestoresTheUserNameLast)
{
    ASSERT_TRUE(SeedIncrediMailSamples(m_context));
    // Configured account: gus on pop.gus.example, APOP, port 110, kept only in its user name.
    for (size_t step = 1; step <= 4; ++step) {
        SCOPED_TRACE("stopped before step " + std::to_string(step));
        ResetRegistry();
        ASSERT_TRUE(SeedIncrediMailSamples(m_context));
        m_port.Set(110);
        {
            CIncrediMailClient client;
            ASSERT_TRUE(client.LoadClient());
            CrashAtFaultStep(step, nullptr);
            EXPECT_FALSE(client.UnconfigureAccount(1));
            StopFaults();
        }
        // Whatever was written before the stop, the real settings are still there to be read.
        EXPECT_EQ("gus/pop.gus.example[APOP]/110",
                  RegValueText(HKEY_CURRENT_USER, kIncrediMailAccount, "PopAccount"));
        CIncrediMailClient reread;
        ASSERT_TRUE(reread.LoadClient());
        AccountInfo account;
        ASSERT_TRUE(reread.GetAccount(1, account));
        EXPECT_TRUE(account.supported);
        EXPECT_TRUE(account.configured);
        EXPECT_EQ("pop.gus.example", account.original.server);
        EXPECT_EQ(AUTH_APOP, account.original.authMode);
    }
}

} // namespace
