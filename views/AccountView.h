// What the standard dialog shows of an account: the list's cells, the details pane, and the list's order.
#pragma once

#include "core/AccountInfo.h"

#include <string>

enum
{
    ACCOUNT_COLUMN_COUNT = 5 // name, e-mail, supported, configured, up to date
};

struct AccountCells
{
    std::string text[ACCOUNT_COLUMN_COUNT];
};

struct AccountDetails
{
    std::string title; // the details group's caption
    std::string userName;
    std::string server;
    int port = 0;
    std::string authMode;
    std::string serverType;
    std::string remark; // why it is not supported, or empty
};

// The row's texts: "Yes" and "No" from the text table, a dash where a state does not apply.
AccountCells MakeAccountCells(const AccountInfo& account);
// The details pane of account of the client clientName; reasonText is the client's text for its reason.
AccountDetails MakeAccountDetails(const AccountInfo& account, const std::string& clientName,
                                  const std::string& reasonText);
// The details pane with no account shown.
AccountDetails EmptyAccountDetails();

/*
 * The list's order. State 0 is catalogue order; a click on column 0 steps 0, 1, 2, 0; a click on column k of
 * 1 to 4 gives 2k+1 (ascending), and a second click 2k+2 (descending). Odd states sort ascending.
 */
int NextSortState(int state, int column);
// Below zero when the row of a sorts before that of b, as the list view's compare callback wants. Client
// indexes order rows in state 0; records are compared in the other states.
int CompareAccountRows(int state, int clientA, const AccountInfo& a, int clientB, const AccountInfo& b);
