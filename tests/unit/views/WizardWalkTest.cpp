// The wizard's walk over a catalogue of scripted clients: only supported accounts, in catalogue order.
#include "support/ScriptedClient.h"

#include "views/WizardWalk.h"

#include <gtest/gtest.h>

namespace {

// Slot 1: two accounts, the second unsupported (a slash in its server); slot 4: none; slot 6: one.
CMailClient* MakeClient(int index)
{
    CScriptedClient* client = new CScriptedClient;
    if (index == 1)
        client->m_store = {Pop("anna", "pop.a.example", 110), Pop("bob", "pop/b", 110),
                           Pop("cy", "pop.c", 110)};
    else if (index == 6)
        client->m_store = {Pop("dora", "pop.d.example", 110)};
    return client;
}

} // namespace

TEST(WizardWalk, StepsThroughSupportedAccountsOnly)
{
    CClientCatalogue catalogue(&MakeClient);
    catalogue.LoadCatalogue();
    CWizardWalk walk(catalogue);
    EXPECT_EQ(3, walk.AccountTotal());
    EXPECT_TRUE(walk.IsAccount(1, 0));
    EXPECT_FALSE(walk.IsAccount(1, 1));
    EXPECT_FALSE(walk.IsAccount(4, 0));

    struct Step
    {
        int client, account;
        BOOL forward;
        BOOL found;
        int foundClient, foundAccount;
    };
    const Step steps[] = {
        {0, 0, TRUE, TRUE, 1, 0},     {1, 0, TRUE, TRUE, 1, 2},  {1, 2, TRUE, TRUE, 6, 0},
        {6, 0, TRUE, FALSE, -1, -1},  {6, 0, FALSE, TRUE, 1, 2}, {1, 2, FALSE, TRUE, 1, 0},
        {1, 0, FALSE, FALSE, -1, -1}, {6, 5, FALSE, TRUE, 6, 0}, {13, 0, FALSE, TRUE, 6, 0},
    };
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        int c = -1, a = -1;
        EXPECT_EQ(steps[i].found, walk.Find(steps[i].client, steps[i].account, steps[i].forward, c, a));
        EXPECT_EQ(steps[i].foundClient, c);
        EXPECT_EQ(steps[i].foundAccount, a);
    }
    EXPECT_EQ(0, walk.AccountsBefore(1, 0));
    EXPECT_EQ(1, walk.AccountsBefore(1, 2));
    EXPECT_EQ(2, walk.AccountsBefore(6, 0));

    // Settling on a position that is no account moves on in the direction, or back when nothing is ahead.
    int c = 1, a = 1;
    EXPECT_TRUE(walk.Settle(c, a, TRUE));
    EXPECT_EQ(1, c);
    EXPECT_EQ(2, a);
    c = 6, a = 1;
    EXPECT_TRUE(walk.Settle(c, a, TRUE));
    EXPECT_EQ(6, c);
    EXPECT_EQ(0, a);
    c = 1, a = 1;
    EXPECT_TRUE(walk.Settle(c, a, FALSE));
    EXPECT_EQ(0, a);
}
