// The catalogue keeps its slots in a fixed order, whatever fails to be made or to load.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include "core/ClientCatalogue.h"

#include <gtest/gtest.h>

namespace {

int g_generation = 0;

// Slot 4 cannot be made; only slots 1 and 7 have accounts, and their count grows each time they are made.
CMailClient* MakeTestClient(int index)
{
    if (index == 4)
        return nullptr;
    CScriptedClient* client = new CScriptedClient;
    if (index == 1 || index == 7) {
        for (int i = 0; i <= g_generation; ++i)
            client->m_store.push_back(Pop("user", "pop.mail.example", 110));
    }
    return client;
}

} // namespace

TEST(ClientCatalogue, SlotsKeepTheirIndexes)
{
    g_generation = 0;
    CClientCatalogue catalogue(&MakeTestClient);
    catalogue.LoadCatalogue();
    EXPECT_EQ(nullptr, catalogue.Client(4));
    EXPECT_NE(nullptr, catalogue.Client(5));
    EXPECT_EQ(nullptr, catalogue.LoadedClient(0));
    ASSERT_NE(nullptr, catalogue.LoadedClient(1));
    ASSERT_NE(nullptr, catalogue.LoadedClient(7));
    EXPECT_EQ(nullptr, catalogue.Client(CLIENT_COUNT));
    EXPECT_EQ(nullptr, catalogue.Client(-1));
    EXPECT_EQ(2, catalogue.TotalAccounts());

    // A refresh reads every client afresh on new objects.
    g_generation = 2;
    catalogue.Refresh();
    EXPECT_EQ(6, catalogue.TotalAccounts());
    EXPECT_EQ(3, catalogue.LoadedClient(1)->AccountCount());

    // Refreshing some slots reads those afresh and leaves the others' objects as they were; a slot that
    // cannot be made stays empty, and one out of range is passed over.
    g_generation = 4;
    CMailClient* kept = catalogue.LoadedClient(1);
    catalogue.RefreshClients({7, 4, CLIENT_COUNT});
    EXPECT_EQ(kept, catalogue.LoadedClient(1));
    EXPECT_EQ(3, catalogue.LoadedClient(1)->AccountCount());
    EXPECT_EQ(5, catalogue.LoadedClient(7)->AccountCount());
    EXPECT_EQ(nullptr, catalogue.Client(4));
    EXPECT_EQ(8, catalogue.TotalAccounts());
}
