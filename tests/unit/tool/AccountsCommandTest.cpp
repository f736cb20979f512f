// The console tool over a catalogue of scripted clients whose stores outlive each refresh: what the
// end-to-end runs over the sample stores do not reach.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include "app/tool/AccountsCommand.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

std::vector<PopSettings> g_store;
BOOL g_forgetWrites = FALSE;

// Slot 2 holds the scripted client; its writes go to g_store, which the next catalogue reads again.
class CStoredClient : public CScriptedClient
{
public:
    CStoredClient()
    {
        m_displayName = "Stored";
        m_store = g_store;
    }
    BOOL WriteAccount(int index, EWriteSource source) override
    {
        BOOL ok = CScriptedClient::WriteAccount(index, source);
        if (ok && !g_forgetWrites)
            g_store[index] = m_store[index];
        return ok;
    }
};

CMailClient* MakeClient(int index)
{
    return index == 2 ? new CStoredClient : static_cast<CMailClient*>(new CScriptedClient);
}

class AccountsCommand : public ::testing::Test
{
protected:
    AccountsCommand() : m_port(110)
    {
        g_forgetWrites = FALSE;
        g_store = {Pop("anna", "pop.mail.example", 110), Pop("dom/anna", "pop.mail.example", 110),
                   Pop("bob/pop.bob.example/110", "localhost", 8110), Pop("eve", "pop/x", 110)};
    }

    int Run(std::vector<std::string> args)
    {
        m_out.str("");
        m_err.str("");
        CAccountsCommand command(m_out, m_err, &MakeClient);
        return command.Run(args);
    }

    CProxyPortScope m_port;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

} // namespace

TEST_F(AccountsCommand, SingleAccountsAndUpdate)
{
    // Update takes every configured account that is not up to date, the doubtful one too.
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"update"}));
    EXPECT_EQ("2\t1\tStored\tAccount 1\tleft alone: doubtful settings (check them, or use --yes to accept)\n"
              "2\t2\tStored\tAccount 2\tupdated\n",
              m_out.str());
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "3"}));
    EXPECT_EQ(
        "2\t3\tStored\tAccount 3\tnot supported: Account's username or servername originally contains slash "
        "symbol(s).\n",
        m_out.str());
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"unconfigure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tnothing to do: not configured\n", m_out.str());
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "9"}));
    EXPECT_NE(std::string::npos, m_err.str().find("no account 2 9"));
}

TEST_F(AccountsCommand, WriteThatDoesNotReadBackIsAFailure)
{
    g_forgetWrites = TRUE;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tconfigured\n"
              "2\t0\tStored\tAccount 0\tfailed: the account does not read back as written\n",
              m_out.str());
}

TEST_F(AccountsCommand, UsageErrors)
{
    const std::vector<std::vector<std::string>> bad = {
        {}, {"configure"}, {"configure", "9", "0"}, {"unconfigure", "--all", "1"}, {"update", "now"}};
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_EQ(TOOL_EXIT_USAGE, Run(bad[i])) << "case " << i;
        EXPECT_NE(std::string::npos, m_err.str().find("usage: nimbrel-accounts")) << "case " << i;
        EXPECT_EQ("", m_out.str()) << "case " << i;
    }
}
