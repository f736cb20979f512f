// The profile calls of Profile.h over the Windows private-profile functions, in their W form: the program's
// UTF-8 goes in and out as UTF-16, and Windows keeps the file in the code page it found it in (the ANSI one
// for the clients' files). A value that code page cannot hold is refused rather than written changed.
#include "Profile.h"
#include "Files.h"
#include "ProfileDocument.h"
#include "ProfileEdit.h"
#include "ProfileGuard.h"
#include "ReadBatch.h"
#include "TextEncoding.h"
#include "WideText.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// A file in a single-byte code page gives its undefined bytes as C1 controls: they read as U+FFFD, which no
// code page holds, so that such a value is never written back as something else.
BOOL HolesAsReplacement(wchar_t* text, DWORD length, std::string& utf8)
{
    for (DWORD i = 0; i < length; ++i) {
        if (text[i] >= 0x80 && text[i] <= 0x9F)
            text[i] = 0xFFFD;
    }
    return plat::ToUtf8(text, length, utf8);
}

// One read of a value or a list with a buffer that grows until nothing was cut; the whole result in UTF-8
// (a list with its NULs, without the final one). FALSE when the text is not UTF-16 or memory runs out.
BOOL ReadWhole(const wchar_t* section, const wchar_t* key, const wchar_t* def, const wchar_t* path, BOOL list,
               std::string& utf8)
{
    try {
        std::vector<wchar_t> buffer(256);
        for (;;) {
            const DWORD size = static_cast<DWORD>(buffer.size());
            DWORD length = GetPrivateProfileStringW(section, key, def, buffer.data(), size, path);
            const DWORD cutAt = list ? size - 2 : size - 1;
            if (length < cutAt)
                return HolesAsReplacement(buffer.data(), length, utf8);
            if (buffer.size() >= 0x4000000)
                return FALSE;
            buffer.resize(buffer.size() * 4);
        }
    } catch (...) {
        return FALSE;
    }
}

BOOL ReadWholeSection(const wchar_t* section, const wchar_t* path, std::string& utf8)
{
    try {
        std::vector<wchar_t> buffer(1024);
        for (;;) {
            const DWORD size = static_cast<DWORD>(buffer.size());
            DWORD length = GetPrivateProfileSectionW(section, buffer.data(), size, path);
            if (length < size - 2)
                return HolesAsReplacement(buffer.data(), length, utf8);
            if (buffer.size() >= 0x4000000)
                return FALSE;
            buffer.resize(buffer.size() * 4);
        }
    } catch (...) {
        return FALSE;
    }
}

// The start of a UTF-8 text cut to at most room bytes without splitting a character.
size_t WholeCharacters(const std::string& utf8, size_t room)
{
    if (room >= utf8.size())
        return utf8.size();
    while (room > 0 && (static_cast<unsigned char>(utf8[room]) & 0xC0) == 0x80)
        --room;
    return room;
}

// Gives a value as the A call would into size bytes: cut and terminated, the count copied.
DWORD GiveValue(const std::string& utf8, char* buffer, DWORD size)
{
    if (size == 0 || !buffer)
        return 0;
    size_t length = WholeCharacters(utf8, size - 1);
    memcpy(buffer, utf8.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

// Gives a NUL-separated list as the A call would: ended by two NULs; size - 2 when it was cut.
DWORD GiveList(const std::string& utf8, char* buffer, DWORD size)
{
    if (size == 0 || !buffer)
        return 0;
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    if (utf8.size() + 1 < size) {
        memcpy(buffer, utf8.data(), utf8.size());
        buffer[utf8.size()] = '\0';
        return static_cast<DWORD>(utf8.size());
    }
    size_t length = WholeCharacters(utf8, size - 2);
    memcpy(buffer, utf8.data(), length);
    buffer[length] = '\0';
    buffer[length + 1] = '\0';
    return size - 2;
}

// Within a read batch, the files whose keys are read many at a time (a load reads a few keys of each of
// thousands of accounts) are read and parsed once, where each call of the Windows functions would open the
// file again. Only what the parse is known to read as they do is answered from it: an absolute path, a file
// neither UTF-16 nor holding a NUL, plain ASCII names and values without quotes; anything else still goes to
// the Windows functions. Any file write of the program ends what the batch knows.
class CBatchProfiles
{
public:
    std::shared_ptr<const plat::CProfileDocument> Get(const char* path)
    {
        const unsigned long batch = plat::ReadBatchId();
        if (batch == 0 || !path || !IsAbsolute(path))
            return nullptr;
        std::lock_guard<std::mutex> lock(m_lock);
        const unsigned long writes = plat::FileWriteCount();
        if (batch != m_batch || writes != m_writes) {
            m_documents.clear();
            m_batch = batch;
            m_writes = writes;
        }
        auto known = m_documents.find(path);
        if (known != m_documents.end())
            return known->second;
        std::shared_ptr<const plat::CProfileDocument> document;
        std::string bytes;
        if (plat::ReadWholeFile(path, bytes) && plat::IsPlainProfileText(bytes))
            document = std::make_shared<const plat::CProfileDocument>(std::move(bytes));
        m_documents.emplace(path, document);
        return document;
    }

private:
    static bool IsAbsolute(const char* path)
    {
        return (path[0] && path[1] == ':' && path[2] == '\\') || (path[0] == '\\' && path[1] == '\\');
    }

    std::mutex m_lock;
    unsigned long m_batch = 0;
    unsigned long m_writes = 0;
    std::unordered_map<std::string, std::shared_ptr<const plat::CProfileDocument>> m_documents;
};

CBatchProfiles g_batchProfiles;

// A text to be written into a file in the ANSI code page must be one the code page holds exactly.
BOOL FitsCodePage(const char* text)
{
    std::string ansi;
    return !text || plat::Utf8ToAnsi(text, ansi);
}

} // namespace

namespace plat {

DWORD ProfileGetString(const char* section, const char* key, const char* def, char* buffer, DWORD size,
                       const char* path)
{
    if (size == 0 || !buffer)
        return 0;
    // A default that is not UTF-8 was written in the ANSI code page, as the files are.
    std::string ansiDefault;
    if (def && !CWideArg(def).IsOk()) {
        ansiDefault = TextAsUtf8(def);
        def = ansiDefault.c_str();
    }
    CWideArg wideSection(section), wideKey(key), wideDef(def), widePath(path ? path : "");
    std::string utf8;
    if (!wideSection.IsOk() || !wideKey.IsOk() || !wideDef.IsOk() || !widePath.IsOk() ||
        !ReadWhole(wideSection.Get(), wideKey.Get(), wideDef.Get(), widePath.Get(), !section || !key, utf8))
        return GiveValue("", buffer, size);
    if (!section || !key)
        return GiveList(utf8, buffer, size);
    return GiveValue(utf8, buffer, size);
}

BOOL ProfileGetStrings(const char* section, const char* const* keys, size_t count, std::string* values,
                       DWORD limit, const char* path)
{
    if (!StartProfileGetStrings(section, keys, count, values))
        return FALSE;
    CWideArg wideSection(section), widePath(path ? path : "");
    if (!wideSection.IsOk() || !widePath.IsOk())
        return FALSE;
    BOOL whole = TRUE;
    try {
        std::shared_ptr<const CProfileDocument> document;
        std::vector<std::string_view> found;
        if (plat::IsAsciiText(section) && (document = g_batchProfiles.Get(path))) {
            found.resize(count);
            for (size_t i = 0; i < count && document; ++i) {
                if (!plat::IsAsciiText(keys[i]))
                    document.reset();
            }
            if (document)
                document->FindValues(section, keys, count, found.data());
        }
        for (size_t i = 0; i < count; ++i) {
            if (document && *keys[i]) {
                const std::string_view value = found[i];
                if (plat::IsAsciiText(value) && (value.empty() || (value[0] != '"' && value[0] != '\''))) {
                    if (value.size() > limit)
                        whole = FALSE;
                    else
                        values[i].assign(value.data(), value.size());
                    continue;
                }
            }
            CWideArg wideKey(keys[i]);
            std::string utf8;
            if (!wideKey.IsOk() ||
                !ReadWhole(wideSection.Get(), wideKey.Get(), L"", widePath.Get(), FALSE, utf8) ||
                utf8.size() > limit) {
                whole = FALSE;
                continue;
            }
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
    if (size == 0 || !buffer)
        return 0;
    CWideArg wideSection(section), widePath(path ? path : "");
    std::string utf8;
    if (!wideSection.IsOk() || !widePath.IsOk() || !ReadWholeSection(wideSection.Get(), widePath.Get(), utf8))
        return GiveList("", buffer, size);
    return GiveList(utf8, buffer, size);
}

UINT ProfileGetInt(const char* section, const char* key, int def, const char* path)
{
    CWideArg wideSection(section), wideKey(key), widePath(path ? path : "");
    if (!wideSection.IsOk() || !wideKey.IsOk() || !widePath.IsOk())
        return static_cast<UINT>(def);
    return GetPrivateProfileIntW(wideSection.Get(), wideKey.Get(), def, widePath.Get());
}

BOOL ProfileWriteString(const char* section, const char* key, const char* value, const char* path,
                        DWORD* error)
{
    DWORD code = ERROR_SUCCESS;
    // A null path would write win.ini; the function reports an empty one as access denied.
    if (!path || !*path)
        code = ERROR_ACCESS_DENIED;
    else if (!section)
        code = ERROR_FILE_NOT_FOUND;
    else if (!IsSafeProfileWrite(section, key, value))
        code = ERROR_INVALID_PARAMETER;
    // The file keeps its code page: a letter it cannot hold would come back as a look-alike or "?".
    else if (!FitsCodePage(section) || !FitsCodePage(key) || !FitsCodePage(value))
        code = ERROR_NO_UNICODE_TRANSLATION;
    CWideArg wideSection(section), wideKey(key), wideValue(value), widePath(path);
    if (code == ERROR_SUCCESS && !widePath.IsOk())
        code = ERROR_NO_UNICODE_TRANSLATION;
    if (code != ERROR_SUCCESS) {
        SetLastError(code);
        if (error)
            *error = code;
        return FALSE;
    }
    plat::NoteFileWrite();
    BOOL written =
        WritePrivateProfileStringW(wideSection.Get(), wideKey.Get(), wideValue.Get(), widePath.Get());
    if (!written && error)
        *error = GetLastError();
    return written ? TRUE : FALSE;
}

} // namespace plat
