// The in-memory registry's store: roots for each view, the key tree, and the table of open handles.
#include "RegistryStore.h"

#include "HashSlots.h"

#include <set>

namespace plat {
namespace portable {

namespace {

enum RootIndex
{
    ROOT_HKCU,
    ROOT_HKU,
    ROOT_HKLM32,
    ROOT_HKLM64,
    ROOT_HKCR32,
    ROOT_HKCR64,
    ROOT_COUNT
};

std::recursive_mutex g_regLock;
std::shared_ptr<RegNode> g_roots[ROOT_COUNT];
std::set<KeyHandle*> g_handles;

std::shared_ptr<RegNode>& RootNode(int index)
{
    if (!g_roots[index]) {
        g_roots[index] = std::make_shared<RegNode>();
        // Every Windows machine has these; callers open them without creating them.
        if (index == ROOT_HKCU || index == ROOT_HKLM32 || index == ROOT_HKLM64) {
            auto software = std::make_shared<RegNode>();
            software->name = "Software";
            g_roots[index]->children.push_back(software);
        }
    }
    return g_roots[index];
}

} // namespace

std::recursive_mutex& RegistryLock()
{
    return g_regLock;
}

int CompareNames(std::string_view a, std::string_view b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        // Names searched for share long prefixes with their neighbours: equal bytes need no case folding.
        if (ca == cb)
            continue;
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<unsigned char>(cb - 'A' + 'a');
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

uint32_t NameHash(std::string_view name)
{
    uint32_t hash = 2166136261u;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 'A' && u <= 'Z')
            u = static_cast<unsigned char>(u - 'A' + 'a');
        hash = (hash ^ u) * 16777619u;
    }
    return hash;
}

BOOL IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

BOOL ResolveKey(HKEY key, REGSAM accessForRoot, KeyHandle& out)
{
    uintptr_t raw = reinterpret_cast<uintptr_t>(key);
    BOOL wants64 = (accessForRoot & KEY_WOW64_64KEY) != 0;
    out.access = KEY_ALL_ACCESS;
    switch (raw) {
    case 0x80000000u:
        out.node = RootNode(wants64 ? ROOT_HKCR64 : ROOT_HKCR32);
        out.view = wants64 ? 64 : 32;
        return TRUE;
    case 0x80000001u:
        out.node = RootNode(ROOT_HKCU);
        out.view = 0;
        return TRUE;
    case 0x80000002u:
        out.node = RootNode(wants64 ? ROOT_HKLM64 : ROOT_HKLM32);
        out.view = wants64 ? 64 : 32;
        return TRUE;
    case 0x80000003u:
        out.node = RootNode(ROOT_HKU);
        out.view = 0;
        return TRUE;
    default:
        break;
    }
    KeyHandle* handle = reinterpret_cast<KeyHandle*>(key);
    if (g_handles.find(handle) == g_handles.end())
        return FALSE;
    out = *handle;
    return TRUE;
}

LONG CheckUse(const KeyHandle& handle, REGSAM needed)
{
    if ((handle.access & needed) != needed)
        return ERROR_ACCESS_DENIED;
    if (handle.node->deleted)
        return ERROR_KEY_DELETED;
    return ERROR_SUCCESS;
}

LONG UseKey(HKEY key, REGSAM needed, KeyHandle& out)
{
    if (!ResolveKey(key, 0, out))
        return ERROR_INVALID_HANDLE;
    return CheckUse(out, needed);
}

std::vector<std::string> SplitPath(const char* path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = path ? path : ""; *p; ++p) {
        if (*p == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

size_t LowerBoundChild(const RegNode& node, std::string_view name)
{
    size_t lo = 0, hi = node.children.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (CompareNames(node.children[mid]->name, name) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

const std::shared_ptr<RegNode>* FindChild(const RegNode& node, std::string_view name)
{
    size_t at = LowerBoundChild(node, name);
    if (at < node.children.size() && CompareNames(node.children[at]->name, name) == 0)
        return &node.children[at];
    return nullptr;
}

size_t LowerBoundValue(const RegNode& node, std::string_view name)
{
    size_t lo = 0, hi = node.values.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (CompareNames(node.values[mid].name, name) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

RegValue* FindValue(RegNode& node, const char* name)
{
    const std::string_view wanted = name ? name : "";
    const uint32_t hash = NameHash(wanted);
    auto matches = [&](int index) {
        const RegValue& value = node.values[static_cast<size_t>(index)];
        return value.nameHash == hash && CompareNames(value.name, wanted) == 0;
    };
    // Most keys hold a few values: their hashes are compared before any name.
    if (node.values.size() <= 16) {
        for (size_t i = 0; i < node.values.size(); ++i) {
            if (matches(static_cast<int>(i)))
                return &node.values[i];
        }
        return nullptr;
    }
    // A key of thousands of values (The Bat!'s depot) is indexed at its first search and then found by hash
    // on every query. Names are unique in a key, so each goes to the first free slot.
    if (node.valueSlots.empty()) {
        node.valueSlots.assign(SlotCountFor(node.values.size()), -1);
        for (size_t i = 0; i < node.values.size(); ++i)
            FindSlot(node.valueSlots, node.values[i].nameHash, [](int) { return false; }) =
                static_cast<int>(i);
    }
    const int found = FindSlot(node.valueSlots, hash, matches);
    return found < 0 ? nullptr : &node.values[static_cast<size_t>(found)];
}

HKEY NewHandle(const std::shared_ptr<RegNode>& node, REGSAM access, int view)
{
    KeyHandle* handle = new KeyHandle;
    handle->node = node;
    handle->access = access;
    handle->view = view;
    g_handles.insert(handle);
    return reinterpret_cast<HKEY>(handle);
}

void MarkDeleted(RegNode& node)
{
    node.deleted = TRUE;
    for (auto& child : node.children)
        MarkDeleted(*child);
    node.children.clear();
    node.values.clear();
    node.valueSlots.clear();
}

BOOL ReleaseHandle(HKEY key)
{
    KeyHandle* handle = reinterpret_cast<KeyHandle*>(key);
    if (g_handles.erase(handle) == 0)
        return FALSE;
    delete handle;
    return TRUE;
}

void ForgetAllKeys()
{
    for (auto& root : g_roots) {
        if (root)
            MarkDeleted(*root);
        root.reset();
    }
}

} // namespace portable
} // namespace plat
