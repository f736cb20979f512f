// CAccountsCommand: the console tool's commands (list, configure, unconfigure, update) over the catalogue.
#include "app/tool/AccountsCommand.h"

#include "NimbrelVersion.h"
#include "app/tool/AccountsJson.h"
#include "core/MailClient.h"
#include "core/OriginalsJournal.h"
#include "core/TextUtil.h"
#include "settings/ProductSettings.h"
#include "Processes.h"

#include <algorithm>
#include <memory>

namespace {

const char kStoreNotWritten[] = "failed: the client's store could not be written";

// The result line of a write that failed: a store another program holds open says so, since the user can end
// it.
std::string FailureOf(const CMailClient& client, int account)
{
    AccountInfo after;
    if (client.GetAccount(account, after) && after.reason == REASON_FILE_IN_USE)
        return "failed: " + client.GetReasonText(account);
    return kStoreNotWritten;
}

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
    return "usage: nimbrel-accounts [--yes] [--force] [--dry-run] [--client NAME|INDEX] COMMAND\n"
           "  list [--json]                   every account of every client, tab-separated (or one JSON "
           "array)\n"
           "  configure CLIENT ACCOUNT        fetch this account's mail through the Nimbrel proxy\n"
           "  configure --all                 every supported account not yet configured and up to date\n"
           "  unconfigure CLIENT ACCOUNT      put this account's own settings back\n"
           "  unconfigure --all               every configured account\n"
           "  update                          every configured account whose port is not the proxy's\n"
           "  --yes      answer OK when asked about a doubtful account (default: leave it alone)\n"
           "  --force    act even while the client's program is running\n"
           "  --dry-run  print the values each account would get, and write nothing\n"
           "  --client   only this client's accounts (list, --all, update): its name or number (0 to 13)\n"
           "  --help     this text;  --version  the program's version\n";
}

int CAccountsCommand::UsageError(const std::string& what)
{
    m_err << "nimbrel-accounts: " << what << '\n' << UsageText();
    return TOOL_EXIT_USAGE;
}

int CAccountsCommand::Run(const std::vector<std::string>& args)
{
    std::vector<std::string> words;
    BOOL json = FALSE, all = FALSE;
    std::string clientText;
    BOOL clientGiven = FALSE;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--yes")
            m_assumeYes = TRUE;
        else if (arg == "--force")
            m_force = TRUE;
        else if (arg == "--dry-run")
            m_dryRun = TRUE;
        else if (arg == "--json")
            json = TRUE;
        else if (arg == "--all")
            all = TRUE;
        else if (arg == "--help") {
            m_out << UsageText();
            return TOOL_EXIT_DONE;
        } else if (arg == "--version") {
            m_out << "nimbrel-accounts " << NIMBREL_VERSION_TEXT << '\n';
            return TOOL_EXIT_DONE;
        } else if (arg == "--client") {
            if (i + 1 == args.size())
                return UsageError("--client: missing NAME or INDEX");
            clientText = args[++i];
            clientGiven = TRUE;
        } else if (arg.size() > 1 && arg[0] == '-')
            return UsageError("unknown option: " + arg);
        else
            words.push_back(arg);
    }
    if (words.empty())
        return UsageError("no command given");
    const std::string& command = words[0];
    BOOL isAction = command == "configure" || command == "unconfigure" || command == "update";
    if (command != "list" && !isAction)
        return UsageError("unknown command: " + command);
    if (json && command != "list")
        return UsageError("--json goes with list only");
    if (m_dryRun && !isAction)
        return UsageError("--dry-run goes with configure, unconfigure and update only");
    if (all && (command == "list" || command == "update"))
        return UsageError("--all goes with configure and unconfigure only");

    int clientFilter = -1;
    if (clientGiven) {
        if (isAction && command != "update" && !all)
            return UsageError("--client goes with list, --all and update, not with CLIENT ACCOUNT");
        clientFilter = ClientOfText(clientText);
        if (clientFilter < 0)
            return UsageError("no client " + clientText + " (clients are 0 to " +
                              std::to_string(CLIENT_COUNT - 1) + ", or their names)");
    }
    if (command == "list" || command == "update" || all) {
        if (words.size() > 1)
            return UsageError(command + ": unexpected argument: " + words[1]);
        if (command == "list")
            return OnList(json, clientFilter);
        EAccountAction action = command == "update"      ? ACTION_UPDATE
                                : command == "configure" ? ACTION_CONFIGURE
                                                         : ACTION_UNCONFIGURE;
        return OnAction(action, TRUE, clientFilter, -1);
    }
    if (words.size() < 3)
        return UsageError(command + ": missing " +
                          (words.size() < 2 ? "CLIENT ACCOUNT (or --all)" : "ACCOUNT"));
    if (words.size() > 3)
        return UsageError(command + ": unexpected argument: " + words[3]);
    int client = -1, account = -1;
    if (!ParseIndex(words[1], CLIENT_COUNT, client))
        return UsageError("no client " + words[1] + " (clients are 0 to " + std::to_string(CLIENT_COUNT - 1) +
                          ")");
    if (!ParseIndex(words[2], 65536, account))
        return UsageError("no account " + words[1] + ' ' + words[2] + " (see: nimbrel-accounts list)");
    return OnAction(command == "configure" ? ACTION_CONFIGURE : ACTION_UNCONFIGURE, FALSE, client, account);
}

int CAccountsCommand::ClientOfText(const std::string& text) const
{
    int index = -1;
    if (ParseIndex(text, CLIENT_COUNT, index))
        return index;
    if (IsAllDigits(text))
        return -1;
    // Names are known without reading any store: the catalogue as constructed holds every adapter.
    CClientCatalogue catalogue(m_factory);
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        CMailClient* client = catalogue.Client(c);
        if (client && EqualsNoCase(client->DisplayName(), text))
            return c;
    }
    return -1;
}

int CAccountsCommand::OnList(BOOL json, int clientFilter)
{
    CClientCatalogue catalogue(m_factory);
    catalogue.LoadCatalogue();
    if (json) {
        m_out << AccountsJson(catalogue, clientFilter);
        PrintJournalNotices();
        return TOOL_EXIT_DONE;
    }
    m_out << "client\taccount\tclient name\taccount name\te-mail\tsupported\tconfigured\tup to date\treason\t"
             "user name\tserver\tport\tjournal\n";
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        CMailClient* client = clientFilter == -1 || c == clientFilter ? catalogue.LoadedClient(c) : nullptr;
        for (int a = 0; client && a < client->AccountCount(); ++a) {
            AccountInfo info;
            client->GetAccount(a, info);
            m_out << c << '\t' << a << '\t' << client->DisplayName() << '\t' << info.name << '\t'
                  << info.email << '\t' << YesNo(info.supported) << '\t' << YesNo(info.configured) << '\t'
                  << YesNo(info.configured && info.upToDate) << '\t' << client->GetReasonText(a) << '\t'
                  << info.current.userName << '\t' << info.current.server << '\t' << info.current.port << '\t'
                  << YesNo(info.journalled) << '\n';
        }
    }
    PrintJournalNotices();
    return TOOL_EXIT_DONE;
}

int CAccountsCommand::OnAction(EAccountAction action, BOOL all, int clientIndex, int accountIndex)
{
    CClientCatalogue catalogue(m_factory);
    catalogue.LoadCatalogue();
    if (!all && (catalogue.LoadedClient(clientIndex) == nullptr ||
                 accountIndex >= catalogue.LoadedClient(clientIndex)->AccountCount()))
        return UsageError("no account " + std::to_string(clientIndex) + ' ' + std::to_string(accountIndex) +
                          " (see: nimbrel-accounts list)");
    BOOL allDone = TRUE;
    std::vector<Target> done;
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        CMailClient* client = catalogue.LoadedClient(c);
        if (!client || (clientIndex != -1 && c != clientIndex))
            continue;
        // Each of the client's store files is written once, at the commit; the lines wait for it, since
        // an account whose file could not be written was not done after all.
        if (!m_dryRun)
            client->BeginBatch();
        m_holdLines = TRUE;
        // Asked once per client: a look at every process costs more than writing an account.
        m_clientRunning =
            !m_force && ((!client->ExeName().empty() && plat::IsProcessRunning(client->ExeName())) ||
                         client->IsStoreInUse());
        std::vector<Target> clientDone;
        for (int a = 0; a < client->AccountCount(); ++a) {
            if (!all && a != accountIndex)
                continue;
            AccountInfo info;
            client->GetAccount(a, info);
            if (all && !TakesAction(action, info))
                continue;
            if (ActOn(action, *client, c, a))
                clientDone.push_back({c, a});
            else
                allDone = FALSE;
        }
        std::vector<int> failed;
        if (!m_dryRun && !client->CommitBatch(failed))
            allDone = FALSE;
        m_holdLines = FALSE;
        for (const HeldLine& line : m_heldLines) {
            const BOOL notWritten =
                std::find(failed.begin(), failed.end(), line.account) != failed.end() && line.wrote;
            PrintResult(line.client, line.account, line.clientName, line.accountName,
                        notWritten ? FailureOf(*client, line.account) : line.result);
        }
        m_heldLines.clear();
        for (const Target& target : clientDone) {
            if (std::find(failed.begin(), failed.end(), target.account) == failed.end())
                done.push_back(target);
        }
    }
    PrintJournalNotices();
    if (m_dryRun)
        return allDone ? TOOL_EXIT_DONE : TOOL_EXIT_NOT_ALL_DONE;
    // What the stores hold now is the only truth: read the clients written to afresh and check each account
    // done.
    std::vector<int> written;
    for (const Target& target : done) {
        if (std::find(written.begin(), written.end(), target.client) == written.end())
            written.push_back(target.client);
    }
    catalogue.RefreshClients(written);
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
    PrintJournalNotices();
    return allDone ? TOOL_EXIT_DONE : TOOL_EXIT_NOT_ALL_DONE;
}

void CAccountsCommand::PrintJournalNotices()
{
    for (const JournalNotice& notice : g_originalsJournal.TakeNotices()) {
        m_err << "nimbrel-accounts: ";
        if (notice.kind == JOURNAL_SET_ASIDE)
            m_err << "the journal of original settings was damaged; it was set aside as " << notice.detail;
        else if (notice.kind == JOURNAL_DAMAGED_LOST)
            m_err << "the journal of original settings " << notice.detail
                  << " was damaged and could not be set aside";
        else
            m_err << "the journal of original settings " << notice.detail << " could not be written";
        m_err << '\n';
    }
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
    if (m_clientRunning) {
        PrintResult(c, a, client.DisplayName(), info.name,
                    "left alone: " + client.ExeName() + " is running (close it, or use --force)");
        return FALSE;
    }
    if (m_dryRun)
        return PrintPlannedValues(action, client, c, a, info);
    m_declined = FALSE;
    BOOL ok =
        action == ACTION_UNCONFIGURE ? client.UnconfigureAccount(a, this) : client.ConfigureAccount(a, this);
    if (ok) {
        std::string what = action == ACTION_UNCONFIGURE ? "unconfigured"
                           : !info.configured           ? "configured"
                           : info.suspicious            ? "repaired"
                                                        : "updated";
        // The proxy user name no longer told the account's settings: say where they came from.
        if (info.fromJournal)
            what += " (settings from the journal)";
        PrintResult(c, a, client.DisplayName(), info.name, what, TRUE);
    } else if (m_declined) {
        PrintResult(c, a, client.DisplayName(), info.name,
                    "left alone: doubtful settings (check them, or use --yes to accept)");
    } else {
        PrintResult(c, a, client.DisplayName(), info.name, FailureOf(client, a));
    }
    return ok;
}

BOOL CAccountsCommand::PrintPlannedValues(EAccountAction action, CMailClient& client, int c, int a,
                                          const AccountInfo& info)
{
    // As the real run: a doubtful account is left alone unless --yes accepts it.
    if (info.suspicious && !info.upToDate && !m_assumeYes) {
        PrintResult(c, a, client.DisplayName(), info.name,
                    "would be left alone: doubtful settings (check them, or use --yes to accept)");
        return FALSE;
    }
    PopSettings values = info.original;
    if (action != ACTION_UNCONFIGURE) {
        values.userName =
            EncodeProxyUserName(info.original.userName, info.original.server, info.original.port,
                                info.original.authMode, info.original.secure);
        values.server = "localhost";
        values.port = g_productSettings.GetProxyPort();
    }
    PrintResult(c, a, client.DisplayName(), info.name,
                "would write\t" + values.userName + '\t' + values.server + '\t' +
                    std::to_string(values.port));
    return TRUE;
}

void CAccountsCommand::PrintResult(int c, int a, const std::string& clientName,
                                   const std::string& accountName, const std::string& result, BOOL wrote)
{
    if (m_holdLines) {
        m_heldLines.push_back({c, a, clientName, accountName, result, wrote});
        return;
    }
    m_out << c << '\t' << a << '\t' << clientName << '\t' << accountName << '\t' << result << '\n';
}

BOOL CAccountsCommand::Confirm(const AccountInfo& /*account*/, EAccountAction /*action*/)
{
    if (m_assumeYes)
        return TRUE;
    m_declined = TRUE;
    return FALSE;
}
