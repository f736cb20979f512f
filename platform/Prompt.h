// Questions to the user: modal message boxes, with a responder that answers for programs that show no window.
#pragma once

#include "PlatTypes.h"

namespace plat {

// A responder returns the button (IDOK, IDCANCEL, ...) that stands for the user's answer.
typedef int (*PromptResponder)(const char* text, const char* caption, UINT type, void* context);

// While a responder is set, AskUser asks it instead of showing a window. Null removes it.
void SetPromptResponder(PromptResponder responder, void* context);

// MessageBoxA with the given owner (may be null), text, caption and MB_ flags; returns the button pressed.
int AskUser(HWND owner, const char* text, const char* caption, UINT type);

} // namespace plat
