// The registry calls of Registry.h over the Windows registry, machine-wide roots in the 32-bit view.
#include "Registry.h"
#include "WideText.h"

#include <cstring>
#include <string>

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

BOOL IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A string value's data in UTF-8, read whole through the W call: the A call would turn every letter outside
// the ANSI code page into a best-fit look-alike or "?".
LONG QueryUtf8(HKEY key, const wchar_t* name, std::string& utf8)
{
    std::wstring wide;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LONG result = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
        if (result != ERROR_SUCCESS)
            return result;
        try {
            wide.assign(size / sizeof(wchar_t) + 1, L'\0');
        } catch (...) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        DWORD got = size;
        result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&wide[0]), &got);
        if (result == ERROR_MORE_DATA)
            continue; // changed between the two calls
        if (result != ERROR_SUCCESS)
            return result;
        // An odd last byte cannot be a UTF-16 unit: such a value is not text we could give back unchanged.
        if (got % sizeof(wchar_t))
            return ERROR_NO_UNICODE_TRANSLATION;
        return plat::ToUtf8(wide.data(), got / sizeof(wchar_t), utf8) ? ERROR_SUCCESS
                                                                      : ERROR_NO_UNICODE_TRANSLATION;
    }
    return ERROR_MORE_DATA;
}

// Hands UTF-8 string data out with RegQueryValueExA's rules: too small a buffer is left alone and the full
// size given; a string stored without its NUL is terminated when there is room.
LONG GiveString(const std::string& utf8, void* data, DWORD* size)
{
    const DWORD needed = static_cast<DWORD>(utf8.size());
    if (!data) {
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }
    if (!size)
        return ERROR_INVALID_PARAMETER;
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    char* out = static_cast<char*>(data);
    memcpy(out, utf8.data(), utf8.size());
    if (needed > 0 && utf8.back() != '\0' && *size > needed)
        out[needed] = '\0';
    *size = needed;
    return ERROR_SUCCESS;
}

// The longest subkey name in UTF-8 bytes: what a caller must make room for.
LONG LongestSubkeyName(HKEY key, DWORD count, DWORD* longest)
{
    *longest = 0;
    wchar_t name[256];
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = 256;
        LONG result = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            return result;
        std::string utf8;
        if (!plat::ToUtf8(name, length, utf8))
            return ERROR_NO_UNICODE_TRANSLATION;
        if (utf8.size() > *longest)
            *longest = static_cast<DWORD>(utf8.size());
    }
    return ERROR_SUCCESS;
}

// Gives a UTF-8 name into a caller's buffer of *nameLen bytes with its NUL, as the A enumerations do.
LONG GiveName(const std::string& utf8, char* name, DWORD* nameLen)
{
    if (utf8.size() + 1 > *nameLen)
        return ERROR_MORE_DATA;
    memcpy(name, utf8.c_str(), utf8.size() + 1);
    *nameLen = static_cast<DWORD>(utf8.size());
    return ERROR_SUCCESS;
}

} // namespace

namespace plat {

LONG RegOpen(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    CKeepLastError keep;
    if (!key)
        return ERROR_INVALID_PARAMETER;
    CWideArg widePath(path);
    if (!widePath.IsOk())
        return ERROR_NO_UNICODE_TRANSLATION;
    return RegOpenKeyExW(root, widePath.Get(), 0, WithView(root, access), key);
}

LONG RegCreate(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    CKeepLastError keep;
    if (!key)
        return ERROR_INVALID_PARAMETER;
    CWideArg widePath(path);
    if (!widePath.IsOk())
        return ERROR_NO_UNICODE_TRANSLATION;
    return RegCreateKeyExW(root, widePath.Get(), 0, nullptr, REG_OPTION_NON_VOLATILE, WithView(root, access),
                           nullptr, key, nullptr);
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
    CWideArg widePath(path);
    if (!widePath.IsOk())
        return ERROR_NO_UNICODE_TRANSLATION;
    REGSAM view = WithView(root, 0);
    HKEY key = nullptr;
    // RegDeleteTreeW would open the path in the process's own view; open it in ours and empty it from there.
    LONG result =
        RegOpenKeyExW(root, widePath.Get(), 0,
                      view | DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return result;
    return RegDeleteKeyExW(root, widePath.Get(), view & (KEY_WOW64_32KEY | KEY_WOW64_64KEY), 0);
}

LONG RegQuery(HKEY key, const char* name, DWORD* type, void* data, DWORD* size)
{
    CKeepLastError keep;
    CWideArg wideName(name);
    if (!wideName.IsOk())
        return ERROR_NO_UNICODE_TRANSLATION;
    DWORD storedType = REG_NONE;
    DWORD wideSize = 0;
    LONG result = RegQueryValueExW(key, wideName.Get(), nullptr, &storedType, nullptr, &wideSize);
    if (type)
        *type = storedType;
    if (result != ERROR_SUCCESS) {
        if (!data && size)
            *size = 0;
        return result;
    }
    if (!IsStringType(storedType))
        return RegQueryValueExW(key, wideName.Get(), nullptr, type, static_cast<BYTE*>(data), size);
    std::string utf8;
    result = QueryUtf8(key, wideName.Get(), utf8);
    if (result != ERROR_SUCCESS)
        return result;
    return GiveString(utf8, data, size);
}

LONG RegWrite(HKEY key, const char* name, DWORD type, const void* data, DWORD size)
{
    CKeepLastError keep;
    CWideArg wideName(name);
    if (!wideName.IsOk())
        return ERROR_NO_UNICODE_TRANSLATION;
    if (!IsStringType(type) || !data)
        return RegSetValueExW(key, wideName.Get(), 0, type, static_cast<const BYTE*>(data), size);
    const char* text = static_cast<const char*>(data);
    std::wstring wide;
    if (!ToWide(text, size, wide))
        return ERROR_NO_UNICODE_TRANSLATION;
    // As the A call does: a string whose size left out the NUL that follows it is stored with the NUL.
    const DWORD wideSize = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
    if (type != REG_MULTI_SZ && size > 0 && text[size - 1] != '\0' && text[size] == '\0') {
        wide.push_back(L'\0');
        return RegSetValueExW(key, wideName.Get(), 0, type, reinterpret_cast<const BYTE*>(wide.data()),
                              wideSize + sizeof(wchar_t));
    }
    // The W call too adds a NUL it finds right after the data: end ours with one that is not a NUL.
    wide.push_back(L'x');
    return RegSetValueExW(key, wideName.Get(), 0, type, reinterpret_cast<const BYTE*>(wide.data()), wideSize);
}

LONG RegRemoveValue(HKEY key, const char* name)
{
    CKeepLastError keep;
    CWideArg wideName(name);
    if (!wideName.IsOk())
        return ERROR_NO_UNICODE_TRANSLATION;
    return RegDeleteValueW(key, wideName.Get());
}

LONG RegCountSubkeys(HKEY key, DWORD* count, DWORD* maxNameLen)
{
    CKeepLastError keep;
    DWORD subkeys = 0;
    LONG result = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    if (maxNameLen) {
        result = LongestSubkeyName(key, subkeys, maxNameLen);
        if (result != ERROR_SUCCESS)
            return result;
    }
    if (count)
        *count = subkeys;
    return ERROR_SUCCESS;
}

LONG RegSubkeyName(HKEY key, DWORD index, char* name, DWORD* nameLen)
{
    CKeepLastError keep;
    if (!name || !nameLen)
        return ERROR_INVALID_PARAMETER;
    wchar_t wide[256];
    DWORD length = 256;
    LONG result = RegEnumKeyExW(key, index, wide, &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    std::string utf8;
    if (!ToUtf8(wide, length, utf8))
        return ERROR_NO_UNICODE_TRANSLATION;
    return GiveName(utf8, name, nameLen);
}

LONG RegValueAt(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, void* data, DWORD* size)
{
    CKeepLastError keep;
    if (!name || !nameLen)
        return ERROR_INVALID_PARAMETER;
    // Value names are at most 16383 characters.
    std::wstring wide(16384, L'\0');
    DWORD length = static_cast<DWORD>(wide.size());
    DWORD storedType = REG_NONE;
    LONG result = RegEnumValueW(key, index, &wide[0], &length, nullptr, &storedType, nullptr, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    wide.resize(length);
    std::string utf8;
    if (!ToUtf8(wide.data(), wide.size(), utf8))
        return ERROR_NO_UNICODE_TRANSLATION;
    if (type)
        *type = storedType;
    LONG dataResult = ERROR_SUCCESS;
    if (data || size) {
        if (IsStringType(storedType)) {
            std::string text;
            dataResult = QueryUtf8(key, wide.c_str(), text);
            if (dataResult == ERROR_SUCCESS)
                dataResult = GiveString(text, data, size);
        } else {
            dataResult =
                RegQueryValueExW(key, wide.c_str(), nullptr, nullptr, static_cast<BYTE*>(data), size);
        }
    }
    LONG nameResult = GiveName(utf8, name, nameLen);
    if (nameResult != ERROR_SUCCESS) {
        // As Wine does: the name cut (at a whole character) and terminated, the data filled all the same.
        if (*nameLen > 0) {
            size_t cut = *nameLen - 1;
            while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
                --cut;
            memcpy(name, utf8.data(), cut);
            name[cut] = '\0';
        }
        return nameResult;
    }
    return dataResult;
}

} // namespace plat
