// The console tool over a catalogue of scripted clients whose stores outlive each refresh: what the
// end-to-end runs over the sample stores do not reach.
#include "support/ScriptedClient.h"
#include "support/TestScopes.h"

#include "app/tool/AccountsCommand.h"
#include "LastError.h"
#include "core/OriginalsJournal.h"
#include "Files.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

std::vector<PopSettings> g_store;
BOOL g_forgetWrites = FALSE;
// Non-zero: every write fails, leaving this last error (as a store file that cannot be replaced does).
DWORD g_writeError = 0;
BOOL g_storeInUse = FALSE;
// The stored client keeps its accounts in one file: a batch writes them at the commit, or (g_failCommit)
// none of them.
BOOL g_stage = FALSE;
BOOL g_failCommit = FALSE;
int g_commits = 0;

// Slot 2 holds the scripted client; its writes go to g_store, which the next catalogue reads again.
class CStoredClient : public CScriptedClient
{
public:
    CStoredClient()
    {
        m_displayName = "Stored";
        m_exeName = "stored.exe";
        m_store = g_store;
    }
    BOOL IsStoreInUse() const override { return g_storeInUse; }
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override
    {
        store = "stored";
        identity = std::to_string(index);
        return TRUE;
    }
    BOOL WriteAccount(int index, EWriteSource source) override
    {
        if (g_writeError != 0) {
            plat::SetLastErrorCode(g_writeError);
            return FALSE;
        }
        BOOL ok = CScriptedClient::WriteAccount(index, source);
        if (ok && g_stage && InBatch()) {
            m_staged.push_back(index);
            return TRUE;
        }
        if (ok && !g_forgetWrites)
            g_store[index] = m_store[index];
        return ok;
    }

protected:
    BOOL StagesBatchWrites() const override { return g_stage; }
    void WriteStagedStores(std::vector<int>& failed) override
    {
        ++g_commits;
        for (int index : m_staged) {
            if (g_failCommit)
                failed.push_back(index);
            else
                g_store[index] = m_store[index];
        }
        m_staged.clear();
    }

private:
    std::vector<int> m_staged;
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
        g_writeError = 0;
        g_storeInUse = FALSE;
        g_stage = FALSE;
        g_failCommit = FALSE;
        g_commits = 0;
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
    // An account that does not exist is a usage error, as a client number out of range is.
    EXPECT_EQ(TOOL_EXIT_USAGE, Run({"configure", "2", "9"}));
    EXPECT_EQ(0u, m_err.str().find("nimbrel-accounts: no account 2 9 (see: nimbrel-accounts list)\nusage:"))
        << m_err.str();
}

TEST_F(AccountsCommand, WriteThatDoesNotReadBackIsAFailure)
{
    g_forgetWrites = TRUE;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tconfigured\n"
              "2\t0\tStored\tAccount 0\tfailed: the account does not read back as written\n",
              m_out.str());
}

// A store held by another program is named as the cause; any other failed write keeps the general text.
TEST_F(AccountsCommand, AStoreInUseIsToldApartFromOtherFailedWrites)
{
    g_writeError = ERROR_SHARING_VIOLATION;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "0"}));
    EXPECT_EQ(
        "2\t0\tStored\tAccount 0\tfailed: Account's settings file is in use by another program; close that "
        "program and try again.\n",
        m_out.str());
    g_writeError = ERROR_LOCK_VIOLATION;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"unconfigure", "2", "2"}));
    EXPECT_EQ(
        "2\t2\tStored\tAccount 2\tfailed: Account's settings file is in use by another program; close that "
        "program and try again.\n",
        m_out.str());
    g_writeError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tfailed: the client's store could not be written\n", m_out.str());
    EXPECT_EQ("anna", g_store[0].userName);
}

TEST_F(AccountsCommand, UsageErrors)
{
    // Each names what is wrong on its first line; the usage text follows.
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{}, "no command given"},
        {{"configure"}, "configure: missing CLIENT ACCOUNT (or --all)"},
        {{"configure", "2"}, "configure: missing ACCOUNT"},
        {{"configure", "14", "0"}, "no client 14 (clients are 0 to 13)"},
        {{"unconfigure", "--all", "1"}, "unconfigure: unexpected argument: 1"},
        {{"update", "now"}, "update: unexpected argument: now"},
        {{"frob"}, "unknown command: frob"},
        {{"list", "--verbose"}, "unknown option: --verbose"},
        {{"--client"}, "--client: missing NAME or INDEX"},
        {{"--client", "14", "list"}, "no client 14 (clients are 0 to 13, or their names)"},
        {{"--client", "Nobody", "list"}, "no client Nobody (clients are 0 to 13, or their names)"},
        {{"--client", "2", "configure", "2", "0"},
         "--client goes with list, --all and update, not with CLIENT ACCOUNT"},
        {{"--json", "update"}, "--json goes with list only"},
        {{"--dry-run", "list"}, "--dry-run goes with configure, unconfigure and update only"},
    };
    for (const auto& line : bad) {
        EXPECT_EQ(TOOL_EXIT_USAGE, Run(line.first)) << line.second;
        EXPECT_EQ("nimbrel-accounts: " + line.second + "\n" + CAccountsCommand::UsageText(), m_err.str());
        EXPECT_EQ("", m_out.str()) << line.second;
    }
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"list", "--help"}));
    EXPECT_EQ(CAccountsCommand::UsageText(), m_out.str());
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"--version"}));
    EXPECT_EQ(0u, m_out.str().find("nimbrel-accounts 1.")) << m_out.str();
    EXPECT_EQ("", m_err.str());
}

TEST_F(AccountsCommand, ListAsJsonIsTypedAndFollowsTheClientFilter)
{
    g_store[0].userName = "Gr\xFC\xDF"; // Latin-1, as the stores keep it
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"list", "--json"}));
    nlohmann::json all = nlohmann::json::parse(m_out.str());
    ASSERT_TRUE(all.is_array());
    ASSERT_EQ(4u, all.size());
    const nlohmann::json& first = all[0];
    EXPECT_EQ(2, first.at("client").get<int>());
    EXPECT_EQ(0, first.at("account").get<int>());
    EXPECT_EQ("Stored", first.at("clientName").get<std::string>());
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F", first.at("userName").get<std::string>());
    EXPECT_TRUE(first.at("port").is_number_integer());
    EXPECT_EQ(110, first.at("port").get<int>());
    EXPECT_TRUE(first.at("reason").is_null());
    EXPECT_EQ(true, first.at("supported").get<bool>());
    EXPECT_EQ(false, first.at("configured").get<bool>());
    EXPECT_EQ(true, all[2].at("configured").get<bool>());
    EXPECT_EQ(false, all[2].at("upToDate").get<bool>()) << "its port is not the proxy's";
    EXPECT_EQ("Account's username or servername originally contains slash symbol(s).",
              all[3].at("reason").get<std::string>());
    EXPECT_EQ(13u, first.size());
    EXPECT_EQ(false, first.at("journal").get<bool>());

    // The filter by number and by name, in any letter case; another client has nothing to show.
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"--client", "stored", "list", "--json"}));
    EXPECT_EQ(all, nlohmann::json::parse(m_out.str()));
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"--client", "3", "list", "--json"}));
    EXPECT_EQ(nlohmann::json::array(), nlohmann::json::parse(m_out.str()));
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"--client", "3", "list"}));
    EXPECT_EQ(std::string::npos, m_out.str().find("Stored"));
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"--client", "3", "--yes", "configure", "--all"}));
    EXPECT_EQ("", m_out.str());
    EXPECT_EQ("Gr\xFC\xDF", g_store[0].userName) << "another client's --all leaves this one alone";
}

TEST_F(AccountsCommand, DryRunWritesNothingAndPrintsWhatTheRealRunWrites)
{
    const std::vector<PopSettings> before = g_store;
    auto same = [&] {
        for (size_t i = 0; i < before.size(); ++i) {
            if (g_store[i].userName != before[i].userName || g_store[i].server != before[i].server ||
                g_store[i].port != before[i].port)
                return false;
        }
        return true;
    };
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"--dry-run", "configure", "--all"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\twould write\tanna/pop.mail.example/110\tlocalhost\t110\n"
              "2\t1\tStored\tAccount 1\twould be left alone: doubtful settings (check them, or use --yes to "
              "accept)\n"
              "2\t2\tStored\tAccount 2\twould write\tbob/pop.bob.example/110\tlocalhost\t110\n",
              m_out.str());
    EXPECT_TRUE(same());
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"--dry-run", "--yes", "unconfigure", "--all"}));
    EXPECT_EQ("2\t1\tStored\tAccount 1\twould write\tdom\tanna\t110\n"
              "2\t2\tStored\tAccount 2\twould write\tbob\tpop.bob.example\t110\n",
              m_out.str());
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"--dry-run", "update"}));
    EXPECT_TRUE(same()) << "a dry run writes nothing";

    // The real run then writes what the dry run said.
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"--yes", "unconfigure", "--all"}));
    EXPECT_EQ("dom", g_store[1].userName);
    EXPECT_EQ("anna", g_store[1].server);
    EXPECT_EQ("bob", g_store[2].userName);
    EXPECT_EQ("pop.bob.example", g_store[2].server);
    EXPECT_EQ(110, g_store[2].port);
}

// A client that holds its store open runs, whatever the process list says: left alone unless forced.
TEST_F(AccountsCommand, AStoreHeldOpenCountsAsARunningClient)
{
    g_storeInUse = TRUE;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tleft alone: stored.exe is running (close it, or use --force)\n",
              m_out.str());
    EXPECT_EQ("anna", g_store[0].userName);
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"--force", "configure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tconfigured\n", m_out.str());
    EXPECT_EQ("anna/pop.mail.example/110", g_store[0].userName);
}

TEST_F(AccountsCommand, TheJournalIsListedAndGivesBackASpoiledAccount)
{
    CTestFolder folder;
    const std::string journal = folder / "journal.json";
    g_originalsJournal.SetPath(journal);
    struct Off
    {
        ~Off() { g_originalsJournal.SetPath(std::string()); }
    } off;

    ASSERT_EQ(TOOL_EXIT_DONE, Run({"configure", "2", "0"}));
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"list"}));
    EXPECT_NE(std::string::npos, m_out.str().find("\tport\tjournal\n")) << m_out.str();
    EXPECT_NE(std::string::npos, m_out.str().find("\tanna/pop.mail.example/110\tlocalhost\t110\tYes\n"))
        << m_out.str();
    EXPECT_NE(std::string::npos, m_out.str().find("\tbob/pop.bob.example/110\tlocalhost\t8110\tNo\n"))
        << "configured in another way, without an entry";
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"list", "--json"}));
    EXPECT_EQ(true, nlohmann::json::parse(m_out.str())[0].at("journal").get<bool>());

    // The user spoils the proxy user name in the client; giving back still brings the account back.
    g_store[0].userName = "anna-edited";
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"unconfigure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tunconfigured (settings from the journal)\n", m_out.str());
    EXPECT_EQ("anna", g_store[0].userName);
    EXPECT_EQ("pop.mail.example", g_store[0].server);
    EXPECT_EQ("", m_err.str());
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"list"}));
    EXPECT_NE(std::string::npos, m_out.str().find("\tanna\tpop.mail.example\t110\tNo\n")) << m_out.str();

    // A damaged journal: one line on stderr, and configuring goes on.
    ASSERT_TRUE(plat::ReplaceWholeFile(journal.c_str(), "{\"format\""));
    ASSERT_EQ(TOOL_EXIT_DONE, Run({"configure", "2", "0"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tconfigured\n", m_out.str());
    EXPECT_EQ(0u,
              m_err.str().find("nimbrel-accounts: the journal of original settings was damaged; it was set "
                               "aside as " +
                               journal + ".damaged-"))
        << m_err.str();
    const std::string err = m_err.str();
    EXPECT_EQ(1, std::count(err.begin(), err.end(), '\n'));
}

TEST_F(AccountsCommand, AStoreWrittenOncePerBatchReportsEachAccountAsItsStoreEnded)
{
    g_stage = TRUE;
    g_store.push_back(Pop("carl", "pop.carl.example", 110));
    const std::vector<PopSettings> before = g_store;
    // The file could not be written: every account of it failed, none of them changed.
    g_failCommit = TRUE;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "--all", "--client", "2"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tfailed: the client's store could not be written\n"
              "2\t1\tStored\tAccount 1\tleft alone: doubtful settings (check them, or use --yes to accept)\n"
              "2\t2\tStored\tAccount 2\tfailed: the client's store could not be written\n"
              "2\t4\tStored\tAccount 4\tfailed: the client's store could not be written\n",
              m_out.str());
    EXPECT_EQ(1, g_commits);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i].userName, g_store[i].userName) << i;

    // Written: one commit for both accounts, each reported and read back as configured.
    g_failCommit = FALSE;
    g_commits = 0;
    EXPECT_EQ(TOOL_EXIT_NOT_ALL_DONE, Run({"configure", "--all", "--client", "2"}));
    EXPECT_EQ("2\t0\tStored\tAccount 0\tconfigured\n"
              "2\t1\tStored\tAccount 1\tleft alone: doubtful settings (check them, or use --yes to accept)\n"
              "2\t2\tStored\tAccount 2\tupdated\n"
              "2\t4\tStored\tAccount 4\tconfigured\n",
              m_out.str());
    EXPECT_EQ(1, g_commits);
    EXPECT_EQ("anna/pop.mail.example/110", g_store[0].userName);
    EXPECT_EQ("carl/pop.carl.example/110", g_store[4].userName);
    EXPECT_EQ(110, g_store[2].port);
    EXPECT_EQ(TOOL_EXIT_DONE, Run({"unconfigure", "--all", "--client", "2", "--yes"}));
    EXPECT_EQ("anna", g_store[0].userName);
    EXPECT_EQ("bob", g_store[2].userName);
    EXPECT_EQ("carl", g_store[4].userName);
}
