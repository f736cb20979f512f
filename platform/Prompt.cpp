// The prompt responder shared by both backends' AskUser.
#include "PromptResponder.h"

#include <mutex>

namespace {

std::mutex g_responderLock;
plat::PromptResponder g_responder = nullptr;
void* g_responderContext = nullptr;

} // namespace

namespace plat {

void SetPromptResponder(PromptResponder responder, void* context)
{
    std::lock_guard<std::mutex> lock(g_responderLock);
    g_responder = responder;
    g_responderContext = context;
}

BOOL AskResponder(const char* text, const char* caption, UINT type, int* answer)
{
    PromptResponder responder;
    void* context;
    {
        std::lock_guard<std::mutex> lock(g_responderLock);
        responder = g_responder;
        context = g_responderContext;
    }
    // Called outside the lock: a responder may well install another one.
    if (!responder)
        return FALSE;
    *answer = responder(text ? text : "", caption ? caption : "", type, context);
    return TRUE;
}

} // namespace plat
