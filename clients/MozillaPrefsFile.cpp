// CMozillaPrefsFile: the lines of one Mozilla "prefs.js" and the user_pref settings that stand on them.
#include "clients/MozillaPrefsFile.h"

#include "clients/MozillaPrefSyntax.h"

#include "HashSlots.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>

using namespace prefs;

void CMozillaPrefsFile::Load(std::string bytes)
{
    m_bytes.swap(bytes);
    m_lines.clear();
    m_settings.clear();
    m_slots.clear();
    m_notParsed = 0;
    m_lines.reserve(ExpectedLines(m_bytes));
    // Room for as many settings as lines: grown step by step, each step moved every one of them.
    m_settings.reserve(ExpectedLines(m_bytes));
    BOOL inComment = FALSE;
    Setting setting;
    // Only a line with a '*' in it can open or close a comment; where the next one stands tells which lines
    // have one without looking at each. Each line is taken as it is found, while its bytes are at hand.
    size_t star = m_bytes.find('*');
    for (size_t start = 0; start < m_bytes.size();) {
        LineEntry entry;
        start = NextLine(m_bytes, start, entry.text);
        if (star < entry.text.at)
            star = m_bytes.find('*', entry.text.at);
        ClassifyLine(entry, LineCount(), star < entry.text.at + entry.text.length, inComment, setting);
        m_lines.push_back(entry);
    }
    m_endsInComment = inComment;
    m_slots.assign(plat::SlotCountFor(m_settings.size()), -1);
    for (size_t k = 0; k < m_settings.size(); ++k)
        IndexSetting(static_cast<int>(k));
}

void CMozillaPrefsFile::ClassifyLine(LineEntry& entry, int index, BOOL hasStar, BOOL& inComment,
                                     Setting& setting)
{
    const std::string_view line = std::string_view(m_bytes).substr(entry.text.at, entry.text.length);
    if (!hasStar) {
        // Without a comment mark the line neither opens nor closes a comment, and reads the same on its own.
        if (inComment)
            return;
        // Exact for a line with no comment mark: nothing before the call can hide it.
        const size_t key = KeyStart(line, SkipBlanks(line, 0));
        if (key == std::string_view::npos)
            return;
        if (CannotStartWith(line.substr(key), m_indexedPrefix)) {
            entry.setting = kNotParsed;
            ++m_notParsed;
            return;
        }
    }
    const BOOL commentAtStart = inComment;
    if (!ParseLine(line, inComment, setting))
        return;
    setting.line = index;
    setting.commentAtStart = commentAtStart;
    entry.setting = static_cast<int>(m_settings.size());
    // Every field of setting is set again by the next parse that succeeds.
    m_settings.push_back(std::move(setting));
}

std::string_view CMozillaPrefsFile::Line(int index) const
{
    if (index < 0 || index >= LineCount())
        return std::string_view();
    const Span& span = m_lines[static_cast<size_t>(index)].text;
    return std::string_view(m_bytes).substr(span.at, span.length);
}

std::vector<std::string> CMozillaPrefsFile::Lines() const
{
    std::vector<std::string> lines;
    lines.reserve(m_lines.size());
    for (int i = 0; i < LineCount(); ++i)
        lines.emplace_back(Line(i));
    return lines;
}

const CMozillaPrefsFile::Setting* CMozillaPrefsFile::SettingOn(int line, Setting& scratch) const
{
    if (line < 0 || line >= LineCount())
        return nullptr;
    const int held = m_lines[static_cast<size_t>(line)].setting;
    if (held >= 0)
        return &m_settings[static_cast<size_t>(held)];
    if (held != kNotParsed)
        return nullptr;
    BOOL inComment = FALSE;
    return ParseLine(Line(line), inComment, scratch) ? &scratch : nullptr;
}

int CMozillaPrefsFile::FindNotParsed(const std::string& key, int after) const
{
    // A line left unparsed cannot hold a key that starts with the indexed prefix.
    if (m_notParsed == 0 || key.compare(0, m_indexedPrefix.size(), m_indexedPrefix) == 0)
        return -1;
    Setting setting;
    for (int i = LineCount() - 1; i > after; --i) {
        if (m_lines[static_cast<size_t>(i)].setting != kNotParsed)
            continue;
        BOOL inComment = FALSE;
        const std::string_view line = Line(i);
        if (ParseLine(line, inComment, setting) && KeyOf(line, setting) == key)
            return i;
    }
    return -1;
}

void CMozillaPrefsFile::IndexSetting(int index)
{
    Setting& setting = m_settings[static_cast<size_t>(index)];
    const std::string_view key = KeyOf(Line(setting.line), setting);
    setting.hash = HashKey(key);
    // Kept at most half full, so that a search ends at a free slot after a step or two.
    if (2 * m_settings.size() > m_slots.size()) {
        m_slots.assign(std::max<size_t>(16, 2 * m_slots.size()), -1);
        for (int k = 0; k < index; ++k)
            IndexSetting(k);
    }
    int& held = plat::FindSlot(m_slots, setting.hash, [&](int other) {
        const Setting& found = m_settings[static_cast<size_t>(other)];
        return found.hash == setting.hash && KeyOf(Line(found.line), found) == key;
    });
    // The client keeps the later of two lines for one key.
    if (held < 0 || m_settings[static_cast<size_t>(held)].line < setting.line)
        held = index;
}

BOOL CMozillaPrefsFile::EditStands(int index, const std::string& line, const std::string& key) const
{
    if (index < 0)
        return FALSE;
    BOOL inComment = FALSE;
    if (index < LineCount()) {
        // Only the line that counts for key may be replaced by another line for key.
        if (FindSetting(key) != index)
            return FALSE;
        // Only a setting's line is found for a key, and an unparsed one stands outside any comment.
        const int held = m_lines[static_cast<size_t>(index)].setting;
        inComment = held >= 0 && m_settings[static_cast<size_t>(held)].commentAtStart;
    } else if (m_endsInComment) {
        return FALSE;
    }
    Setting setting;
    return ParseLine(line, inComment, setting) && !inComment && KeyOf(line, setting) == key;
}

void CMozillaPrefsFile::ApplyEdits(const std::vector<std::pair<int, std::string>>& edits, std::string bytes)
{
    // The new bytes hold every line as it was or as edited, each ended by CR+LF: the places of the lines are
    // found again, and only the edited lines are parsed.
    std::vector<Span> lines;
    SplitSpans(bytes, lines);
    size_t appended = 0;
    for (const auto& edit : edits)
        appended += static_cast<size_t>(edit.first) >= m_lines.size() ? 1 : 0;
    if (lines.size() != m_lines.size() + appended) {
        Load(std::move(bytes));
        return;
    }
    const size_t keptLines = m_lines.size();
    m_bytes.swap(bytes);
    m_lines.resize(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        m_lines[i].text = lines[i];
    // Replaced lines first: a setting's places are within its line, so every replaced one must be parsed
    // again before a line newly indexed can make the index grow and read the keys of all.
    std::vector<size_t> newlyIndexed;
    for (const auto& edit : edits) {
        const size_t index = static_cast<size_t>(edit.first);
        if (index >= keptLines)
            continue;
        if (m_lines[index].setting < 0) {
            // A line left unparsed at load: its key (EditStands) is indexed from now on.
            if (m_lines[index].setting == kNotParsed)
                --m_notParsed;
            newlyIndexed.push_back(index);
            continue;
        }
        Setting& kept = m_settings[static_cast<size_t>(m_lines[index].setting)];
        BOOL inComment = kept.commentAtStart;
        Setting setting;
        ParseLine(edit.second, inComment, setting);
        // The key is the same (EditStands), so its place in the index stays.
        setting.line = kept.line;
        setting.hash = kept.hash;
        setting.commentAtStart = kept.commentAtStart;
        kept = std::move(setting);
    }
    for (const auto& edit : edits) {
        if (static_cast<size_t>(edit.first) >= keptLines)
            newlyIndexed.push_back(static_cast<size_t>(edit.first));
    }
    for (size_t index : newlyIndexed) {
        // An unparsed line stands outside any comment, and so does an added one (EditStands).
        BOOL inComment = FALSE;
        Setting setting;
        ParseLine(Line(static_cast<int>(index)), inComment, setting);
        setting.line = static_cast<int>(index);
        m_lines[index].setting = static_cast<int>(m_settings.size());
        m_settings.push_back(std::move(setting));
        IndexSetting(static_cast<int>(m_settings.size()) - 1);
    }
}

int CMozillaPrefsFile::FindSetting(const std::string& key) const
{
    int found = -1;
    if (!m_slots.empty()) {
        const size_t hash = HashKey(key);
        const int held = plat::FindSlot(m_slots, hash, [&](int index) {
            const Setting& setting = m_settings[static_cast<size_t>(index)];
            return setting.hash == hash && KeyOf(Line(setting.line), setting) == key;
        });
        found = held < 0 ? -1 : m_settings[static_cast<size_t>(held)].line;
    }
    const int later = FindNotParsed(key, found);
    return later >= 0 ? later : found;
}

BOOL CMozillaPrefsFile::ValueToken(int line, std::string_view& token) const
{
    Setting scratch;
    const Setting* setting = SettingOn(line, scratch);
    if (!setting)
        return FALSE;
    token = Line(line).substr(setting->value.at, setting->value.length);
    return TRUE;
}

BOOL CMozillaPrefsFile::GetString(int line, std::string& value) const
{
    std::string_view token;
    if (!ValueToken(line, token))
        return FALSE;
    // Single quotes are valid script but not the client's own form; such a value is not taken.
    if (token.size() < 2 || token.front() != '"' || token.back() != '"')
        return FALSE;
    const std::string_view inner = token.substr(1, token.size() - 2);
    if (IsPlainText(inner)) {
        value.assign(inner.data(), inner.size());
        return TRUE;
    }
    return DecodeString(inner, value);
}

BOOL CMozillaPrefsFile::GetInteger(int line, int& value) const
{
    std::string_view token;
    if (!ValueToken(line, token))
        return FALSE;
    size_t pos = 0;
    BOOL negative = FALSE;
    if (pos < token.size() && (token[pos] == '-' || token[pos] == '+'))
        negative = token[pos++] == '-';
    if (pos >= token.size())
        return FALSE;
    long long number = 0;
    for (; pos < token.size(); ++pos) {
        if (token[pos] < '0' || token[pos] > '9')
            return FALSE;
        number = number * 10 + (token[pos] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            return FALSE;
    }
    if (negative)
        number = -number;
    if (number > INT_MAX || number < INT_MIN)
        return FALSE;
    value = static_cast<int>(number);
    return TRUE;
}

BOOL CMozillaPrefsFile::GetBoolean(int line, BOOL& value) const
{
    std::string_view token;
    if (!ValueToken(line, token))
        return FALSE;
    if (token != "true" && token != "false")
        return FALSE;
    value = token == "true" ? TRUE : FALSE;
    return TRUE;
}
