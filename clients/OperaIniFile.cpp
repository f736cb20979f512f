// COperaIniFile: whole-value reads and all-or-nothing writes of one of Opera's profile-format account files.
#include "clients/OperaIniFile.h"
#include "clients/StoreFileWrite.h"

#include "Files.h"
#include "Profile.h"

#include <cctype>
#include <climits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

// The clients read with 255 characters; a longer value is read whole up to these limits, never cut.
const DWORD kMaxValueLength = 64 * 1024 - 2;
const DWORD kFirstSectionSize = 4096;
const DWORD kMaxSectionSize = 1024 * 1024;

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The values put into their own lines of original, every other byte kept: one pass over the file, where the
// profile functions would write it once per value. FALSE when a value has no line of its own in its section
// or a section is there twice; the profile functions then make the edit. What they read back decides either
// way.
BOOL EditValueLines(const std::string& original, const COperaIniFile::Entries& values, std::string& edited)
{
    std::unordered_map<std::string, size_t> wanted; // "section\nkey", lowered, to the value's index
    for (size_t i = 0; i < values.size(); ++i)
        wanted[Lowered(values[i].section) + '\n' + Lowered(values[i].key)] = i;
    std::unordered_set<std::string> sections;
    std::vector<bool> placed(values.size(), false);
    std::string section;
    edited.clear();
    edited.reserve(original.size() + 64 * values.size());
    for (size_t start = 0; start < original.size();) {
        size_t end = original.find('\n', start);
        end = end == std::string::npos ? original.size() : end + 1;
        std::string line = original.substr(start, end - start);
        start = end;
        size_t body = line.size();
        while (body > 0 && (line[body - 1] == '\n' || line[body - 1] == '\r'))
            --body;
        const std::string trimmed = Trimmed(line.substr(0, body));
        if (!trimmed.empty() && trimmed[0] == '[') {
            const size_t close = trimmed.find(']');
            section = Lowered(
                Trimmed(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
            if (!sections.insert(section).second)
                return FALSE;
        } else if (const size_t equals = line.find('='); equals != std::string::npos && equals < body) {
            auto found = wanted.find(section + '\n' + Lowered(Trimmed(line.substr(0, equals))));
            // The first line of a key is the one read; a later one is left as it is.
            if (found != wanted.end() && !placed[found->second]) {
                placed[found->second] = true;
                line = line.substr(0, equals + 1) + values[found->second].value + line.substr(body);
            }
        }
        edited += line;
    }
    for (bool done : placed) {
        if (!done)
            return FALSE;
    }
    return TRUE;
}

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
    std::string original;
    if (!plat::ReadWholeFile(m_path.c_str(), original))
        return FALSE;
    // Read after the bytes: a change in between shows when the bytes are compared before replacing.
    for (const Entry& entry : expected) {
        std::string now;
        if (!ReadValue(entry.section.c_str(), entry.key.c_str(), now) || now != entry.value)
            return FALSE;
    }
    size_t slash = m_path.find_last_of('\\');
    std::string folder = slash == std::string::npos ? std::string(".") : m_path.substr(0, slash);
    std::string copyPath;
    if (!plat::CreateTempFileIn(folder.c_str(), plat::kTempFilePrefix, copyPath))
        return FALSE;

    // What the copy gives back is what the client will read: a value the profile functions would trim or
    // unquote is not written, nor an empty one, which reads as missing and would leave an account that can
    // no longer be read (a proxy user name without a server gives back an empty one).
    COperaIniFile copy(copyPath);
    auto readsBack = [&]() {
        for (const Entry& value : values) {
            std::string readBack;
            if (!copy.ReadValue(value.section.c_str(), value.key.c_str(), readBack) ||
                readBack != value.value)
                return FALSE;
        }
        return TRUE;
    };
    std::string edited;
    BOOL ok = EditValueLines(original, values, edited) && plat::ReplaceWholeFile(copyPath.c_str(), edited) &&
              readsBack();
    if (!ok) {
        ok = plat::ReplaceWholeFile(copyPath.c_str(), original);
        for (size_t i = 0; ok && i < values.size(); ++i)
            ok = plat::ProfileWriteString(values[i].section.c_str(), values[i].key.c_str(),
                                          values[i].value.c_str(), copyPath.c_str());
        ok = ok && readsBack();
    }
    ok = ok && plat::ReadWholeFile(copyPath.c_str(), edited);
    plat::RemoveFile(copyPath.c_str());
    if (!ok)
        return FALSE;

    // Somebody else's change made meanwhile is not overwritten.
    std::string now;
    if (!plat::ReadWholeFile(m_path.c_str(), now) || now != original)
        return FALSE;
    return ReplaceStoreFile(m_path, edited);
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
