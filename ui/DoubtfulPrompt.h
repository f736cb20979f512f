// CDoubtfulPrompt: the dialogs' answer to a doubtful account, asked in a message box.
#pragma once

#include "core/AccountAction.h"

class CDoubtfulPrompt : public CDoubtfulAnswer
{
public:
    BOOL Confirm(const AccountInfo& account, EAccountAction action) override;
};
