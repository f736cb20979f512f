// The actions on an account and the one rule of which account takes which, shared by every dialog and the
// console tool.
#pragma once

#include "core/AccountInfo.h"

enum EAccountAction
{
    ACTION_CONFIGURE,   // make it fetch through the proxy, or bring a configured one up to date
    ACTION_UNCONFIGURE, // give it its own settings back
    ACTION_UPDATE       // only configured accounts that are not up to date (repairs doubtful ones)
};

enum EActionVerdict
{
    VERDICT_TAKES_IT,
    VERDICT_NOT_SUPPORTED, // the record's reason says why
    VERDICT_NOTHING_TO_DO  // already as the action would leave it
};

// Whether account takes action, and if not, why.
EActionVerdict JudgeAction(EAccountAction action, const AccountInfo& account);
inline BOOL TakesAction(EAccountAction action, const AccountInfo& account)
{
    return JudgeAction(action, account) == VERDICT_TAKES_IT ? TRUE : FALSE;
}
// TRUE when a fresh reading of the account shows the action done: unconfigured, or configured and up to date.
BOOL ShowsActionDone(EAccountAction action, const AccountInfo& account);
// TRUE when acting on the account needs the user's word first: its settings look configured with errors.
BOOL NeedsConfirmation(const AccountInfo& account);

// The caller's answer when an action meets a doubtful account: the caller asks the user (or answers for
// them, as the console tool does from --yes); the account model never asks anyone itself.
class CDoubtfulAnswer
{
public:
    virtual ~CDoubtfulAnswer() = default;
    // TRUE to go on with action on account.
    virtual BOOL Confirm(const AccountInfo& account, EAccountAction action) = 0;
};
