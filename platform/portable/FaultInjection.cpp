// The portable backend's fault layer: the step counter, the armed failure or crash, and the log of steps.
#include "FaultInjection.h"

#include <atomic>
#include <mutex>

namespace plat {
namespace portable {

namespace {

enum Mode
{
    MODE_OFF,
    MODE_COUNT,
    MODE_FAIL,
    MODE_CRASH
};

std::atomic<int> g_mode{MODE_OFF};
std::mutex g_faultLock;
size_t g_target = 0;
size_t g_seen = 0;
BOOL g_fired = FALSE;
BOOL g_stopped = FALSE; // after a crash every call fails
std::function<void()> g_atCrash;
std::vector<FaultStep> g_steps;
// Calls made by the crash recorder itself are not steps of the walk.
thread_local BOOL t_inRecorder = FALSE;

void Arm(Mode mode, size_t step, std::function<void()> atCrash)
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    g_target = step;
    g_seen = 0;
    g_fired = FALSE;
    g_stopped = FALSE;
    g_atCrash = std::move(atCrash);
    g_steps.clear();
    g_mode.store(mode);
}

} // namespace

BOOL FaultHere(FaultCall call, const char* target)
{
    if (g_mode.load(std::memory_order_relaxed) == MODE_OFF || t_inRecorder)
        return FALSE;
    std::function<void()> recorder;
    {
        std::lock_guard<std::mutex> lock(g_faultLock);
        int mode = g_mode.load();
        if (mode == MODE_OFF)
            return FALSE;
        if (g_stopped)
            return TRUE;
        FaultStep step;
        step.call = call;
        step.target = target ? target : "";
        g_steps.push_back(step);
        ++g_seen;
        if (g_seen != g_target || mode == MODE_COUNT)
            return FALSE;
        g_fired = TRUE;
        if (mode == MODE_FAIL)
            return TRUE;
        g_stopped = TRUE;
        recorder = g_atCrash;
    }
    if (recorder) {
        t_inRecorder = TRUE;
        recorder();
        t_inRecorder = FALSE;
    }
    return TRUE;
}

void StartFaultCount()
{
    Arm(MODE_COUNT, 0, nullptr);
}

void FailFaultStep(size_t step)
{
    Arm(MODE_FAIL, step, nullptr);
}

void CrashAtFaultStep(size_t step, std::function<void()> atCrash)
{
    Arm(MODE_CRASH, step, std::move(atCrash));
}

void StopFaults()
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    g_mode.store(MODE_OFF);
    g_atCrash = nullptr;
}

std::vector<FaultStep> FaultSteps()
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    return g_steps;
}

BOOL FaultFired()
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    return g_fired;
}

const char* FaultCallName(FaultCall call)
{
    static const char* const kNames[FAULT_CALL_KINDS] = {"open",         "read",
                                                         "write",        "flush",
                                                         "close",        "create temporary file",
                                                         "delete",       "move or replace",
                                                         "registry set", "registry delete"};
    return call >= 0 && call < FAULT_CALL_KINDS ? kNames[call] : "?";
}

} // namespace portable
} // namespace plat
