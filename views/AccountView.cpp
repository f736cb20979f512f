// What the standard dialog shows of an account: the list's cells, the details pane, and the list's order.
#include "views/AccountView.h"

#include "settings/TextTable.h"
#include "views/TextFormat.h"

#include <cstring>

namespace {

const char kSection[] = "Main Dialog";
// The program's text is UTF-8: the dash is U+2014.
const char kDetailsDefault[] = "Account details: %s \xE2\x80\x94 %s";
const char kDash[] = "\xE2\x80\x94";

// The sort rank of a record in the order of the validity, configured and up-to-date columns.
int RankOf(int sortState, const AccountInfo& record)
{
    if (sortState <= 6)
        return record.supported ? 0 : 1;
    if (sortState <= 8)
        return !record.supported ? 2 : (record.configured ? 0 : 1);
    return (!record.supported || !record.configured) ? 2 : (record.upToDate ? 0 : 1);
}

int CompareBytes(const std::string& a, const std::string& b)
{
    return std::strcmp(a.c_str(), b.c_str());
}

} // namespace

AccountCells MakeAccountCells(const AccountInfo& account)
{
    std::string yes, no;
    {
        CTextSection texts(g_textTable, kSection);
        yes = texts.Get("Yes", "Yes");
        no = texts.Get("No", "No");
    }
    AccountCells cells;
    cells.text[0] = account.name;
    cells.text[1] = account.email;
    cells.text[2] = account.supported ? yes : no;
    cells.text[3] = !account.supported ? kDash : (account.configured ? yes : no);
    cells.text[4] = (!account.supported || !account.configured) ? kDash : (account.upToDate ? yes : no);
    return cells;
}

AccountDetails EmptyAccountDetails()
{
    AccountDetails details;
    CTextSection texts(g_textTable, kSection);
    details.title = FormatText(texts.Get("Details", kDetailsDefault), {"", ""});
    return details;
}

AccountDetails MakeAccountDetails(const AccountInfo& account, const std::string& clientName,
                                  const std::string& reasonText)
{
    AccountDetails details;
    details.port = account.current.port;
    details.userName = account.current.userName;
    details.server = account.current.server;
    {
        CTextSection texts(g_textTable, kSection);
        details.title = FormatText(texts.Get("Details", kDetailsDefault), {account.name, clientName});
        switch (account.current.authMode) {
        case AUTH_NORMAL:
            details.authMode = texts.Get("Normal", "Normal");
            break;
        case AUTH_APOP:
            details.authMode = "APOP";
            break;
        case AUTH_SPA:
            details.authMode = "SPA";
            break;
        default:
            break;
        }
    }
    switch (account.protocol) {
    case PROTOCOL_POP3:
        details.serverType = "POP3";
        break;
    case PROTOCOL_IMAP:
        details.serverType = "IMAP";
        break;
    case PROTOCOL_NEWS:
        details.serverType = "NEWS";
        break;
    default:
        break;
    }
    details.remark = reasonText;
    // The proxy user name was edited since configuring: say what giving back will write, and where from.
    if (details.remark.empty() && account.configured && account.fromJournal) {
        CTextSection texts(g_textTable, kSection);
        details.remark = FormatText(
            texts.Get("FromJournal",
                      "The user name no longer tells the original settings; unconfiguring gives "
                      "back those kept in the journal: %s on %s, port %s."),
            {account.original.userName, account.original.server, std::to_string(account.original.port)});
    }
    return details;
}

int NextSortState(int state, int column)
{
    if (column == 0)
        return state == 0 ? 1 : (state == 1 ? 2 : 0);
    if (column >= 1 && column <= 4)
        return state == 2 * column + 1 ? 2 * column + 2 : 2 * column + 1;
    return state;
}

int CompareAccountRows(int state, int clientA, const AccountInfo& a, int clientB, const AccountInfo& b)
{
    if (state == 0)
        return clientA - clientB;
    const AccountInfo& first = state % 2 ? a : b;
    const AccountInfo& second = state % 2 ? b : a;
    if (state <= 2)
        return CompareBytes(first.name, second.name);
    if (state <= 4)
        return CompareBytes(first.email, second.email);
    int rank = RankOf(state, first) - RankOf(state, second);
    return rank != 0 ? rank : CompareBytes(first.name, second.name);
}
