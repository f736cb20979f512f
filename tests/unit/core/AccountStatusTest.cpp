// Classification of read accounts, the doubtful-account question and refusals, over a scripted adapter.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include "views/DoubtfulQuestion.h"

#include <gtest/gtest.h>

namespace {

// Records the question a doubtful account raises and gives a set answer.
class CRecordedAnswer : public CDoubtfulAnswer
{
public:
    BOOL Confirm(const AccountInfo& account, EAccountAction action) override
    {
        ++calls;
        asked = MakeDoubtfulQuestion(account, action);
        return answer;
    }
    BOOL answer = FALSE;
    int calls = 0;
    DoubtfulQuestion asked;
};

class AccountStatus : public ::testing::Test
{
protected:
    AccountStatus() : m_port(110) {}

    // Loads one account with these stored settings.
    void Load(const PopSettings& stored)
    {
        m_client.m_store = {stored};
        ASSERT_TRUE(m_client.LoadClient());
    }

    CProxyPortScope m_port;
    CRecordedAnswer m_prompt;
    CScriptedClient m_client;
};

struct EvaluateRow
{
    const char* user;
    const char* server;
    int port;
    BOOL supported, configured, upToDate, suspicious;
    int reason;
    const char* originalUser;
    const char* originalServer;
    int originalPort;
    int originalAuth;
};

} // namespace

TEST_F(AccountStatus, EvaluateClassifiesEveryForm)
{
    const int N = AUTH_NORMAL, S = AUTH_SPA;
    const EvaluateRow rows[] = {
        // No second slash: port 110.
        {"anna/pop.example", "127.0.0.1", 110, 1, 1, 1, 0, 0, "anna", "pop.example", 110, N},
        // Empty port text gives 0: doubtful, port back to 110.
        {"anna/pop.example/", "localhost", 110, 1, 1, 0, 1, 0, "anna", "pop.example", 110, N},
        // A letter in the port: doubtful, the digits before it count.
        {"anna/pop.example/11O", "localhost", 110, 1, 1, 0, 1, 0, "anna", "pop.example", 11, N},
        // Text behind a tag is dropped; [SPA] wins over [APOP].
        {"anna/pop.example[SPA]x/995", "localhost", 110, 1, 1, 1, 0, 0, "anna", "pop.example", 995, S},
        {"anna/pop.example[APOP][SPA]/110", "localhost", 110, 1, 1, 1, 0, 0, "anna", "pop.example[APOP]", 110,
         S},
        // A configured account gives back the port it carries, in range or not; a negative one is doubted.
        {"anna/pop.example/70000", "localhost", 110, 1, 1, 1, 0, 0, "anna", "pop.example", 70000, N},
        {"anna/pop.example/-5", "localhost", 110, 1, 1, 0, 1, 0, "anna", "pop.example", -5, N},
        // A digit run too long for an int is held, not overflowed.
        {"anna/pop.example/99999999999999999999", "localhost", 110, 1, 1, 1, 0, 0, "anna", "pop.example",
         2147483647, N},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        const EvaluateRow& row = rows[i];
        SCOPED_TRACE("row " + std::to_string(i) + ": " + row.user + " @ " + row.server);
        CScriptedClient client;
        client.m_store = {Pop(row.user, row.server, row.port)};
        ASSERT_TRUE(client.LoadClient());
        const AccountInfo& a = client.Record(0);
        EXPECT_EQ(row.supported, a.supported);
        EXPECT_EQ(row.configured, a.configured);
        EXPECT_EQ(row.upToDate, a.upToDate);
        EXPECT_EQ(row.suspicious, a.suspicious);
        EXPECT_EQ(row.reason, a.reason);
        EXPECT_EQ(row.originalUser, a.original.userName);
        EXPECT_EQ(row.originalServer, a.original.server);
        EXPECT_EQ(row.originalPort, a.original.port);
        EXPECT_EQ(row.originalAuth, a.original.authMode);
        EXPECT_EQ(row.user, a.current.userName);
    }
}

TEST_F(AccountStatus, AnAccountIsOfferedOnlyWhenConfiguringCanGiveItBack)
{
    // Configuring keeps server, port and mode only inside the proxy user name: what would decode otherwise
    // is not offered. A bracket or a port of its own is not enough to refuse.
    const struct
    {
        const char* server;
        int port;
        int authMode;
        BOOL supported;
    } rows[] = {
        {"pop.example", 110, AUTH_NORMAL, TRUE},    {"pop.example", 1, AUTH_UNKNOWN, TRUE},
        {"pop.example", 0, AUTH_NORMAL, FALSE},     {"pop.example", -1, AUTH_NORMAL, FALSE},
        {"pop.example", 65535, AUTH_NORMAL, TRUE},  {"pop.example", 65536, AUTH_NORMAL, FALSE},
        {"pop.example", 99999, AUTH_NORMAL, FALSE}, {"pop[SPA]", 0, AUTH_NORMAL, FALSE},
        {"pop[1].example", 995, AUTH_NORMAL, TRUE}, {"pop[SPA]", 110, AUTH_NORMAL, FALSE},
        {"pop[APOP]", 110, AUTH_APOP, FALSE},       {"pop[APOP]", 110, AUTH_SPA, TRUE},
        {"pop[SPA]", 110, AUTH_APOP, FALSE},        {"pop.example", 110, AUTH_SPA, TRUE},
        {"pop.example[APOP", 110, AUTH_APOP, TRUE}, {"", 110, AUTH_NORMAL, TRUE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.server) + ":" + std::to_string(row.port) + " mode " +
                     std::to_string(row.authMode));
        CScriptedClient client;
        client.m_store = {Pop("anna", row.server, row.port, row.authMode)};
        ASSERT_TRUE(client.LoadClient());
        const AccountInfo& account = client.Record(0);
        EXPECT_FALSE(account.configured);
        EXPECT_EQ(row.supported, account.supported);
        // A port outside 1 to 65535 has its own reason, whatever else is wrong.
        const BOOL inRange = row.port >= 1 && row.port <= 65535;
        EXPECT_EQ(row.supported ? REASON_NONE
                  : inRange     ? REASON_CONFIG_UNREADABLE
                                : REASON_PORT_RANGE,
                  account.reason);
        if (!inRange) {
            EXPECT_EQ("Account's POP3 port is outside the range 1 to 65535.", client.GetReasonText(0));
            EXPECT_FALSE(client.ConfigureAccount(0));
            EXPECT_TRUE(client.m_writes.empty());
        }
    }
}

TEST_F(AccountStatus, AProxyUserNameLongerThanTheClientTakesIsRefusedBeforeAnyWrite)
{
    // "anna/pop.example[SPA]/110" has 25 characters: it fits a limit of 25, not one of 24.
    for (size_t limit : {25u, 24u}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        CScriptedClient client;
        client.m_maxUserName = limit;
        client.m_store = {Pop("anna", "pop.example", 110, AUTH_SPA)};
        ASSERT_TRUE(client.LoadClient());
        const AccountInfo& account = client.Record(0);
        EXPECT_EQ(limit == 25, account.supported);
        EXPECT_EQ(limit == 25 ? REASON_NONE : REASON_NAME_TOO_LONG, account.reason);
        EXPECT_EQ(limit == 25, client.ConfigureAccount(0));
        EXPECT_EQ(limit == 25 ? 1u : 0u, client.m_writes.size());
        if (limit == 24) {
            EXPECT_EQ("Account's username is too long for the e-mail client once it carries the Nimbrel "
                      "settings.",
                      client.GetReasonText(0));
        }
    }
    // A configured account already holds its proxy user name: it stays offered, to be given back.
    CScriptedClient configured;
    configured.m_maxUserName = 10;
    configured.m_store = {Pop("anna/pop.example[SPA]/110", "localhost", 110)};
    ASSERT_TRUE(configured.LoadClient());
    EXPECT_TRUE(configured.Record(0).supported);
    EXPECT_TRUE(configured.UnconfigureAccount(0));
}

TEST_F(AccountStatus, DoubtfulAccountAsksFirst)
{
    Load(Pop("dom/anna", "pop.mail.example", 110));
    m_prompt.answer = FALSE;
    EXPECT_FALSE(m_client.ConfigureAccount(0, &m_prompt));
    EXPECT_EQ(1, m_prompt.calls);
    EXPECT_EQ("Confirm action for Account 0", m_prompt.asked.caption);
    EXPECT_EQ(
        "Account has the following parameters:\n\tUsername: dom/anna\n\tPOP3 server: pop.mail.example\n"
        "It is either configured with errors, or is not configured but looks similar to. Program can not "
        "detect it reliably.\n\nConsider this account configured with errors and try to repair it?",
        m_prompt.asked.text);
    EXPECT_TRUE(m_client.m_writes.empty());
    EXPECT_FALSE(m_client.Record(0).supported);
    EXPECT_EQ(REASON_SLASH, m_client.Record(0).reason);
    // Rejected: left alone until the next read.
    EXPECT_FALSE(m_client.UnconfigureAccount(0, &m_prompt));
    EXPECT_EQ(1, m_prompt.calls);

    // Unconfiguring asks too; accepted, the middle part is taken as the server.
    m_prompt.answer = TRUE;
    CScriptedClient unconfigure;
    unconfigure.m_store = {Pop("dom/anna", "pop.mail.example", 110)};
    ASSERT_TRUE(unconfigure.LoadClient());
    ASSERT_TRUE(unconfigure.UnconfigureAccount(0, &m_prompt));
    EXPECT_NE(std::string::npos, m_prompt.asked.text.find("try to unconfigure it?"));

    // Without an answer a doubtful account is left alone, as when the user declines.
    CScriptedClient unanswered;
    unanswered.m_store = {Pop("dom/anna", "pop.mail.example", 110)};
    ASSERT_TRUE(unanswered.LoadClient());
    EXPECT_FALSE(unanswered.ConfigureAccount(0));
    EXPECT_TRUE(unanswered.m_writes.empty());
    EXPECT_EQ(REASON_SLASH, unanswered.Record(0).reason);
    EXPECT_EQ("dom", unconfigure.m_store[0].userName);
    EXPECT_EQ("anna", unconfigure.m_store[0].server);
}

TEST_F(AccountStatus, OperationsRefuseWhatTheyCannotAddress)
{
    Load(Pop("anna", "pop/x", 110)); // unsupported
    EXPECT_FALSE(m_client.ConfigureAccount(0));
    EXPECT_FALSE(m_client.UnconfigureAccount(0));
    EXPECT_FALSE(m_client.ConfigureAccount(1));
    EXPECT_FALSE(m_client.UnconfigureAccount(-1));
    EXPECT_TRUE(m_client.m_writes.empty());
}
