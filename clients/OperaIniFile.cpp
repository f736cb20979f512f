// COperaIniFile: whole-value reads and all-or-nothing writes of one of Opera's profile-format account files.
#include "clients/OperaIniFile.h"
#include "clients/StoreFileWrite.h"

#include "Files.h"
#include "Profile.h"
#include "ProfileEdit.h"
#include "ReadBatch.h"

#include <cctype>
#include <climits>

namespace {

// The clients read with 255 characters; a longer value is read whole up to these limits, never cut.
const DWORD kMaxValueLength = 64 * 1024 - 2;
const DWORD kFirstSectionSize = 4096;
const DWORD kMaxSectionSize = 1024 * 1024;

} // namespace

BOOL COperaIniFile::ReadValue(const char* section, const char* key, std::string& value) const
{
    std::string read;
    if (!ReadValues(section, &key, &read, 1))
        return FALSE;
    value.swap(read);
    return TRUE;
}

BOOL COperaIniFile::ReadValues(const char* section, const char* const* keys, std::string* values,
                               size_t count) const
{
    if (!plat::ProfileGetStrings(section, keys, count, values, kMaxValueLength, m_path.c_str()))
        return FALSE;
    for (size_t i = 0; i < count; ++i) {
        if (values[i].empty())
            return FALSE;
    }
    return TRUE;
}

BOOL COperaIniFile::ReadSection(const char* section, std::string& lines) const
{
    for (DWORD size = kFirstSectionSize; size <= kMaxSectionSize; size *= 2) {
        std::string buffer(size, '\0');
        DWORD length = plat::ProfileGetSection(section, &buffer[0], size, m_path.c_str());
        // A cut list comes back with size - 2 characters.
        if (length + 2 < size) {
            if (length == 0)
                return FALSE;
            lines.assign(buffer.data(), length);
            if (lines.back() != '\0')
                lines += '\0';
            return TRUE;
        }
    }
    return FALSE;
}

BOOL COperaIniFile::WriteValues(const char* section,
                                const std::vector<std::pair<std::string, std::string>>& values,
                                const Entries& expected) const
{
    Entries entries;
    entries.reserve(values.size());
    for (const auto& value : values)
        entries.push_back({section, value.first, value.second});
    return WriteEntries(entries, expected);
}

BOOL COperaIniFile::WriteEntries(const Entries& values, const Entries& expected) const
{
    for (const Entry& value : values) {
        if (value.value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            return FALSE;
    }
    // The checks below read many values of the file: it is read and parsed once, not once a value.
    plat::CReadBatch batch;
    std::string original;
    if (!plat::ReadWholeFile(m_path.c_str(), original))
        return FALSE;
    // Read after the bytes: a change in between shows when the bytes are compared before replacing.
    for (const Entry& entry : expected) {
        std::string now;
        if (!ReadValue(entry.section.c_str(), entry.key.c_str(), now) || now != entry.value)
            return FALSE;
    }
    // Every value set in one edit of the bytes, where the profile functions would rewrite the whole file once
    // per value; the edit reads each value back as given. Only for a file the edit cannot read (UTF-16) do
    // they make it themselves, on a copy.
    std::vector<plat::ProfileValue> edits;
    edits.reserve(values.size());
    for (const Entry& value : values)
        edits.push_back({value.section, value.key, value.value});
    std::string edited = original;
    if (!plat::ProfileSetValues(edited, edits.data(), edits.size()) &&
        !EditThroughCopy(original, values, edited))
        return FALSE;

    // Somebody else's change made meanwhile is not overwritten.
    std::string now;
    if (!plat::ReadWholeFile(m_path.c_str(), now) || now != original)
        return FALSE;
    return ReplaceStoreFile(m_path, edited);
}

BOOL COperaIniFile::EditThroughCopy(const std::string& original, const Entries& values,
                                    std::string& edited) const
{
    size_t slash = m_path.find_last_of('\\');
    std::string folder = slash == std::string::npos ? std::string(".") : m_path.substr(0, slash);
    std::string copyPath;
    if (!plat::CreateTempFileIn(folder.c_str(), plat::kTempFilePrefix, copyPath))
        return FALSE;
    // What the copy gives back is what the client will read: a value the profile functions would trim or
    // unquote is not written, nor an empty one, which reads as missing and would leave an account that can
    // no longer be read (a proxy user name without a server gives back an empty one).
    COperaIniFile copy(copyPath);
    BOOL ok = plat::ReplaceWholeFile(copyPath.c_str(), original);
    for (size_t i = 0; ok && i < values.size(); ++i)
        ok = plat::ProfileWriteString(values[i].section.c_str(), values[i].key.c_str(),
                                      values[i].value.c_str(), copyPath.c_str());
    for (size_t i = 0; ok && i < values.size(); ++i) {
        std::string readBack;
        ok = copy.ReadValue(values[i].section.c_str(), values[i].key.c_str(), readBack) &&
             readBack == values[i].value;
    }
    ok = ok && plat::ReadWholeFile(copyPath.c_str(), edited);
    plat::RemoveFile(copyPath.c_str());
    return ok;
}

size_t COperaIniFile::LongestValue()
{
    return kMaxValueLength;
}

BOOL COperaIniFile::LeadingNumber(const std::string& text, int& number)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    BOOL negative = FALSE;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return FALSE;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return FALSE;
    number = static_cast<int>(value);
    return TRUE;
}
