// The in-memory registry's keys, values and handles, shared by the portable registry calls.
#pragma once

#include "PlatTypes.h"

#include <memory>
#include <mutex>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {
namespace portable {

struct RegValue
{
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
    uint32_t nameHash = 0; // NameHash(name), set where the value is made
};

struct RegNode
{
    std::string name;
    std::vector<std::shared_ptr<RegNode>> children; // sorted by CompareNames, as Wine enumerates them
    std::vector<RegValue> values;                   // sorted by CompareNames, as Wine enumerates them
    // Open addressing over values by name hash (index, or -1 for a free slot) for a key of many values,
    // made at its first search; whatever adds or removes a value empties it.
    std::vector<int> valueSlots;
    BOOL deleted = FALSE;
};

// What a key handle stands for; handles stay valid after their key was deleted, as on Windows.
struct KeyHandle
{
    std::shared_ptr<RegNode> node;
    REGSAM access = 0;
    int view = 0; // 32 or 64 for the machine-wide roots, 0 for per-user keys
};

// Held around every look at the store.
std::recursive_mutex& RegistryLock();

// Names compare by their lower-case letters, so "_" sorts before the letters: the order Wine enumerates in.
int CompareNames(std::string_view a, std::string_view b);
// A hash of a name that names equal by CompareNames share.
uint32_t NameHash(std::string_view name);
BOOL IsStringType(DWORD type);

// Resolves a root (in the view that accessForRoot asks for) or a handle to its key; FALSE for anything else.
BOOL ResolveKey(HKEY key, REGSAM accessForRoot, KeyHandle& out);
// Whether a resolved handle allows an operation needing access: the Win32 code of why not otherwise.
LONG CheckUse(const KeyHandle& handle, REGSAM needed);
// The key behind a handle for an operation needing access; the Win32 code of why not otherwise.
LONG UseKey(HKEY key, REGSAM needed, KeyHandle& out);

std::vector<std::string> SplitPath(const char* path);
size_t LowerBoundChild(const RegNode& node, std::string_view name);
// The child of that name, or null; valid while the registry lock is held and the key keeps the child.
const std::shared_ptr<RegNode>* FindChild(const RegNode& node, std::string_view name);
// Where a value of this name is, or would be inserted, in the key's ordered values.
size_t LowerBoundValue(const RegNode& node, std::string_view name);
RegValue* FindValue(RegNode& node, const char* name);

HKEY NewHandle(const std::shared_ptr<RegNode>& node, REGSAM access, int view);
// FALSE when the handle is not one of ours; roots need no closing.
BOOL ReleaseHandle(HKEY key);
void MarkDeleted(RegNode& node);
// Every key goes; open handles see deleted keys.
void ForgetAllKeys();

} // namespace portable
} // namespace plat
