// AskUser for the portable backend: the responder, else the queued answers; every question is logged.
#include "PortableControl.h"
#include "PromptResponder.h"

#include <deque>
#include <mutex>

namespace {

std::mutex g_promptLock;
std::deque<int> g_answers;
std::vector<std::string> g_log;

} // namespace

namespace plat {

int AskUser(HWND /*owner*/, const char* text, const char* caption, UINT type)
{
    {
        std::lock_guard<std::mutex> lock(g_promptLock);
        g_log.push_back(caption ? caption : "");
        g_log.push_back(text ? text : "");
    }
    int answer = IDCANCEL;
    if (AskResponder(text, caption, type, &answer))
        return answer;
    std::lock_guard<std::mutex> lock(g_promptLock);
    if (g_answers.empty())
        return IDCANCEL;
    answer = g_answers.front();
    g_answers.pop_front();
    return answer;
}

namespace portable {

void QueuePromptAnswers(const std::vector<int>& answers)
{
    std::lock_guard<std::mutex> lock(g_promptLock);
    g_answers.assign(answers.begin(), answers.end());
}

std::vector<std::string> TakePromptLog()
{
    std::lock_guard<std::mutex> lock(g_promptLock);
    std::vector<std::string> log;
    log.swap(g_log);
    return log;
}

} // namespace portable
} // namespace plat
