// Classification of read accounts and the configure/unconfigure transformations, over a scripted adapter.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include "Prompt.h"

#include <gtest/gtest.h>

namespace {

struct PromptLog
{
    int answer = IDCANCEL;
    int calls = 0;
    std::string text;
    std::string caption;
    UINT type = 0;
};

int RecordPrompt(const char* text, const char* caption, UINT type, void* context)
{
    PromptLog* log = static_cast<PromptLog*>(context);
    ++log->calls;
    log->text = text;
    log->caption = caption;
    log->type = type;
    return log->answer;
}

class AccountStatus : public ::testing::Test
{
protected:
    AccountStatus() : m_port(110) { plat::SetPromptResponder(&RecordPrompt, &m_prompt); }
    ~AccountStatus() override { plat::SetPromptResponder(nullptr, nullptr); }

    // Loads one account with these stored settings.
    void Load(const PopSettings& stored)
    {
        m_client.m_store = {stored};
        ASSERT_TRUE(m_client.LoadClient());
    }

    CProxyPortScope m_port;
    PromptLog m_prompt;
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
    const int N = AUTH_NORMAL, A = AUTH_APOP, S = AUTH_SPA;
    const EvaluateRow rows[] = {
        // Plain accounts: original is a copy of current.
        {"anna", "pop.mail.example", 110, 1, 0, 0, 0, 0, "anna", "pop.mail.example", 110, N},
        {"anna", "pop.mail.example", 995, 1, 0, 0, 0, 0, "anna", "pop.mail.example", 995, N},
        // Configured and up to date, the server compared without regard to case.
        {"anna/pop.mail.example[APOP]/110", "LocalHost", 110, 1, 1, 1, 0, 0, "anna", "pop.mail.example", 110, A},
        // Only the port differs from the proxy's: not up to date, not doubtful.
        {"anna/pop.mail.example[APOP]/110", "localhost", 8110, 1, 1, 0, 0, 0, "anna", "pop.mail.example", 110, A},
        // No second slash: port 110.
        {"anna/pop.mail.example", "127.0.0.1", 110, 1, 1, 1, 0, 0, "anna", "pop.mail.example", 110, N},
        // Empty port text gives 0: doubtful, port back to 110.
        {"anna/pop.mail.example/", "localhost", 110, 1, 1, 0, 1, 0, "anna", "pop.mail.example", 110, N},
        // A letter in the port: doubtful, the digits before it count.
        {"anna/pop.mail.example/11O", "localhost", 110, 1, 1, 0, 1, 0, "anna", "pop.mail.example", 11, N},
        // A non-local server: doubtful; the middle part is taken as the server.
        {"dom/anna", "pop.mail.example", 110, 1, 1, 0, 1, 0, "dom", "anna", 110, N},
        // Text behind a tag is dropped; [SPA] wins over [APOP].
        {"anna/pop.mail.example[SPA]x/995", "localhost", 110, 1, 1, 1, 0, 0, "anna", "pop.mail.example", 995, S},
        {"anna/pop.mail.example[APOP][SPA]/110", "localhost", 110, 1, 1, 1, 0, 0, "anna", "pop.mail.example[APOP]",
         110, S},
        // Ports are not range-checked; a negative one is doubted by its sign.
        {"anna/pop.mail.example/70000", "localhost", 110, 1, 1, 1, 0, 0, "anna", "pop.mail.example", 70000, N},
        {"anna/pop.mail.example/-5", "localhost", 110, 1, 1, 0, 1, 0, "anna", "pop.mail.example", -5, N},
        // A digit run too long for an int is held, not overflowed.
        {"anna/pop.mail.example/99999999999999999999", "localhost", 110, 1, 1, 1, 0, 0, "anna", "pop.mail.example",
         2147483647, N},
        // A server with a slash of its own is never supported, whatever the user name.
        {"anna", "pop/mail.example", 110, 0, 0, 0, 0, REASON_SLASH, "anna", "pop/mail.example", 110, N},
        {"anna/x/110", "pop/mail.example", 110, 0, 0, 0, 0, REASON_SLASH, "anna/x/110", "pop/mail.example", 110, N},
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

TEST_F(AccountStatus, EvaluateRefusedReadKeepsAdapterReasonAndResetsFields)
{
    m_client.m_store = {Pop("anna", "pop.mail.example", 110), Pop("bob", "pop.mail.example", 110)};
    m_client.m_refuse = {REASON_IMAP, 0};
    ASSERT_TRUE(m_client.LoadClient());
    EXPECT_EQ(2, m_client.AccountCount());
    EXPECT_FALSE(m_client.Record(0).supported);
    EXPECT_FALSE(m_client.Record(0).configured);
    EXPECT_EQ(REASON_IMAP, m_client.Record(0).reason);
    EXPECT_EQ(AUTH_UNKNOWN, m_client.Record(0).current.authMode);
    EXPECT_TRUE(m_client.Record(1).supported);
    EXPECT_EQ(PROTOCOL_POP3, m_client.Record(1).protocol);
    EXPECT_EQ(FALSE, m_client.EvaluateAccount(-1));
    EXPECT_EQ(FALSE, m_client.EvaluateAccount(2));
    EXPECT_EQ(2, m_client.m_reads); // one per record, nothing for the out-of-range calls
}

TEST_F(AccountStatus, ConfigureWritesProxySettingsAndUnconfigureRestores)
{
    m_port.Set(8110);
    Load(Pop("anna", "pop.mail.example", 995, AUTH_SPA));
    ASSERT_TRUE(m_client.ConfigureAccount(0));
    ASSERT_EQ(1u, m_client.m_writes.size());
    EXPECT_EQ(0, m_client.m_writes[0].source);
    EXPECT_EQ("anna/pop.mail.example[SPA]/995", m_client.m_store[0].userName);
    EXPECT_EQ("localhost", m_client.m_store[0].server);
    EXPECT_EQ(8110, m_client.m_store[0].port);
    EXPECT_EQ(AUTH_NORMAL, m_client.m_store[0].authMode);
    EXPECT_TRUE(m_client.Record(0).configured && m_client.Record(0).upToDate);
    EXPECT_EQ(0, m_prompt.calls);

    // Done already: nothing written again.
    EXPECT_TRUE(m_client.ConfigureAccount(0));
    EXPECT_EQ(1u, m_client.m_writes.size());

    ASSERT_TRUE(m_client.UnconfigureAccount(0));
    ASSERT_EQ(2u, m_client.m_writes.size());
    EXPECT_EQ(1, m_client.m_writes[1].source);
    EXPECT_EQ("anna", m_client.m_store[0].userName);
    EXPECT_EQ("pop.mail.example", m_client.m_store[0].server);
    EXPECT_EQ(995, m_client.m_store[0].port);
    EXPECT_EQ(AUTH_SPA, m_client.m_store[0].authMode);
    EXPECT_FALSE(m_client.Record(0).configured);
    EXPECT_EQ("anna", m_client.Record(0).current.userName);

    // Not configured: nothing to do, nothing written.
    EXPECT_TRUE(m_client.UnconfigureAccount(0));
    EXPECT_EQ(2u, m_client.m_writes.size());
}

TEST_F(AccountStatus, UpdateRewritesPortWithoutQuestion)
{
    Load(Pop("anna/pop.mail.example[APOP]/110", "localhost", 8110));
    ASSERT_FALSE(m_client.Record(0).upToDate);
    ASSERT_TRUE(m_client.ConfigureAccount(0));
    EXPECT_EQ(0, m_prompt.calls);
    EXPECT_EQ("anna/pop.mail.example[APOP]/110", m_client.m_store[0].userName);
    EXPECT_EQ(110, m_client.m_store[0].port);
}

TEST_F(AccountStatus, DoubtfulAccountAsksFirst)
{
    Load(Pop("dom/anna", "pop.mail.example", 110));
    m_prompt.answer = IDCANCEL;
    EXPECT_FALSE(m_client.ConfigureAccount(0));
    EXPECT_EQ(1, m_prompt.calls);
    EXPECT_EQ("Confirm action for Account 0", m_prompt.caption);
    EXPECT_EQ("Account has the following parameters:\n\tUsername: dom/anna\n\tPOP3 server: pop.mail.example\n"
              "It is either configured with errors, or is not configured but looks similar to. Program can not "
              "detect it reliably.\n\nConsider this account configured with errors and try to repair it?",
              m_prompt.text);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION), m_prompt.type);
    EXPECT_TRUE(m_client.m_writes.empty());
    EXPECT_FALSE(m_client.Record(0).supported);
    EXPECT_EQ(REASON_SLASH, m_client.Record(0).reason);
    // Rejected: left alone until the next read.
    EXPECT_FALSE(m_client.UnconfigureAccount(0));
    EXPECT_EQ(1, m_prompt.calls);

    CScriptedClient again;
    again.m_store = {Pop("dom/anna", "pop.mail.example", 110)};
    ASSERT_TRUE(again.LoadClient());
    m_prompt.answer = IDOK;
    ASSERT_TRUE(again.ConfigureAccount(0));
    EXPECT_EQ("dom/anna/110", again.m_store[0].userName);
    EXPECT_EQ("localhost", again.m_store[0].server);

    CScriptedClient third;
    third.m_store = {Pop("dom/anna", "pop.mail.example", 110)};
    ASSERT_TRUE(third.LoadClient());
    ASSERT_TRUE(third.UnconfigureAccount(0));
    EXPECT_NE(std::string::npos, m_prompt.text.find("try to unconfigure it?"));
    EXPECT_EQ("dom", third.m_store[0].userName);
    EXPECT_EQ("anna", third.m_store[0].server);
}

TEST_F(AccountStatus, FailedWriteLeavesFlags)
{
    Load(Pop("anna", "pop.mail.example", 110));
    m_client.m_failWrites = TRUE;
    EXPECT_FALSE(m_client.ConfigureAccount(0));
    EXPECT_FALSE(m_client.Record(0).configured);
    EXPECT_TRUE(m_client.Record(0).supported);
    // The proxy settings were already put into current; the store has nothing new.
    EXPECT_EQ("anna/pop.mail.example/110", m_client.Record(0).current.userName);
    EXPECT_EQ("anna", m_client.m_store[0].userName);

    CScriptedClient configured;
    configured.m_store = {Pop("anna/pop.mail.example/110", "localhost", 110)};
    ASSERT_TRUE(configured.LoadClient());
    configured.m_failWrites = TRUE;
    EXPECT_FALSE(configured.UnconfigureAccount(0));
    EXPECT_TRUE(configured.Record(0).configured);
    EXPECT_EQ("anna/pop.mail.example/110", configured.Record(0).current.userName);
}

TEST_F(AccountStatus, OperationsRefuseWhatTheyCannotAddress)
{
    Load(Pop("anna", "pop/x", 110)); // unsupported
    EXPECT_FALSE(m_client.ConfigureAccount(0));
    EXPECT_FALSE(m_client.UnconfigureAccount(0));
    EXPECT_FALSE(m_client.ConfigureAccount(1));
    EXPECT_FALSE(m_client.UnconfigureAccount(-1));
    EXPECT_TRUE(m_client.m_writes.empty());

    CScriptedClient absent;
    absent.m_detect = FALSE;
    absent.m_store = {Pop("anna", "pop.mail.example", 110)};
    EXPECT_FALSE(absent.LoadClient());
    EXPECT_EQ(0, absent.AccountCount());
    EXPECT_EQ(0, absent.m_reads);
    EXPECT_FALSE(absent.ConfigureAccount(0));

    CScriptedClient empty;
    EXPECT_FALSE(empty.LoadClient());
    EXPECT_TRUE(empty.IsInstalled());
    EXPECT_EQ(0, empty.AccountCount());
    AccountInfo copy;
    copy.name = "sentinel";
    EXPECT_FALSE(empty.GetAccount(0, copy));
    EXPECT_EQ("sentinel", copy.name);
}

TEST_F(AccountStatus, ReasonTextsAndProxyUserName)
{
    m_client.m_store = {Pop("a", "b", 110), Pop("a", "b/c", 110)};
    m_client.m_refuse = {REASON_NEWS, 0};
    ASSERT_TRUE(m_client.LoadClient());
    EXPECT_EQ("Account configured to work by NEWS protocol.", m_client.GetReasonText(0));
    EXPECT_EQ("Account's username or servername originally contains slash symbol(s).", m_client.GetReasonText(1));
    EXPECT_EQ("", m_client.GetReasonText(2));

    EXPECT_EQ("anna/pop.mail.example[APOP]/110", EncodeProxyUserName("anna", "pop.mail.example", 110, AUTH_APOP));
    EXPECT_EQ("anna/pop.mail.example[SPA]/995", EncodeProxyUserName("anna", "pop.mail.example", 995, AUTH_SPA));
    EXPECT_EQ("anna/pop.mail.example/110", EncodeProxyUserName("anna", "pop.mail.example", 110, AUTH_UNKNOWN));
    EXPECT_EQ("anna/pop.mail.example/110", EncodeProxyUserName("anna", "pop.mail.example", 110, 7));
}
