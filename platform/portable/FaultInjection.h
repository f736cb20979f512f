// The portable backend's fault layer: every file and registry call that can fail is counted, and a chosen one
// can be made to fail, or the process made to stop just before it.
#pragma once

#include "PlatTypes.h"

#include <functional>
#include <string>
#include <vector>

namespace plat {
namespace portable {

// The kinds of call that can fail, as the backend makes them.
enum FaultCall
{
    FAULT_OPEN,        // opening a file for reading or writing, opening a folder listing
    FAULT_READ,        // reading a file's bytes
    FAULT_WRITE,       // writing bytes (or the mode) of a new file
    FAULT_FLUSH,       // forcing a new file's bytes to disk
    FAULT_CLOSE,       // closing a written file (where its last error shows)
    FAULT_CREATE_TEMP, // creating a temporary or replacement file
    FAULT_DELETE,      // deleting a file
    FAULT_REPLACE,     // moving a file into another's place
    FAULT_REG_SET,     // setting a registry value or creating a key
    FAULT_REG_DELETE,  // deleting a registry value or key
    FAULT_CALL_KINDS
};

// One counted call: its kind and the path or value name it concerned.
struct FaultStep
{
    FaultCall call = FAULT_OPEN;
    std::string target;
};

/*
 * Called by the backend right before a call that can fail. FALSE lets the call go ahead; TRUE means this call
 * fails, and the caller reports the failure as the real call would (errno EIO for files). Costs one relaxed
 * load while nothing is armed.
 */
BOOL FaultHere(FaultCall call, const char* target);

/*
 * Control. Steps are numbered from 1 in the order the calls are made after the last Start/Fail/Crash call.
 * - StartFaultCount: count only.
 * - FailFaultStep: step number step fails, once; the calls after it go ahead.
 * - CrashAtFaultStep: just before step number step, atCrash runs (to record the files and keys as they lie),
 *   then that call and every later one fail: the process has stopped, nothing more reaches the disk.
 * - StopFaults: counting off; the steps seen stay readable.
 * atCrash may make backend calls of its own: they are neither counted nor failed.
 */
void StartFaultCount();
void FailFaultStep(size_t step);
void CrashAtFaultStep(size_t step, std::function<void()> atCrash);
void StopFaults();
// The steps seen since the last start, in order.
std::vector<FaultStep> FaultSteps();
// TRUE when the armed failure or crash happened.
BOOL FaultFired();
// "open", "read", ... for messages.
const char* FaultCallName(FaultCall call);

} // namespace portable
} // namespace plat
