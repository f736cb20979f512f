// For the backends' AskUser: the responder that SetPromptResponder installed, if any.
#pragma once

#include "Prompt.h"

namespace plat {

// TRUE with *answer set when a responder answered; FALSE when none is set.
BOOL AskResponder(const char* text, const char* caption, UINT type, int* answer);

} // namespace plat
