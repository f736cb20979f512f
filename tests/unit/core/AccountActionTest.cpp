// The one rule of which account takes which action, over every combination of the record's states.
#include "support/ScriptedClient.h"

#include "core/AccountAction.h"

#include <gtest/gtest.h>

namespace {

AccountInfo Record(BOOL supported, BOOL configured, BOOL upToDate, BOOL suspicious)
{
    return StatedAccount("", "", supported, configured, upToDate, suspicious);
}

} // namespace

TEST(AccountAction, EachStateTakesTheActionsThatChangeIt)
{
    const EActionVerdict T = VERDICT_TAKES_IT, U = VERDICT_NOT_SUPPORTED, N = VERDICT_NOTHING_TO_DO;
    struct Row
    {
        BOOL supported, configured, upToDate;
        EActionVerdict configure, unconfigure, update;
        BOOL configureDone, unconfigureDone;
    };
    const Row rows[] = {
        {FALSE, FALSE, FALSE, U, U, U, FALSE, FALSE},
        {FALSE, TRUE, TRUE, U, U, U, FALSE, FALSE},
        {TRUE, FALSE, FALSE, T, N, N, FALSE, TRUE},
        {TRUE, TRUE, FALSE, T, T, T, FALSE, FALSE},
        {TRUE, TRUE, TRUE, N, T, N, TRUE, FALSE},
        // A record read as not configured never counts as up to date, whatever the flag says.
        {TRUE, FALSE, TRUE, T, N, N, FALSE, TRUE},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const Row& row = rows[i];
        const AccountInfo account = Record(row.supported, row.configured, row.upToDate, FALSE);
        EXPECT_EQ(row.configure, JudgeAction(ACTION_CONFIGURE, account));
        EXPECT_EQ(row.unconfigure, JudgeAction(ACTION_UNCONFIGURE, account));
        EXPECT_EQ(row.update, JudgeAction(ACTION_UPDATE, account));
        EXPECT_EQ(row.configure == T, TakesAction(ACTION_CONFIGURE, account));
        EXPECT_EQ(row.configureDone, ShowsActionDone(ACTION_CONFIGURE, account));
        EXPECT_EQ(row.configureDone, ShowsActionDone(ACTION_UPDATE, account));
        EXPECT_EQ(row.unconfigureDone, ShowsActionDone(ACTION_UNCONFIGURE, account));
    }
}

TEST(AccountAction, OnlyADoubtfulRecordNotUpToDateNeedsConfirmation)
{
    EXPECT_TRUE(NeedsConfirmation(Record(TRUE, TRUE, FALSE, TRUE)));
    EXPECT_TRUE(NeedsConfirmation(Record(TRUE, FALSE, FALSE, TRUE)));
    EXPECT_FALSE(NeedsConfirmation(Record(TRUE, TRUE, TRUE, TRUE)));
    EXPECT_FALSE(NeedsConfirmation(Record(TRUE, TRUE, FALSE, FALSE)));
}
