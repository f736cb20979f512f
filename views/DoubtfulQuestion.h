// The question put to the user before acting on a doubtful account: its caption and text.
#pragma once

#include "core/AccountAction.h"

#include <string>

struct DoubtfulQuestion
{
    std::string caption;
    std::string text;
};

// The caption names the account; the text shows its stored user name and server and asks whether to repair
// it (configure, update) or give it back (unconfigure). Shown with OK and Cancel and a question icon.
DoubtfulQuestion MakeDoubtfulQuestion(const AccountInfo& account, EAccountAction action);
