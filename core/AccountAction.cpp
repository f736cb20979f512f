// The one rule of which account takes which action.
#include "core/AccountAction.h"

EActionVerdict JudgeAction(EAccountAction action, const AccountInfo& account)
{
    if (!account.supported)
        return VERDICT_NOT_SUPPORTED;
    switch (action) {
    case ACTION_CONFIGURE:
        return account.configured && account.upToDate ? VERDICT_NOTHING_TO_DO : VERDICT_TAKES_IT;
    case ACTION_UNCONFIGURE:
        return account.configured ? VERDICT_TAKES_IT : VERDICT_NOTHING_TO_DO;
    case ACTION_UPDATE:
        return account.configured && !account.upToDate ? VERDICT_TAKES_IT : VERDICT_NOTHING_TO_DO;
    }
    return VERDICT_NOTHING_TO_DO;
}

BOOL ShowsActionDone(EAccountAction action, const AccountInfo& account)
{
    if (!account.supported)
        return FALSE;
    if (action == ACTION_UNCONFIGURE)
        return account.configured ? FALSE : TRUE;
    return account.configured && account.upToDate ? TRUE : FALSE;
}

BOOL NeedsConfirmation(const AccountInfo& account)
{
    return !account.upToDate && account.suspicious ? TRUE : FALSE;
}
