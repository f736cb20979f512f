// CProfileDocument: parsing a profile file and editing it line by line.
#include "ProfileDocument.h"
#include "HashSlots.h"

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

enum
{
    LINE_BLANK,
    LINE_SECTION,
    LINE_ENTRY
};

BOOL IsProfileSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Files with more sections than this index them by name.
const size_t kIndexedSections = 8;

// Text without blanks (and the DOS end-of-file mark) at either end, as a view of the same bytes.
std::string_view TrimView(std::string_view text)
{
    while (!text.empty() && IsProfileSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsProfileSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view ArgView(const char* text)
{
    return TrimView(text ? text : "");
}

std::string Arg(const char* text)
{
    return std::string(ArgView(text));
}

// A hash of a name as SameProfileName compares it.
size_t NameHash(std::string_view name)
{
    size_t hash = static_cast<size_t>(14695981039346656037ULL);
    for (char c : name) {
        hash ^= static_cast<unsigned char>(Upper(c));
        hash *= static_cast<size_t>(1099511628211ULL);
    }
    return hash;
}

} // namespace

std::string TrimProfileText(const std::string& text)
{
    return std::string(TrimView(text));
}

std::string_view UnquotedProfileValue(std::string_view value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

bool IsAsciiText(std::string_view text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

BOOL SameProfileName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return FALSE;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i]))
            return FALSE;
    }
    return TRUE;
}

CProfileDocument::CProfileDocument(std::string bytes) : m_bytes(std::move(bytes))
{
    Parse();
}

void CProfileDocument::Parse()
{
    m_lines.clear();
    m_sections.clear();
    m_sectionSlots.clear();
    m_start = (m_bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) ? 3 : 0;
    // An account file holds a few sections; a list of accounts reserves more as it goes.
    m_sections.reserve(8);
    Section unnamed;
    unnamed.firstLine = 0;
    m_sections.push_back(unnamed);
    const char* data = m_bytes.data();
    const size_t size = m_bytes.size();
    // Room for every line at once: Opera 7 keeps all its accounts in one file.
    size_t lineEnds = 1;
    for (size_t at = 0; at < size; ++at) {
        const void* found = memchr(data + at, '\n', size - at);
        if (!found)
            break;
        at = static_cast<size_t>(static_cast<const char*>(found) - data);
        ++lineEnds;
    }
    m_lines.reserve(lineEnds);
    size_t pos = m_start;
    while (pos < size) {
        Line line;
        line.begin = pos;
        size_t end = pos;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        line.end = end;
        size_t next = end;
        if (next < size && data[next] == '\r')
            ++next;
        if (next < size && data[next] == '\n')
            ++next;
        line.next = next;
        pos = next;

        // The line's text without blanks at either end, as indexes into the bytes.
        size_t first = line.begin, last = line.end;
        while (first < last && IsProfileSpace(data[first]))
            ++first;
        while (last > first && IsProfileSpace(data[last - 1]))
            --last;
        // The last ']' of a line that opens with '[': only such a line can be a section header.
        size_t close = first;
        if (first < last && data[first] == '[') {
            close = last;
            while (close > first && data[close - 1] != ']')
                --close;
        }
        if (first == last) {
            line.kind = LINE_BLANK;
        } else if (data[first] == '[' && close > first + 1) {
            line.kind = LINE_SECTION;
            // Wine trims blanks inside the brackets: "[ name ]" is section "name".
            size_t nameBegin = first + 1, nameEnd = close - 1;
            while (nameBegin < nameEnd && IsProfileSpace(data[nameBegin]))
                ++nameBegin;
            while (nameEnd > nameBegin && IsProfileSpace(data[nameEnd - 1]))
                --nameEnd;
            line.nameAt = nameBegin;
            line.nameLen = nameEnd - nameBegin;
            m_sections.back().endLine = m_lines.size();
            Section section;
            section.name = Name(line);
            section.header = m_lines.size();
            section.firstLine = m_lines.size() + 1;
            section.named = TRUE;
            m_sections.push_back(section);
        } else {
            line.kind = LINE_ENTRY;
            const void* eq = memchr(data + first, '=', last - first);
            if (!eq) {
                line.nameAt = first;
                line.nameLen = last - first;
            } else {
                size_t at = static_cast<size_t>(static_cast<const char*>(eq) - data);
                size_t nameEnd = at, valueBegin = at + 1;
                while (nameEnd > first && IsProfileSpace(data[nameEnd - 1]))
                    --nameEnd;
                while (valueBegin < last && IsProfileSpace(data[valueBegin]))
                    ++valueBegin;
                line.nameAt = first;
                line.nameLen = nameEnd - first;
                line.valueAt = valueBegin;
                line.valueLen = last - valueBegin;
                line.hasValue = TRUE;
            }
        }
        m_lines.push_back(std::move(line));
    }
    m_sections.back().endLine = m_lines.size();
    // A few sections are searched faster one by one than through an index.
    if (m_sections.size() <= kIndexedSections)
        return;
    m_sectionSlots.assign(SlotCountFor(m_sections.size()), -1);
    for (size_t i = 1; i < m_sections.size(); ++i) {
        Section& section = m_sections[i];
        section.nameHash = NameHash(section.name);
        int& held = FindSlot(m_sectionSlots, section.nameHash, [&](int index) {
            const Section& other = m_sections[static_cast<size_t>(index)];
            return other.nameHash == section.nameHash && SameProfileName(other.name, section.name);
        });
        // The first section of a name is the one found.
        if (held < 0)
            held = static_cast<int>(i);
    }
}

int CProfileDocument::FindSectionIndex(std::string_view name) const
{
    // The unnamed section answers only to an empty name, and only when it has lines.
    if (name.empty() && !m_sections.empty() && !m_sections[0].named && m_sections[0].endLine != 0)
        return 0;
    if (m_sections.size() <= kIndexedSections) {
        for (size_t i = 1; i < m_sections.size(); ++i) {
            if (SameProfileName(m_sections[i].name, name))
                return static_cast<int>(i);
        }
        return -1;
    }
    const size_t hash = NameHash(name);
    return FindSlot(m_sectionSlots, hash, [&](int index) {
        const Section& section = m_sections[static_cast<size_t>(index)];
        return section.nameHash == hash && SameProfileName(section.name, name);
    });
}

int CProfileDocument::FindEntryLine(const Section& section, std::string_view key) const
{
    for (size_t i = section.firstLine; i < section.endLine; ++i) {
        if (m_lines[i].kind == LINE_ENTRY && NameIs(m_lines[i], key))
            return static_cast<int>(i);
    }
    return -1;
}

BOOL CProfileDocument::NameIs(const Line& line, std::string_view name) const
{
    if (line.nameLen != name.size())
        return FALSE;
    for (size_t i = 0; i < name.size(); ++i) {
        if (Upper(m_bytes[line.nameAt + i]) != Upper(name[i]))
            return FALSE;
    }
    return TRUE;
}

BOOL CProfileDocument::FindValue(const char* section, const char* key, std::string_view& value) const
{
    return FindValueIn(FindSectionIndex(ArgView(section)), key, value);
}

void CProfileDocument::FindValues(const char* section, const char* const* keys, size_t count,
                                  std::string_view* values) const
{
    const int found = FindSectionIndex(ArgView(section));
    for (size_t i = 0; i < count; ++i) {
        if (!FindValueIn(found, keys[i], values[i]))
            values[i] = std::string_view();
    }
}

BOOL CProfileDocument::FindValueIn(int section, const char* key, std::string_view& value) const
{
    if (section < 0)
        return FALSE;
    int line = FindEntryLine(m_sections[static_cast<size_t>(section)], ArgView(key));
    if (line < 0 || !m_lines[static_cast<size_t>(line)].hasValue)
        return FALSE;
    const Line& entry = m_lines[static_cast<size_t>(line)];
    value = std::string_view(m_bytes).substr(entry.valueAt, entry.valueLen);
    return TRUE;
}

template <typename Take> BOOL CProfileDocument::ForEachEntry(const char* section, Take take) const
{
    int found = FindSectionIndex(ArgView(section));
    if (found < 0 || !m_sections[static_cast<size_t>(found)].named)
        return FALSE;
    const Section& s = m_sections[static_cast<size_t>(found)];
    for (size_t i = s.firstLine; i < s.endLine; ++i) {
        const Line& line = m_lines[i];
        // A name that starts with ';' is a comment.
        if (line.kind == LINE_ENTRY && (line.nameLen == 0 || m_bytes[line.nameAt] != ';'))
            take(line);
    }
    return TRUE;
}

BOOL CProfileDocument::ListKeys(const char* section, std::vector<std::string>& keys) const
{
    return ForEachEntry(section, [&](const Line& line) {
        if (line.hasValue)
            keys.push_back(Name(line));
    });
}

BOOL CProfileDocument::ListEntries(const char* section, std::vector<std::string>& entries) const
{
    return ForEachEntry(section, [&](const Line& line) {
        entries.push_back(line.hasValue ? Name(line) + "=" + Value(line) : Name(line));
    });
}

std::vector<std::string> CProfileDocument::SectionNames() const
{
    std::vector<std::string> names;
    for (const Section& section : m_sections) {
        if (section.named && !section.name.empty())
            names.push_back(section.name);
    }
    return names;
}

void CProfileDocument::Splice(size_t begin, size_t end, const std::string& replacement)
{
    m_bytes.replace(begin, end - begin, replacement);
    Parse();
}

size_t CProfileDocument::InsertionPoint(const Section& section)
{
    size_t last = section.named ? section.header : static_cast<size_t>(-1);
    for (size_t i = section.firstLine; i < section.endLine; ++i) {
        if (m_lines[i].kind != LINE_BLANK)
            last = i;
    }
    if (last == static_cast<size_t>(-1))
        return m_start;
    const Line& line = m_lines[last];
    if (line.end == line.next) {
        // The file's last line had no line end: give it one before adding below it.
        m_bytes.insert(line.end, "\r\n");
        size_t at = line.end + 2;
        Parse();
        return at;
    }
    return line.next;
}

BOOL CProfileDocument::SetValue(const char* section, const char* key, const char* value)
{
    std::string sectionName = Arg(section);
    std::string keyName = Arg(key);
    std::string text = value ? value : "";
    size_t lead = 0;
    while (lead < text.size() && IsProfileSpace(text[lead]))
        ++lead;
    text.erase(0, lead);

    int found = FindSectionIndex(sectionName);
    if (found < 0) {
        std::string added;
        if (m_bytes.size() > m_start && m_bytes.back() != '\n' && m_bytes.back() != '\r')
            added += "\r\n";
        added += "[" + sectionName + "]\r\n" + keyName + "=" + text + "\r\n";
        m_bytes += added;
        Parse();
        return TRUE;
    }
    int line = FindEntryLine(m_sections[static_cast<size_t>(found)], keyName);
    if (line >= 0) {
        const Line& old = m_lines[static_cast<size_t>(line)];
        if (old.hasValue && Value(old) == text)
            return FALSE;
        // The entry keeps the name as the file spells it.
        Splice(old.begin, old.end, Name(old) + "=" + text);
        return TRUE;
    }
    Section target = m_sections[static_cast<size_t>(found)];
    size_t at = InsertionPoint(target);
    Splice(at, at, keyName + "=" + text + "\r\n");
    return TRUE;
}

BOOL CProfileDocument::SetValues(const ProfileValue* values, size_t count)
{
    // The value each edited line ends with, by line: a key set twice keeps the later value, as in turn.
    std::vector<std::pair<size_t, const ProfileValue*>> edits;
    edits.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const int section = FindSectionIndex(ArgView(values[i].section.c_str()));
        const int line = section < 0 ? -1
                                     : FindEntryLine(m_sections[static_cast<size_t>(section)],
                                                     ArgView(values[i].key.c_str()));
        if (line < 0) {
            // A line to add moves the lines after it: made one value after another.
            BOOL changed = FALSE;
            for (size_t j = 0; j < count; ++j)
                changed =
                    SetValue(values[j].section.c_str(), values[j].key.c_str(), values[j].value.c_str()) ||
                    changed;
            return changed;
        }
        edits.push_back({static_cast<size_t>(line), &values[i]});
    }
    std::stable_sort(edits.begin(), edits.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string edited;
    size_t copied = 0;
    BOOL changed = FALSE;
    const auto textOf = [](const std::string& value) {
        size_t lead = 0;
        while (lead < value.size() && IsProfileSpace(value[lead]))
            ++lead;
        return std::string_view(value).substr(lead);
    };
    for (size_t first = 0, i = 0; i < edits.size(); ++i) {
        if (i + 1 < edits.size() && edits[i + 1].first == edits[i].first)
            continue;
        const Line& old = m_lines[edits[i].first];
        const std::string_view text = textOf(edits[i].second->value);
        // In turn, the line is written anew once any of its values differs from what it holds, and then
        // holds the last; when none differs it stays as it is.
        BOOL differs = FALSE;
        for (size_t j = first; j <= i; ++j)
            differs =
                differs || !old.hasValue ||
                std::string_view(m_bytes).substr(old.valueAt, old.valueLen) != textOf(edits[j].second->value);
        first = i + 1;
        if (!differs)
            continue;
        if (!changed)
            edited.reserve(m_bytes.size() + 64 * edits.size());
        changed = TRUE;
        edited.append(m_bytes, copied, old.begin - copied);
        // The entry keeps the name as the file spells it.
        edited.append(m_bytes, old.nameAt, old.nameLen).append(1, '=').append(text);
        copied = old.end;
    }
    if (!changed)
        return FALSE;
    edited.append(m_bytes, copied, std::string::npos);
    m_bytes.swap(edited);
    Parse();
    return TRUE;
}

BOOL CProfileDocument::DeleteKey(const char* section, const char* key)
{
    std::string sectionName = Arg(section);
    std::string keyName = Arg(key);
    for (const Section& s : m_sections) {
        if (!SameProfileName(s.name, sectionName) || (!s.named && !sectionName.empty()))
            continue;
        int line = FindEntryLine(s, keyName);
        if (line >= 0) {
            const Line& old = m_lines[static_cast<size_t>(line)];
            Splice(old.begin, old.next, "");
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CProfileDocument::DeleteSection(const char* section)
{
    // Only the first section of the name goes, as with Windows' own calls; a repeat stays until removed in
    // turn.
    int found = FindSectionIndex(ArgView(section));
    if (found < 0 || !m_sections[static_cast<size_t>(found)].named)
        return FALSE;
    const Section& s = m_sections[static_cast<size_t>(found)];
    size_t begin = m_lines[s.header].begin;
    size_t end = s.endLine < m_lines.size() ? m_lines[s.endLine].begin : m_bytes.size();
    Splice(begin, end, "");
    return TRUE;
}

} // namespace plat
