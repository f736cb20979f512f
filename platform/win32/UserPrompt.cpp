// AskUser for the win32 backend: the responder when one is set, else a real message box.
#include "PromptResponder.h"

namespace plat {

int AskUser(HWND owner, const char* text, const char* caption, UINT type)
{
    int answer = IDCANCEL;
    if (AskResponder(text, caption, type, &answer))
        return answer;
    return MessageBoxA(owner, text, caption, type);
}

} // namespace plat
