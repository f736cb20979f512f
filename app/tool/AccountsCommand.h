// CAccountsCommand: the console tool's commands (list, configure, unconfigure, update) over the catalogue.
#pragma once

#include "clients/DefaultClients.h"
#include "core/ClientCatalogue.h"

#include <ostream>
#include <string>
#include <vector>

enum
{
    TOOL_EXIT_DONE = 0,
    TOOL_EXIT_NOT_ALL_DONE = 1,
    TOOL_EXIT_USAGE = 2
};

class CAccountsCommand : private CDoubtfulAnswer
{
public:
    CAccountsCommand(std::ostream& out, std::ostream& err,
                     CClientCatalogue::Factory factory = &CreateDefaultClient);

    // Runs one command line (without the program name); returns the exit code.
    int Run(const std::vector<std::string>& args);

    static const char* UsageText();

private:
    struct Target
    {
        int client;
        int account;
    };
    // A result line kept until the client's batch is committed.
    struct HeldLine
    {
        int client;
        int account;
        std::string clientName;
        std::string accountName;
        std::string result;
        BOOL wrote;
    };

    int OnList(BOOL json, int clientFilter);
    // One line naming what is wrong, then the usage text; TOOL_EXIT_USAGE.
    int UsageError(const std::string& what);
    // The client index of a number or a display name (any letter case); -1 when there is no such client.
    int ClientOfText(const std::string& text) const;
    // --dry-run: prints the values the account would get; FALSE when the real run would leave it alone.
    BOOL PrintPlannedValues(EAccountAction action, CMailClient& client, int clientIndex, int accountIndex,
                            const AccountInfo& info);
    int OnAction(EAccountAction action, BOOL all, int client, int account);
    // Acts on one account; prints its line; TRUE when it was done.
    BOOL ActOn(EAccountAction action, CMailClient& client, int clientIndex, int accountIndex);
    // wrote: the result of a write that may still be staged in the client's batch.
    void PrintResult(int clientIndex, int accountIndex, const std::string& clientName,
                     const std::string& accountName, const std::string& result, BOOL wrote = FALSE);
    // What the journal of original settings met (a damaged file set aside...), one line each on m_err.
    void PrintJournalNotices();
    // A doubtful account is accepted only with --yes; a declined one is reported as left alone.
    BOOL Confirm(const AccountInfo& account, EAccountAction action) override;

    std::ostream& m_out;
    std::ostream& m_err;
    CClientCatalogue::Factory m_factory;
    BOOL m_assumeYes = FALSE;
    BOOL m_force = FALSE;
    BOOL m_declined = FALSE;
    BOOL m_dryRun = FALSE;
    BOOL m_holdLines = FALSE;
    BOOL m_clientRunning = FALSE; // the client whose accounts are being acted on, unless --force
    std::vector<HeldLine> m_heldLines;
};
