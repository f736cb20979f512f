// The profile calls of Profile.h for the portable backend, with the results of the Windows functions.
#include "Profile.h"
#include "Files.h"
#include "LastError.h"
#include "PortablePaths.h"
#include "ProfileCache.h"
#include "ProfileDocument.h"
#include "ProfileGuard.h"
#include "TextEncoding.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using plat::CProfileDocument;

// One lock for every profile call: a write is a read, an edit and a replace of the file.
std::mutex g_profileLock;

// A bare file name lives in the Windows directory, as with the Windows functions.
std::string ProfilePath(const char* path)
{
    if (!strchr(path, '\\') && !strchr(path, '/'))
        return plat::portable::WindowsFolder() + "/" + path;
    return plat::portable::NativePath(path);
}

// Text of the file as UTF-8, as the W functions give it: a file with a UTF-8 byte-order mark holds UTF-8,
// any other the code page, whose undefined bytes read as U+FFFD (and so can never be written back).
std::string TextFromFile(const CProfileDocument& document, std::string_view bytes)
{
    if (document.HoldsUtf8() || plat::IsAsciiText(bytes))
        return std::string(bytes);
    std::string utf8;
    if (plat::CodePageToUtf8(std::string(bytes), utf8))
        return utf8;
    utf8.clear();
    for (char c : bytes) {
        std::string one;
        utf8 += plat::CodePageToUtf8(std::string(1, c), one) ? one : std::string("\xEF\xBF\xBD");
    }
    return utf8;
}

std::vector<std::string> TextsFromFile(const CProfileDocument& document, std::vector<std::string> items)
{
    for (std::string& item : items) {
        if (!plat::IsAsciiText(item))
            item = TextFromFile(document, item);
    }
    return items;
}

// A caller's UTF-8 name (null stays null) as the file spells it; FALSE when the file cannot hold it, so no
// entry of the file has that name.
BOOL NameInFile(const CProfileDocument& document, const char* name, std::string& bytes, const char*& spelled)
{
    spelled = name;
    if (!name || document.HoldsUtf8() || plat::IsAsciiText(name))
        return TRUE;
    if (!plat::Utf8ToCodePage(name, bytes))
        return FALSE;
    spelled = bytes.c_str();
    return TRUE;
}

// lstrcpynA: at most size - 1 characters and a NUL, stopping at a NUL inside the text (a hostile file's),
// so the caller's buffer beyond it is left alone; the length copied. A cut does not split a UTF-8 letter.
DWORD CopyCut(char* buffer, DWORD size, std::string_view text)
{
    const size_t length = std::min(text.find('\0'), text.size());
    size_t n = std::min(length, static_cast<size_t>(size - 1));
    while (n < length && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return static_cast<DWORD>(n);
}

// A double-NUL list. When it does not fit, the last name is cut, two NULs end the buffer and the result is
// size - 2, even for a list that would have fitted exactly.
DWORD CopyList(char* buffer, DWORD size, const std::vector<std::string>& items)
{
    if (size == 0)
        return 0;
    if (size == 1) {
        buffer[0] = 0;
        return 0;
    }
    size_t pos = 0;
    for (const std::string& item : items) {
        if (pos + item.size() + 1 >= size - 1) {
            size_t room = size - 2 - pos;
            memcpy(buffer + pos, item.data(), room);
            buffer[size - 2] = 0;
            buffer[size - 1] = 0;
            return size - 2;
        }
        memcpy(buffer + pos, item.c_str(), item.size() + 1);
        pos += item.size() + 1;
    }
    buffer[pos] = 0;
    if (items.empty() && size > 1)
        buffer[1] = 0;
    return static_cast<DWORD>(pos);
}

// Reading many keys of one file reads and parses it once, as Wine's cache of profile files does.
plat::portable::CProfileCache g_profileCache;

// ProfilePath of the path asked for last, under the profile lock: a load asks for many keys of one file, and
// each conversion is an allocation. A bare name is not kept, since the Windows folder it lies in may change.
const std::string& LastProfilePath(const char* path)
{
    static std::string s_path;
    static std::string s_native;
    if (s_path != path || (!strchr(path, '\\') && !strchr(path, '/'))) {
        s_native = ProfilePath(path);
        s_path = path;
    }
    return s_native;
}

// The document of a profile file, empty when it is missing or cannot be read.
std::shared_ptr<const CProfileDocument> LoadDocument(const char* path)
{
    std::shared_ptr<const CProfileDocument> document;
    if (path && *path)
        document = g_profileCache.Get(LastProfilePath(path));
    return document ? document : std::make_shared<const CProfileDocument>(std::string());
}

// A default that is no UTF-8 was written in the code page, as the files are.
std::string TrimmedDefault(const char* def)
{
    std::string text = def ? def : "";
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return plat::IsAsciiText(text) ? text : plat::TextAsUtf8(text);
}

BOOL Fail(DWORD code, DWORD* error)
{
    plat::SetLastErrorCode(code);
    if (error)
        *error = code;
    return FALSE;
}

} // namespace

namespace plat {

DWORD ProfileGetString(const char* section, const char* key, const char* def, char* buffer, DWORD size,
                       const char* path)
{
    if (!buffer || size == 0)
        return 0;
    std::lock_guard<std::mutex> lock(g_profileLock);
    // Kept whole: the default's trimmed text, of which the copy gives a part.
    const std::string trimmedDefault = TrimmedDefault(def);
    const std::string_view fallback = plat::UnquotedProfileValue(trimmedDefault);
    try {
        const std::shared_ptr<const CProfileDocument> held = LoadDocument(path);
        const CProfileDocument& document = *held;
        if (!section)
            return CopyList(buffer, size, TextsFromFile(document, document.SectionNames()));
        std::string sectionBytes, keyBytes;
        const char* fileSection = nullptr;
        const char* fileKey = nullptr;
        if (!NameInFile(document, section, sectionBytes, fileSection) ||
            !NameInFile(document, key, keyBytes, fileKey))
            return CopyCut(buffer, size, fallback);
        if (!key) {
            std::vector<std::string> keys;
            document.ListKeys(fileSection, keys);
            if (keys.empty())
                return CopyCut(buffer, size, fallback);
            return CopyList(buffer, size, TextsFromFile(document, std::move(keys)));
        }
        std::string_view value;
        if (*key && document.FindValue(fileSection, fileKey, value))
            return CopyCut(buffer, size, TextFromFile(document, plat::UnquotedProfileValue(value)));
        return CopyCut(buffer, size, fallback);
    } catch (...) {
        return CopyCut(buffer, size, fallback);
    }
}

BOOL ProfileGetStrings(const char* section, const char* const* keys, size_t count, std::string* values,
                       DWORD limit, const char* path)
{
    if (!StartProfileGetStrings(section, keys, count, values))
        return FALSE;
    std::lock_guard<std::mutex> lock(g_profileLock);
    BOOL whole = TRUE;
    try {
        const std::shared_ptr<const CProfileDocument> held = LoadDocument(path);
        // An account's few keys need no allocation.
        std::string_view few[8];
        std::vector<std::string_view> many(count > 8 ? count : 0);
        std::string_view* found = count > 8 ? many.data() : few;
        std::string sectionBytes;
        const char* fileSection = nullptr;
        // A section the file cannot name holds none of the keys, nor does it hold a key it cannot name.
        if (!NameInFile(*held, section, sectionBytes, fileSection))
            return TRUE;
        std::vector<std::string> keyBytes;
        std::vector<const char*> fileKeys;
        const char* const* lookedFor = keys;
        for (size_t i = 0; i < count && lookedFor == keys; ++i) {
            if (!plat::IsAsciiText(keys[i])) {
                keyBytes.resize(count);
                fileKeys.assign(keys, keys + count);
                lookedFor = fileKeys.data();
            }
        }
        std::vector<bool> unnamed(lookedFor == keys ? 0 : count);
        for (size_t i = 0; lookedFor != keys && i < count; ++i)
            unnamed[i] = !NameInFile(*held, keys[i], keyBytes[i], fileKeys[i]);
        held->FindValues(fileSection, lookedFor, count, found);
        for (size_t i = 0; i < unnamed.size(); ++i) {
            if (unnamed[i])
                found[i] = std::string_view();
        }
        for (size_t i = 0; i < count; ++i) {
            // As ProfileGetString copies it: nothing for an empty key, unquoted, up to a NUL inside it.
            const std::string_view value = plat::UnquotedProfileValue(found[i]);
            const std::string_view text = *keys[i] ? value.substr(0, value.find('\0')) : std::string_view();
            if (plat::IsAsciiText(text)) {
                if (text.size() > limit)
                    whole = FALSE;
                else
                    values[i].assign(text.data(), text.size());
                continue;
            }
            std::string utf8 = TextFromFile(*held, text);
            if (utf8.size() > limit)
                whole = FALSE;
            else
                values[i].swap(utf8);
        }
    } catch (...) {
        for (size_t i = 0; i < count; ++i)
            values[i].clear();
        return FALSE;
    }
    return whole;
}

DWORD ProfileGetSection(const char* section, char* buffer, DWORD size, const char* path)
{
    if (!section || !buffer || size == 0) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> lock(g_profileLock);
    std::vector<std::string> entries;
    try {
        const std::shared_ptr<const CProfileDocument> held = LoadDocument(path);
        std::string sectionBytes;
        const char* fileSection = nullptr;
        if (NameInFile(*held, section, sectionBytes, fileSection)) {
            held->ListEntries(fileSection, entries);
            entries = TextsFromFile(*held, std::move(entries));
        }
    } catch (...) {
        entries.clear();
    }
    return CopyList(buffer, size, entries);
}

UINT ProfileGetInt(const char* section, const char* key, int def, const char* path)
{
    char text[30];
    if (ProfileGetString(section, key, "", text, sizeof(text), path) == 0)
        return static_cast<UINT>(def);
    // The leading digits after an optional sign, wrapping as a 32-bit number does. Wine reads the number as
    // RtlUnicodeStringToInteger with base 0 does: "0x", "0o" and "0b" pick base 16, 8 and 2.
    const char* p = text;
    while (*p > 0 && *p <= ' ')
        ++p;
    BOOL negative = FALSE;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    UINT base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'o' || p[1] == 'b')) {
        base = p[1] == 'x' ? 16u : (p[1] == 'o' ? 8u : 2u);
        p += 2;
    }
    UINT value = 0;
    for (;; ++p) {
        UINT digit;
        if (*p >= '0' && *p <= '9')
            digit = static_cast<UINT>(*p - '0');
        else if (*p >= 'a' && *p <= 'f')
            digit = static_cast<UINT>(*p - 'a' + 10);
        else if (*p >= 'A' && *p <= 'F')
            digit = static_cast<UINT>(*p - 'A' + 10);
        else
            break;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

BOOL ProfileWriteString(const char* section, const char* key, const char* value, const char* path,
                        DWORD* error)
{
    if (!path || !*path)
        return Fail(ERROR_ACCESS_DENIED, error);
    if (!section)
        return Fail(ERROR_FILE_NOT_FOUND, error);
    if (!IsSafeProfileWrite(section, key, value))
        return Fail(ERROR_INVALID_PARAMETER, error);
    std::lock_guard<std::mutex> lock(g_profileLock);
    std::string native = ProfilePath(path);
    g_profileCache.Forget(native);
    std::string bytes;
    struct stat info;
    BOOL exists = stat(native.c_str(), &info) == 0;
    if (exists && (!S_ISREG(info.st_mode) || !ReadWholeFile(native.c_str(), bytes)))
        return Fail(ERROR_ACCESS_DENIED, error);
    try {
        CProfileDocument document(std::move(bytes));
        // Written in the file's own encoding; a file in the code page gets only what it can hold.
        std::string fileSection, fileKey, fileValue;
        if (!SpellForProfile(document, section, fileSection) || !SpellForProfile(document, key, fileKey) ||
            !SpellForProfile(document, value, fileValue))
            return Fail(ERROR_NO_UNICODE_TRANSLATION, error);
        BOOL changed;
        if (!key)
            changed = document.DeleteSection(fileSection.c_str());
        else if (!value)
            changed = document.DeleteKey(fileSection.c_str(), fileKey.c_str());
        else
            changed = document.SetValue(fileSection.c_str(), fileKey.c_str(), fileValue.c_str());
        if (!changed)
            return TRUE;
        if (!ReplaceWholeFile(native.c_str(), document.Bytes())) {
            size_t slash = native.find_last_of('/');
            std::string folder = slash == std::string::npos ? "." : native.substr(0, slash ? slash : 1);
            return Fail(stat(folder.c_str(), &info) == 0 ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND, error);
        }
    } catch (...) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, error);
    }
    return TRUE;
}

} // namespace plat
