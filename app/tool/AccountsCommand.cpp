// CAccountsCommand: the console tool's commands (list, configure, unconfigure, update) over the catalogue.
#include "app/tool/AccountsCommand.h"

#include "core/TextUtil.h"
#include "Processes.h"

#include <memory>

namespace {

const char* YesNo(BOOL value)
{
    return value ? "Yes" : "No";
}

BOOL ParseIndex(const std::string& text, int limit, int& value)
{
    if (!IsAllDigits(text) || text.size() > 4)
        return FALSE;
    value = std::stoi(text);
    return value < limit;
}

} // namespace

CAccountsCommand::CAccountsCommand(std::ostream& out, std::ostream& err, CClientCatalogue::Factory factory)
    : m_out(out), m_err(err), m_factory(factory)
{
}

const char* CAccountsCommand::UsageText()
{
    return "usage: nimbrel-accounts [--yes] [--force] COMMAND\n"
           "  list                            every account of every client, tab-separated\n"
           "  configure CLIENT ACCOUNT        fetch this account's mail through the Nimbrel proxy\n"
           "  configure --all                 every supported account not yet configured and up to date\n"
           "  unconfigure CLIENT ACCOUNT      put this account's own settings back\n"
           "  unconfigure --all               every configured account\n"
           "  update                          every configured account whose port is not the proxy's\n"
           "  --yes    answer OK when asked about a doubtful account (default: leave it alone)\n"
           "  --force  act even while the client's program is running\n";
}

int CAccountsCommand::Run(const std::vector<std::string>& args)
{
    std::vector<std::string> words;
    for (const std::string& arg : args) {
        if (arg == "--yes")
            m_assumeYes = TRUE;
        else if (arg == "--force")
            m_force = TRUE;
        else
            words.push_back(arg);
    }
    int client = -1;
    int account = -1;
    if (words.size() == 1 && words[0] == "list")
        return OnList();
    if (words.size() == 1 && words[0] == "update")
        return OnAction(ACTION_UPDATE, TRUE, -1, -1);
    if ((words.size() == 2 || words.size() == 3) && (words[0] == "configure" || words[0] == "unconfigure")) {
        EAccountAction action = words[0] == "configure" ? ACTION_CONFIGURE : ACTION_UNCONFIGURE;
        if (words.size() == 2 && words[1] == "--all")
            return OnAction(action, TRUE, -1, -1);
        if (words.size() == 3 && ParseIndex(words[1], CLIENT_COUNT, client) &&
            ParseIndex(words[2], 65536, account))
            return OnAction(action, FALSE, client, account);
    }
    m_err << UsageText();
    return TOOL_EXIT_USAGE;
}

int CAccountsCommand::OnList()
{
    CClientCatalogue catalogue(m_factory);
    catalogue.LoadCatalogue();
    m_out << "client\taccount\tclient name\taccount name\te-mail\tsupported\tconfigured\tup to date\treason\t"
             "user name\tserver\tport\n";
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        CMailClient* client = catalogue.LoadedClient(c);
        for (int a = 0; client && a < client->AccountCount(); ++a) {
            AccountInfo info;
            client->GetAccount(a, info);
            m_out << c << '\t' << a << '\t' << client->DisplayName() << '\t' << info.name << '\t'
                  << info.email << '\t' << YesNo(info.supported) << '\t' << YesNo(info.configured) << '\t'
                  << YesNo(info.configured && info.upToDate) << '\t' << client->GetReasonText(a) << '\t'
                  << info.current.userName << '\t' << info.current.server << '\t' << info.current.port
                  << '\n';
        }
    }
    return TOOL_EXIT_DONE;
}

int CAccountsCommand::OnAction(EAccountAction action, BOOL all, int clientIndex, int accountIndex)
{
    CClientCatalogue catalogue(m_factory);
    catalogue.LoadCatalogue();
    BOOL allDone = TRUE;
    std::vector<Target> done;
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        CMailClient* client = catalogue.LoadedClient(c);
        if (!client || (!all && c != clientIndex))
            continue;
        for (int a = 0; a < client->AccountCount(); ++a) {
            if (!all && a != accountIndex)
                continue;
            AccountInfo info;
            client->GetAccount(a, info);
            if (all && !TakesAction(action, info))
                continue;
            if (ActOn(action, *client, c, a))
                done.push_back({c, a});
            else
                allDone = FALSE;
        }
    }
    if (!all && (catalogue.LoadedClient(clientIndex) == nullptr ||
                 accountIndex >= catalogue.LoadedClient(clientIndex)->AccountCount())) {
        m_err << "no account " << clientIndex << ' ' << accountIndex << " (see: nimbrel-accounts list)\n";
        allDone = FALSE;
    }
    // What the stores hold now is the only truth: read every client afresh and check each account done.
    catalogue.Refresh();
    for (const Target& target : done) {
        CMailClient* client = catalogue.LoadedClient(target.client);
        AccountInfo info;
        BOOL readBack = client && client->GetAccount(target.account, info) && ShowsActionDone(action, info);
        if (!readBack) {
            PrintResult(target.client, target.account, client ? client->DisplayName() : std::string(),
                        info.name, "failed: the account does not read back as written");
            allDone = FALSE;
        }
    }
    return allDone ? TOOL_EXIT_DONE : TOOL_EXIT_NOT_ALL_DONE;
}

BOOL CAccountsCommand::ActOn(EAccountAction action, CMailClient& client, int c, int a)
{
    AccountInfo info;
    client.GetAccount(a, info);
    const EActionVerdict verdict =
        JudgeAction(action == ACTION_UNCONFIGURE ? action : ACTION_CONFIGURE, info);
    if (verdict == VERDICT_NOT_SUPPORTED) {
        PrintResult(c, a, client.DisplayName(), info.name, "not supported: " + client.GetReasonText(a));
        return FALSE;
    }
    if (verdict == VERDICT_NOTHING_TO_DO) {
        PrintResult(c, a, client.DisplayName(), info.name,
                    action == ACTION_UNCONFIGURE ? "nothing to do: not configured"
                                                 : "nothing to do: already configured and up to date");
        return TRUE;
    }
    if (!m_force && !client.ExeName().empty() && plat::IsProcessRunning(client.ExeName())) {
        PrintResult(c, a, client.DisplayName(), info.name,
                    "left alone: " + client.ExeName() + " is running (close it, or use --force)");
        return FALSE;
    }
    m_declined = FALSE;
    BOOL ok =
        action == ACTION_UNCONFIGURE ? client.UnconfigureAccount(a, this) : client.ConfigureAccount(a, this);
    if (ok) {
        const char* what = action == ACTION_UNCONFIGURE ? "unconfigured"
                           : !info.configured           ? "configured"
                           : info.suspicious            ? "repaired"
                                                        : "updated";
        PrintResult(c, a, client.DisplayName(), info.name, what);
    } else if (m_declined) {
        PrintResult(c, a, client.DisplayName(), info.name,
                    "left alone: doubtful settings (check them, or use --yes to accept)");
    } else {
        PrintResult(c, a, client.DisplayName(), info.name, "failed: the client's store could not be written");
    }
    return ok;
}

void CAccountsCommand::PrintResult(int c, int a, const std::string& clientName,
                                   const std::string& accountName, const std::string& result)
{
    m_out << c << '\t' << a << '\t' << clientName << '\t' << accountName << '\t' << result << '\n';
}

BOOL CAccountsCommand::Confirm(const AccountInfo& /*account*/, EAccountAction /*action*/)
{
    if (m_assumeYes)
        return TRUE;
    m_declined = TRUE;
    return FALSE;
}
