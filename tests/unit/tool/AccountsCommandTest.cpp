// The console tool over a catalogue of scripted clients whose stores outlive each refresh.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include "app/tool/AccountsCommand.h"
#include "Processes.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

std::vector<PopSettings> g_store;
std::string g_exeName;
BOOL g_forgetWrites = FALSE;

// Slot 2 holds the scripted client; its writes go to g_store, which the next catalogue reads again.
class CStoredClient : public CScriptedClient
{
public:
    CStoredClient()
    {
        m_displayName = "Stored";
        m_exeName = g_exeName;
        m_store = g_store;
    }
    BOOL WriteAccount(int index, int source) override
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
        g_exeName = "never-running.exe";
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

TEST_F(AccountsCommand, ListPrintsEveryAccountWithItsState)
{
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"list"}));
    EXPECT_EQ("client\taccount\tclient name\taccount name\te-mail\tsupported\tconfigured\tup to date\treason\t"
              "user name\tserver\tport\n"
              "2\t0\tStored\tAccount 0\t\tYes\tNo\tNo\t\tanna\tpop.mail.example\t110\n"
              "2\t1\tStored\tAccount 1\t\tYes\tYes\tNo\t\tdom/anna\tpop.mail.example\t110\n"
              "2\t2\tStored\tAccount 2\t\tYes\tYes\tNo\t\tbob/pop.bob.example/110\tlocalhost\t8110\n"
              "2\t3\tStored\tAccount 3\t\tNo\tNo\tNo\tAccount's username or servername originally contains "
              "slash symbol(s).\teve\tpop/x\t110\n",
              m_out.str());
}

TEST_F(AccountsCommand, ConfigureAllLeavesDoubtfulAccountsAloneUnlessYes)
{
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "--all"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tconfigured\n"
              "2\t1\tStored\tAccount 1\tleft alone: doubtful settings (check them, or use --yes to accept)\n"
              "2\t2\tStored\tAccount 2\tupdated\n",
              m_out.str());
    EXPECT_EQ("anna/pop.mail.example/110", g_store[0].userName);
    EXPECT_EQ("dom/anna", g_store[1].userName);
    EXPECT_EQ(110, g_store[2].port);

    EXPECT_EQ(TOOL_EXIT_DONE, Run({"--yes", "configure", "--all"}));
    EXPECT_EQ("2\t1\tStored\tAccount 1\trepaired\n", m_out.str());
    EXPECT_EQ("dom/anna/110", g_store[1].userName);

    EXPECT_EQ(TOOL_EXIT_DONE, Run({"unconfigure", "--all"}));
    EXPECT_EQ("anna", g_store[0].userName);
    EXPECT_EQ("pop.mail.example", g_store[0].server);
    EXPECT_EQ("dom", g_store[1].userName);
    EXPECT_EQ("anna", g_store[1].server);
    EXPECT_EQ("bob", g_store[2].userName);
    EXPECT_EQ("pop.bob.example", g_store[2].server);
}

TEST_F(AccountsCommand, SingleAccountsAndUpdate)
{
    // Update takes every configured account that is not up to date, the doubtful one too.
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"update"}));
    EXPECT_EQ("2\t1\tStored\tAccount 1\tleft alone: doubtful settings (check them, or use --yes to accept)\n"
              "2\t2\tStored\tAccount 2\tupdated\n",
              m_out.str());
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "3"}));
    EXPECT_EQ("2\t3\tStored\tAccount 3\tnot supported: Account's username or servername originally contains slash "
              "symbol(s).\n",
              m_out.str());
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"unconfigure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tnothing to do: not configured\n", m_out.str());
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "9"}));
    EXPECT_NE(std::string::npos, m_err.str().find("no account 2 9"));
}

TEST_F(AccountsCommand, RunningClientIsLeftAloneUnlessForced)
{
    // This test program is itself running, so a client with its name counts as running.
    std::vector<std::string> names;
    ASSERT_TRUE(plat::ListProcessNames(names));
    ASSERT_FALSE(names.empty());
    std::string self;
    for (const std::string& name : names) {
        if (name.find("core_tests") != std::string::npos)
            self = name;
    }
    ASSERT_FALSE(self.empty());
    g_exeName = self;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tleft alone: " + self + " is running (close it, or use --force)\n",
              m_out.str());
    EXPECT_EQ("anna", g_store[0].userName);
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"configure", "2", "0", "--force"}));
    EXPECT_EQ("anna/pop.mail.example/110", g_store[0].userName);
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
    const std::vector<std::vector<std::string>> bad = {{},
                                                       {"lists"},
                                                       {"configure"},
                                                       {"configure", "x", "1"},
                                                       {"configure", "9", "0"},
                                                       {"unconfigure", "--all", "1"},
                                                       {"configure", "1", "-1"},
                                                       {"update", "now"}};
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_EQ(TOOL_EXIT_USAGE, Run(bad[i])) << "case " << i;
        EXPECT_NE(std::string::npos, m_err.str().find("usage: nimbrel-accounts")) << "case " << i;
        EXPECT_EQ("", m_out.str()) << "case " << i;
    }
}
