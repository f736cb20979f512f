// The registry calls of Registry.h over an in-memory registry that keeps Windows' (and Wine's) rules.
#include "Registry.h"
#include "FaultInjection.h"
#include "PortableControl.h"
#include "RegistryStore.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace plat::portable;

LONG OpenOrCreate(HKEY root, const char* path, REGSAM access, HKEY* key, BOOL create)
{
    if (!key)
        return ERROR_INVALID_PARAMETER;
    if (path && path[0] == '\\')
        return ERROR_BAD_PATHNAME;
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    KeyHandle start;
    if (!ResolveKey(root, access, start))
        return ERROR_INVALID_HANDLE;
    if (start.node->deleted)
        return ERROR_KEY_DELETED;
    try {
        // Walked by place in the store, under the lock: no copy of a name or of a node's owner per step.
        const std::shared_ptr<RegNode>* node = &start.node;
        const std::string_view whole = path ? path : "";
        for (size_t begin = 0; begin < whole.size();) {
            size_t end = whole.find('\\', begin);
            if (end == std::string_view::npos)
                end = whole.size();
            const std::string_view part = whole.substr(begin, end - begin);
            begin = end + 1;
            if (part.empty())
                continue;
            const std::shared_ptr<RegNode>* child = FindChild(**node, part);
            if (!child) {
                if (!create)
                    return ERROR_FILE_NOT_FOUND;
                std::shared_ptr<RegNode> made = std::make_shared<RegNode>();
                made->name = std::string(part);
                auto at = (*node)->children.insert(
                    (*node)->children.begin() + static_cast<long>(LowerBoundChild(**node, part)), made);
                child = &*at;
            }
            node = child;
        }
        *key = NewHandle(*node, access & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY), start.view);
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    return ERROR_SUCCESS;
}

// Copies a value's data into a buffer of size bytes; ERROR_MORE_DATA, with nothing copied, when it does not
// fit.
LONG CopyValueData(const RegValue& value, void* data, DWORD size)
{
    DWORD stored = static_cast<DWORD>(value.data.size());
    if (stored > size)
        return ERROR_MORE_DATA;
    char* out = static_cast<char*>(data);
    if (stored)
        memcpy(out, value.data.data(), stored);
    // Windows terminates a string stored without its NUL, but only when there is room for it (and Wine
    // leaves an empty one untouched).
    if (IsStringType(value.type) && stored < size && stored > 0 && out[stored - 1] != 0)
        out[stored] = 0;
    return ERROR_SUCCESS;
}

} // namespace

namespace plat {

LONG RegOpen(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    return OpenOrCreate(root, path, access, key, FALSE);
}

LONG RegCreate(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    if (portable::FaultHere(portable::FAULT_REG_SET, path))
        return ERROR_ACCESS_DENIED;
    return OpenOrCreate(root, path, access, key, TRUE);
}

LONG RegClose(HKEY key)
{
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    uintptr_t raw = reinterpret_cast<uintptr_t>(key);
    if (raw >= 0x80000000u && raw <= 0x80000003u)
        return ERROR_SUCCESS;
    return ReleaseHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegRemoveTree(HKEY root, const char* path)
{
    // An empty path would empty the root itself: no caller means that.
    if (!path || !*path)
        return ERROR_INVALID_PARAMETER;
    if (portable::FaultHere(portable::FAULT_REG_DELETE, path))
        return ERROR_ACCESS_DENIED;
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    KeyHandle start;
    if (!ResolveKey(root, 0, start))
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> parts;
    try {
        parts = SplitPath(path);
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (parts.empty())
        return ERROR_INVALID_PARAMETER;
    std::shared_ptr<RegNode> parent = start.node;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::shared_ptr<RegNode>* child = FindChild(*parent, parts[i]);
        if (!child)
            return ERROR_FILE_NOT_FOUND;
        parent = *child;
    }
    size_t at = LowerBoundChild(*parent, parts.back());
    if (at >= parent->children.size() || CompareNames(parent->children[at]->name, parts.back()) != 0)
        return ERROR_FILE_NOT_FOUND;
    MarkDeleted(*parent->children[at]);
    parent->children.erase(parent->children.begin() + static_cast<long>(at));
    return ERROR_SUCCESS;
}

LONG RegQuery(HKEY key, const char* name, DWORD* type, void* data, DWORD* size)
{
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    KeyHandle handle;
    if (!ResolveKey(key, 0, handle))
        return ERROR_INVALID_HANDLE;
    // Wine clears both outputs before it looks (Windows leaves a random type behind on failure).
    if (size && !data)
        *size = 0;
    if (type)
        *type = REG_NONE;
    LONG result = CheckUse(handle, KEY_QUERY_VALUE);
    if (result != ERROR_SUCCESS)
        return result;
    const RegValue* value = FindValue(*handle.node, name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    DWORD stored = static_cast<DWORD>(value->data.size());
    if (type)
        *type = value->type;
    if (data && CopyValueData(*value, data, *size) != ERROR_SUCCESS) {
        *size = stored;
        return ERROR_MORE_DATA;
    }
    if (size)
        *size = stored;
    return ERROR_SUCCESS;
}

LONG RegWrite(HKEY key, const char* name, DWORD type, const void* data, DWORD size)
{
    if (!data && size)
        return ERROR_NOACCESS;
    if (portable::FaultHere(portable::FAULT_REG_SET, name))
        return ERROR_ACCESS_DENIED;
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    KeyHandle handle;
    LONG result = UseKey(key, KEY_SET_VALUE, handle);
    if (result != ERROR_SUCCESS)
        return result;
    const char* bytes = static_cast<const char*>(data);
    // Windows adds the NUL that a string's size left out, when the caller's string has one right after.
    if (IsStringType(type) && size && bytes[size - 1] != 0 && bytes[size] == 0)
        ++size;
    try {
        std::string stored(bytes ? bytes : "", size);
        RegValue* value = FindValue(*handle.node, name);
        if (!value) {
            RegValue fresh;
            fresh.name = name ? name : "";
            fresh.nameHash = NameHash(fresh.name);
            auto& values = handle.node->values;
            size_t at = LowerBoundValue(*handle.node, fresh.name);
            value = &*values.insert(values.begin() + static_cast<long>(at), fresh);
            handle.node->valueSlots.clear();
        }
        value->type = type;
        value->data.swap(stored);
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    return ERROR_SUCCESS;
}

LONG RegRemoveValue(HKEY key, const char* name)
{
    if (portable::FaultHere(portable::FAULT_REG_DELETE, name))
        return ERROR_ACCESS_DENIED;
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    KeyHandle handle;
    LONG result = UseKey(key, KEY_SET_VALUE, handle);
    if (result != ERROR_SUCCESS)
        return result;
    auto& values = handle.node->values;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (CompareNames(it->name, name ? name : "") == 0) {
            values.erase(it);
            handle.node->valueSlots.clear();
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG RegCountSubkeys(HKEY key, DWORD* count, DWORD* maxNameLen)
{
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    KeyHandle handle;
    // Wine answers this for any handle (Windows wants KEY_QUERY_VALUE).
    LONG result = UseKey(key, 0, handle);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD longest = 0;
    for (const auto& child : handle.node->children) {
        if (child->name.size() > longest)
            longest = static_cast<DWORD>(child->name.size());
    }
    if (count)
        *count = static_cast<DWORD>(handle.node->children.size());
    if (maxNameLen)
        *maxNameLen = longest;
    return ERROR_SUCCESS;
}

LONG RegSubkeyName(HKEY key, DWORD index, char* name, DWORD* nameLen)
{
    if (!name || !nameLen)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    KeyHandle handle;
    LONG result = UseKey(key, KEY_ENUMERATE_SUB_KEYS, handle);
    if (result != ERROR_SUCCESS)
        return result;
    if (index >= handle.node->children.size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& found = handle.node->children[index]->name;
    if (found.size() >= *nameLen)
        return ERROR_MORE_DATA;
    memcpy(name, found.c_str(), found.size() + 1);
    *nameLen = static_cast<DWORD>(found.size());
    return ERROR_SUCCESS;
}

LONG RegValueAt(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, void* data, DWORD* size)
{
    if ((data && !size) || !name || !nameLen)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    KeyHandle handle;
    LONG result = UseKey(key, KEY_QUERY_VALUE, handle);
    if (result != ERROR_SUCCESS)
        return result;
    if (index >= handle.node->values.size())
        return ERROR_NO_MORE_ITEMS;
    const RegValue& value = handle.node->values[index];
    DWORD stored = static_cast<DWORD>(value.data.size());
    result = data ? CopyValueData(value, data, *size) : ERROR_SUCCESS;
    if (result == ERROR_SUCCESS) {
        if (value.name.size() >= *nameLen) {
            // Wine gives as much of the name as fits, terminated, and leaves the length as it was.
            if (*nameLen) {
                memcpy(name, value.name.data(), *nameLen - 1);
                name[*nameLen - 1] = 0;
            }
            result = ERROR_MORE_DATA;
        } else {
            memcpy(name, value.name.c_str(), value.name.size() + 1);
            *nameLen = static_cast<DWORD>(value.name.size());
        }
    }
    if (type)
        *type = value.type;
    if (size)
        *size = stored;
    return result;
}

namespace portable {

void ResetRegistry()
{
    std::lock_guard<std::recursive_mutex> lock(RegistryLock());
    ForgetAllKeys();
}

} // namespace portable
} // namespace plat
