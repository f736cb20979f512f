// AskUser for the win32 backend: the responder when one is set, else a real message box.
#include "PromptResponder.h"
#include "WideText.h"

namespace plat {

int AskUser(HWND owner, const char* text, const char* caption, UINT type)
{
    int answer = IDCANCEL;
    if (AskResponder(text, caption, type, &answer))
        return answer;
    CWideArg wideText(text), wideCaption(caption);
    if (!wideText.IsOk() || !wideCaption.IsOk())
        return IDCANCEL;
    return MessageBoxW(owner, wideText.Get(), wideCaption.Get(), type);
}

} // namespace plat
