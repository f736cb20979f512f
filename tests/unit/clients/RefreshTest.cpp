// Every adapter loaded a second time (a refresh) starts from nothing: after its store changed in between, it
// shows exactly what a fresh adapter shows, and nothing of the first load stays behind.
#include "support/ClientChecks.h"

#include "clients/DefaultClients.h"
#include "core/ClientCatalogue.h"

#include <memory>

namespace {

std::string Shown(const CMailClient& client)
{
    std::string text = std::to_string(client.AccountCount()) + " accounts, exe " + client.ExePath() + "\n";
    for (int i = 0; i < client.AccountCount(); ++i) {
        const AccountInfo a = RecordOf(client, i);
        text += a.name + " <" + a.email + "> supported " + std::to_string(a.supported) + " configured " +
                std::to_string(a.configured) + " up to date " + std::to_string(a.upToDate) + " reason " +
                std::to_string(a.reason) + " current " + a.current.userName + "|" + a.current.server + "|" +
                std::to_string(a.current.port) + " real " + a.original.userName + "|" + a.original.server +
                "|" + std::to_string(a.original.port) + "|" + std::to_string(a.original.authMode) + "\n";
    }
    return text;
}

class Refresh : public CClientTest
{
};

} // namespace

TEST_F(Refresh, ASecondLoadOfTheSameAdapterSeesOnlyTheStoreAsItIsNow)
{
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        SCOPED_TRACE("client " + std::to_string(c));
        ASSERT_TRUE(SeederOf(c)(m_context));
        std::unique_ptr<CMailClient> kept(CreateDefaultClient(c));
        ASSERT_TRUE(kept->LoadClient());
        const std::string first = Shown(*kept);

        // The store changes behind the kept adapter's back: another one configures an account (or gives one
        // back, where the samples hold none to configure).
        {
            std::unique_ptr<CMailClient> writer(CreateDefaultClient(c));
            ASSERT_TRUE(writer->LoadClient());
            int target = -1;
            EAccountAction action = ACTION_CONFIGURE;
            for (EAccountAction tried : {ACTION_CONFIGURE, ACTION_UNCONFIGURE}) {
                for (int a = 0; a < writer->AccountCount() && target < 0; ++a) {
                    if (TakesAction(tried, RecordOf(*writer, a))) {
                        target = a;
                        action = tried;
                    }
                }
            }
            ASSERT_GE(target, 0);
            CAcceptQuestions accept;
            ASSERT_TRUE(action == ACTION_CONFIGURE ? writer->ConfigureAccount(target, &accept)
                                                   : writer->UnconfigureAccount(target, &accept));
        }

        ASSERT_TRUE(kept->LoadClient());
        std::unique_ptr<CMailClient> fresh(CreateDefaultClient(c));
        ASSERT_TRUE(fresh->LoadClient());
        EXPECT_EQ(Shown(*fresh), Shown(*kept));
        EXPECT_NE(first, Shown(*kept));
        // And once more without a change: the same again, not twice as many.
        ASSERT_TRUE(kept->LoadClient());
        EXPECT_EQ(Shown(*fresh), Shown(*kept));
    }
}

// The catalogue's load shares one context among its clients; a refresh reads everything again.
TEST_F(Refresh, TheCatalogueReadsAfreshAtEveryLoad)
{
    ASSERT_TRUE(SeedAllSamples(m_context));
    CClientCatalogue catalogue(&CreateDefaultClient);
    catalogue.LoadCatalogue();
    const int total = catalogue.TotalAccounts();
    ASSERT_GT(total, 0);
    catalogue.LoadCatalogue();
    EXPECT_EQ(total, catalogue.TotalAccounts());
    catalogue.Refresh();
    EXPECT_EQ(total, catalogue.TotalAccounts());
}
