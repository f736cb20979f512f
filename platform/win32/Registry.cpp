// The registry calls of Registry.h over the Windows registry, machine-wide roots in the 32-bit view.
#include "Registry.h"

namespace {

BOOL IsMachineRoot(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE || root == HKEY_CLASSES_ROOT;
}

// The e-mail clients are 32-bit programs: their machine-wide keys live in the 32-bit view.
REGSAM WithView(HKEY root, REGSAM access)
{
    if (IsMachineRoot(root) && !(access & KEY_WOW64_64KEY))
        access |= KEY_WOW64_32KEY;
    return access;
}

// Registry results come back as codes only; Wine sets the last error in some failing calls, so restore it.
class CKeepLastError
{
public:
    CKeepLastError() : m_saved(GetLastError()) {}
    ~CKeepLastError() { SetLastError(m_saved); }
    CKeepLastError(const CKeepLastError&) = delete;
    CKeepLastError& operator=(const CKeepLastError&) = delete;

private:
    DWORD m_saved;
};

} // namespace

namespace plat {

LONG RegOpen(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    CKeepLastError keep;
    if (!key)
        return ERROR_INVALID_PARAMETER;
    return RegOpenKeyExA(root, path, 0, WithView(root, access), key);
}

LONG RegCreate(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    CKeepLastError keep;
    if (!key)
        return ERROR_INVALID_PARAMETER;
    return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, WithView(root, access), nullptr,
                           key, nullptr);
}

LONG RegClose(HKEY key)
{
    CKeepLastError keep;
    return RegCloseKey(key);
}

LONG RegRemoveTree(HKEY root, const char* path)
{
    CKeepLastError keep;
    // An empty path would empty the root itself: no caller means that.
    if (!path || !*path)
        return ERROR_INVALID_PARAMETER;
    REGSAM view = WithView(root, 0);
    HKEY key = nullptr;
    // RegDeleteTreeA would open the path in the process's own view; open it in ours and empty it from there.
    LONG result = RegOpenKeyExA(
        root, path, 0, view | DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return result;
    return RegDeleteKeyExA(root, path, view & (KEY_WOW64_32KEY | KEY_WOW64_64KEY), 0);
}

LONG RegQuery(HKEY key, const char* name, DWORD* type, void* data, DWORD* size)
{
    CKeepLastError keep;
    return RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(data), size);
}

LONG RegWrite(HKEY key, const char* name, DWORD type, const void* data, DWORD size)
{
    CKeepLastError keep;
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

LONG RegRemoveValue(HKEY key, const char* name)
{
    CKeepLastError keep;
    return RegDeleteValueA(key, name);
}

LONG RegCountSubkeys(HKEY key, DWORD* count, DWORD* maxNameLen)
{
    CKeepLastError keep;
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, count, maxNameLen, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr);
}

LONG RegSubkeyName(HKEY key, DWORD index, char* name, DWORD* nameLen)
{
    CKeepLastError keep;
    return RegEnumKeyExA(key, index, name, nameLen, nullptr, nullptr, nullptr, nullptr);
}

LONG RegValueAt(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, void* data, DWORD* size)
{
    CKeepLastError keep;
    return RegEnumValueA(key, index, name, nameLen, nullptr, type, static_cast<BYTE*>(data), size);
}

} // namespace plat
