// The proxy user name as a carrier: every plain account that may be configured comes back whole, and one
// whose settings it could not carry back is left alone.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include <gtest/gtest.h>

namespace {

TEST(ProxyRoundTrip, DecodingGivesTheRealSettingsOrLeavesTheOutputAlone)
{
    PopSettings real = Pop("sentinel", "sentinel", 0xDEAD, 7);
    BOOL doubtful = 0xBD;
    EXPECT_FALSE(DecodeProxyUserName("anna", real, doubtful));
    EXPECT_EQ("sentinel", real.userName);
    EXPECT_EQ(0xDEAD, real.port);
    EXPECT_EQ(0xBD, doubtful);

    ASSERT_TRUE(DecodeProxyUserName("anna/pop.mail.example[APOP]/995", real, doubtful));
    EXPECT_EQ("anna", real.userName);
    EXPECT_EQ("pop.mail.example", real.server);
    EXPECT_EQ(995, real.port);
    EXPECT_EQ(AUTH_APOP, real.authMode);
    EXPECT_FALSE(doubtful);
    ASSERT_TRUE(DecodeProxyUserName("anna/pop.mail.example/0", real, doubtful));
    EXPECT_EQ(110, real.port);
    EXPECT_TRUE(doubtful);
}

TEST(ProxyRoundTrip, SettingsTheNameCannotCarryBackAreLeftAlone)
{
    CProxyPortScope port(110);
    const struct
    {
        PopSettings stored;
        const char* why;
    } rows[] = {
        {Pop("anna", "pop.mail.example", 0), "port 0 would come back as 110"},
        {Pop("anna", "pop.mail.example", -1), "a negative port comes back doubtful"},
        {Pop("anna", "pop[SPA].mail.example", 110), "the server would lose its end and gain SPA"},
        {Pop("anna", "pop.mail.example[APOP]", 110), "the server would lose its tag and gain APOP"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        CScriptedClient client;
        client.m_store = {row.stored};
        ASSERT_TRUE(client.LoadClient());
        const AccountInfo& account = client.Record(0);
        EXPECT_FALSE(account.supported);
        EXPECT_FALSE(account.configured);
        EXPECT_EQ(REASON_CONFIG_UNREADABLE, account.reason);
        EXPECT_EQ(row.stored.server, account.current.server);
        EXPECT_EQ(row.stored.port, account.current.port);
        EXPECT_FALSE(client.ConfigureAccount(0));
        EXPECT_TRUE(client.m_writes.empty());
    }
}

TEST(ProxyRoundTrip, EveryOtherPlainAccountComesBackAsItWas)
{
    CProxyPortScope port(8110);
    const PopSettings rows[] = {
        Pop("anna", "pop.mail.example", 110),
        Pop("anna[SPA]", "pop.mail.example", 995, AUTH_APOP),
        Pop("CORP\\anna \"a\"", "pop[1].mail.example", 70000, AUTH_SPA),
        Pop("", "", 1),
    };
    for (const PopSettings& stored : rows) {
        SCOPED_TRACE(stored.userName + " @ " + stored.server);
        CScriptedClient client;
        client.m_store = {stored};
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(client.Record(0).supported);
        ASSERT_TRUE(client.ConfigureAccount(0));

        CScriptedClient configured;
        configured.m_store = client.m_store;
        ASSERT_TRUE(configured.LoadClient());
        const AccountInfo& account = configured.Record(0);
        EXPECT_TRUE(account.configured);
        EXPECT_TRUE(account.upToDate);
        EXPECT_FALSE(account.suspicious);
        EXPECT_EQ(stored.userName, account.original.userName);
        EXPECT_EQ(stored.server, account.original.server);
        EXPECT_EQ(stored.port, account.original.port);
        EXPECT_EQ(stored.authMode, account.original.authMode);

        ASSERT_TRUE(configured.UnconfigureAccount(0));
        EXPECT_EQ(stored.userName, configured.m_store[0].userName);
        EXPECT_EQ(stored.server, configured.m_store[0].server);
        EXPECT_EQ(stored.port, configured.m_store[0].port);
        EXPECT_EQ(stored.authMode, configured.m_store[0].authMode);
    }
}

} // namespace
