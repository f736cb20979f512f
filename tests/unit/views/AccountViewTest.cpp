// What the standard dialog shows of an account and the order of its list, without a window.
#include "support/ScriptedClient.h"

#include "views/AccountView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

AccountInfo Record(const char* name, const char* email, BOOL supported, BOOL configured, BOOL upToDate)
{
    return StatedAccount(name, email, supported, configured, upToDate);
}

} // namespace

// The dash is U+2014 in UTF-8, the program's own text.
TEST(AccountView, CellsShowEachStateOrADashWhereItDoesNotApply)
{
    struct Row
    {
        BOOL supported, configured, upToDate;
        const char* cells[3];
    };
    const Row rows[] = {
        {FALSE, FALSE, FALSE, {"No", "\xE2\x80\x94", "\xE2\x80\x94"}},
        {FALSE, TRUE, TRUE, {"No", "\xE2\x80\x94", "\xE2\x80\x94"}},
        {TRUE, FALSE, FALSE, {"Yes", "No", "\xE2\x80\x94"}},
        {TRUE, TRUE, FALSE, {"Yes", "Yes", "No"}},
        {TRUE, TRUE, TRUE, {"Yes", "Yes", "Yes"}},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const AccountCells cells = MakeAccountCells(
            Record("Anna", "anna@mail.example", rows[i].supported, rows[i].configured, rows[i].upToDate));
        EXPECT_EQ("Anna", cells.text[0]);
        EXPECT_EQ("anna@mail.example", cells.text[1]);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(rows[i].cells[c], cells.text[2 + c]) << "column " << 2 + c;
    }
}

TEST(AccountView, DetailsNameTheAccountAndItsClientAndSayWhyItIsLeftAlone)
{
    AccountInfo account = Record("Anna", "anna@mail.example", TRUE, TRUE, TRUE);
    account.protocol = PROTOCOL_POP3;
    account.current.userName = "anna/pop.mail.example[SPA]/110";
    account.current.server = "localhost";
    account.current.port = 8110;
    account.current.authMode = AUTH_SPA;
    AccountDetails shown = MakeAccountDetails(account, "Outlook Express", "");
    EXPECT_EQ("Account details: Anna \xE2\x80\x94 Outlook Express", shown.title);
    EXPECT_EQ("anna/pop.mail.example[SPA]/110", shown.userName);
    EXPECT_EQ("localhost", shown.server);
    EXPECT_EQ(8110, shown.port);
    EXPECT_EQ("SPA", shown.authMode);
    EXPECT_EQ("POP3", shown.serverType);
    EXPECT_EQ("", shown.remark);

    const char* const modes[] = {"Normal", "APOP", "SPA", ""};
    const char* const types[] = {"", "POP3", "IMAP", "NEWS"};
    for (int mode = AUTH_NORMAL; mode <= AUTH_UNKNOWN; ++mode) {
        account.current.authMode = mode;
        account.protocol = mode;
        shown = MakeAccountDetails(account, "Mozilla", "Account configured to work by IMAP protocol.");
        EXPECT_EQ(modes[mode], shown.authMode) << mode;
        EXPECT_EQ(types[mode], shown.serverType) << mode;
        EXPECT_EQ("Account configured to work by IMAP protocol.", shown.remark);
    }

    // Configured, its proxy user name spoiled since: the remark tells what the journal will give back.
    account.configured = TRUE;
    account.fromJournal = TRUE;
    account.current.userName = "anna-edited";
    account.original = Pop("anna", "pop.mail.example", 995);
    shown = MakeAccountDetails(account, "Outlook Express", "");
    EXPECT_EQ("anna-edited", shown.userName);
    EXPECT_EQ(
        "The user name no longer tells the original settings; unconfiguring gives back those kept in the "
        "journal: anna on pop.mail.example, port 995.",
        shown.remark);
    EXPECT_EQ(
        "Account configured to work by IMAP protocol.",
        MakeAccountDetails(account, "Outlook Express", "Account configured to work by IMAP protocol.").remark)
        << "a reason comes first";

    const AccountDetails empty = EmptyAccountDetails();
    EXPECT_EQ("Account details:  \xE2\x80\x94 ", empty.title);
    EXPECT_EQ(0, empty.port);
    EXPECT_TRUE(empty.userName.empty() && empty.server.empty() && empty.remark.empty());
}

TEST(AccountView, RowsSortByTheClickedColumnThenByName)
{
    struct Entry
    {
        int client;
        AccountInfo account;
    };
    const std::vector<Entry> entries = {
        {3, Record("Bea", "z@x", TRUE, TRUE, FALSE)},
        {0, Record("Carl", "a@x", FALSE, FALSE, FALSE)},
        {5, Record("Anna", "m@x", TRUE, TRUE, TRUE)},
        {1, Record("Dora", "b@x", TRUE, FALSE, FALSE)},
    };
    auto order = [&](int state) {
        std::vector<Entry> sorted = entries;
        std::stable_sort(sorted.begin(), sorted.end(), [&](const Entry& a, const Entry& b) {
            return CompareAccountRows(state, a.client, a.account, b.client, b.account) < 0;
        });
        std::string names;
        for (const Entry& e : sorted)
            names += e.account.name + " ";
        return names;
    };
    EXPECT_EQ("Carl Dora Bea Anna ", order(0));
    EXPECT_EQ("Anna Bea Carl Dora ", order(1));
    EXPECT_EQ("Dora Carl Bea Anna ", order(2));
    EXPECT_EQ("Carl Dora Anna Bea ", order(3));
    EXPECT_EQ("Bea Anna Dora Carl ", order(4));
    // Supported first, ties by name; descending turns both round.
    EXPECT_EQ("Anna Bea Dora Carl ", order(5));
    EXPECT_EQ("Carl Dora Bea Anna ", order(6));
    // Configured, then not configured, then not supported.
    EXPECT_EQ("Anna Bea Dora Carl ", order(7));
    // Up to date, then not, then those where it does not apply.
    EXPECT_EQ("Anna Bea Carl Dora ", order(9));
}
