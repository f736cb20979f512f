// CMozillaPrefsFile: the lines of one Mozilla "prefs.js" and the user_pref settings that stand on them.
#include "clients/MozillaPrefsFile.h"

#include "HashSlots.h"

#include <algorithm>
#include <climits>
#include <functional>

namespace {

const char kUserPref[] = "user_pref";
const size_t kUserPrefLength = sizeof(kUserPref) - 1;

BOOL IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

BOOL IsControl(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

size_t SkipBlanks(std::string_view line, size_t pos)
{
    while (pos < line.size() && IsBlank(line[pos]))
        ++pos;
    return pos;
}

BOOL StartsAt(std::string_view line, size_t pos, std::string_view text)
{
    return pos <= line.size() && line.substr(pos, text.size()) == text;
}

// Position of the quote that closes the string opened at pos, or npos when the line ends first.
size_t FindStringEnd(std::string_view line, size_t pos)
{
    char quote = line[pos];
    for (size_t i = pos + 1; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == quote)
            return i;
    }
    return std::string_view::npos;
}

// The text of a string literal without its quotes. Only the escapes that stand for one printable character
// are taken: any other one would need a conversion that could not be written back byte for byte.
BOOL DecodeString(std::string_view inner, std::string& text)
{
    std::string out;
    out.reserve(inner.size());
    for (size_t i = 0; i < inner.size(); ++i) {
        char c = inner[i];
        if (IsControl(c))
            return FALSE;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= inner.size())
            return FALSE;
        c = inner[i];
        if (c != '\\' && c != '"' && c != '\'' && c != '/')
            return FALSE;
        out += c;
    }
    text.swap(out);
    return TRUE;
}

// TRUE when a literal's text is itself, with no escape to decode and nothing that refuses it.
BOOL IsPlainText(std::string_view inner)
{
    for (char c : inner) {
        if (c == '\\' || IsControl(c))
            return FALSE;
    }
    return TRUE;
}

// Follows comments over a line that holds no setting, so that a setting inside a /* */ block is not taken.
void ScanComments(std::string_view line, size_t pos, BOOL& inComment)
{
    while (pos < line.size()) {
        char c = line[pos];
        if (c == '"' || c == '\'') {
            size_t end = FindStringEnd(line, pos);
            if (end == std::string_view::npos)
                return;
            pos = end + 1;
        } else if (c == '#' || StartsAt(line, pos, "//")) {
            return;
        } else if (StartsAt(line, pos, "/*")) {
            size_t close = line.find("*/", pos + 2);
            if (close == std::string_view::npos) {
                inComment = TRUE;
                return;
            }
            pos = close + 2;
        } else {
            ++pos;
        }
    }
}

size_t HashKey(std::string_view key)
{
    return std::hash<std::string_view>()(key);
}

} // namespace

BOOL CMozillaPrefsFile::ParseLine(std::string_view line, BOOL& inComment, Setting& setting)
{
    size_t pos = 0;
    for (;;) {
        if (inComment) {
            size_t close = line.find("*/", pos);
            if (close == std::string_view::npos)
                return FALSE;
            pos = close + 2;
            inComment = FALSE;
        }
        pos = SkipBlanks(line, pos);
        if (!StartsAt(line, pos, "/*"))
            break;
        inComment = TRUE;
        pos += 2;
    }
    const size_t start = pos;
    auto fail = [&]() -> BOOL {
        ScanComments(line, start, inComment);
        return FALSE;
    };

    if (!StartsAt(line, pos, kUserPref))
        return fail();
    pos = SkipBlanks(line, pos + kUserPrefLength);
    if (pos >= line.size() || line[pos] != '(')
        return fail();
    pos = SkipBlanks(line, pos + 1);
    if (pos >= line.size() || line[pos] != '"')
        return fail();
    size_t keyEnd = FindStringEnd(line, pos);
    if (keyEnd == std::string_view::npos)
        return fail();
    const Span key = {pos + 1, keyEnd - pos - 1};
    const std::string_view keyText = line.substr(key.at, key.length);
    std::string escapedKey;
    const BOOL hasEscapes = !IsPlainText(keyText);
    if (hasEscapes && !DecodeString(keyText, escapedKey))
        return fail();
    pos = SkipBlanks(line, keyEnd + 1);
    if (pos >= line.size() || line[pos] != ',')
        return fail();
    pos = SkipBlanks(line, pos + 1);
    if (pos >= line.size())
        return fail();

    size_t valueStart = pos;
    if (line[pos] == '"' || line[pos] == '\'') {
        size_t valueEnd = FindStringEnd(line, pos);
        if (valueEnd == std::string_view::npos)
            return fail();
        pos = valueEnd + 1;
    } else {
        while (pos < line.size() && !IsBlank(line[pos]) && line[pos] != ')')
            ++pos;
        if (pos == valueStart)
            return fail();
    }
    const Span value = {valueStart, pos - valueStart};

    pos = SkipBlanks(line, pos);
    if (pos >= line.size() || line[pos] != ')')
        return fail();
    pos = SkipBlanks(line, pos + 1);
    if (pos >= line.size() || line[pos] != ';')
        return fail();
    pos = SkipBlanks(line, pos + 1);
    // Only a line comment may follow; anything else makes the line more than one plain setting.
    if (pos < line.size() && !StartsAt(line, pos, "//"))
        return fail();

    setting.key = key;
    setting.escapedKey.swap(escapedKey);
    setting.hasEscapes = hasEscapes;
    setting.value = value;
    return TRUE;
}

std::string_view CMozillaPrefsFile::KeyOf(std::string_view line, const Setting& setting)
{
    if (setting.hasEscapes)
        return setting.escapedKey;
    return line.substr(setting.key.at, setting.key.length);
}

void CMozillaPrefsFile::Load(std::string bytes)
{
    m_bytes.swap(bytes);
    m_settingOfLine.clear();
    m_settings.clear();
    m_slots.clear();
    SplitSpans(m_bytes, m_lines);
    m_settingOfLine.assign(m_lines.size(), -1);
    m_commentAtStart.assign(m_lines.size(), 0);
    // A profile of years holds tens of thousands of settings: room for all of them at once, not grown step
    // by step.
    m_settings.reserve(m_lines.size());
    BOOL inComment = FALSE;
    Setting setting;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        m_commentAtStart[i] = inComment ? 1 : 0;
        if (!ParseLine(Line(static_cast<int>(i)), inComment, setting))
            continue;
        setting.line = static_cast<int>(i);
        m_settingOfLine[i] = static_cast<int>(m_settings.size());
        m_settings.push_back(std::move(setting));
        setting = Setting();
    }
    m_endsInComment = inComment;
    m_slots.assign(plat::SlotCountFor(m_settings.size()), -1);
    for (size_t k = 0; k < m_settings.size(); ++k)
        IndexSetting(static_cast<int>(k));
}

std::string_view CMozillaPrefsFile::Line(int index) const
{
    if (index < 0 || index >= LineCount())
        return std::string_view();
    const Span& span = m_lines[static_cast<size_t>(index)];
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

const CMozillaPrefsFile::Setting* CMozillaPrefsFile::SettingOn(int line) const
{
    if (line < 0 || line >= LineCount() || m_settingOfLine[static_cast<size_t>(line)] < 0)
        return nullptr;
    return &m_settings[static_cast<size_t>(m_settingOfLine[static_cast<size_t>(line)])];
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
        inComment = m_commentAtStart[static_cast<size_t>(index)];
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
    m_lines.swap(lines);
    // Replaced lines first: a setting's places are within its line, so every replaced one must be parsed
    // again before an added line can make the index grow and read the keys of all.
    for (const auto& edit : edits) {
        const size_t index = static_cast<size_t>(edit.first);
        if (index >= keptLines)
            continue;
        BOOL inComment = m_commentAtStart[index];
        Setting setting;
        ParseLine(edit.second, inComment, setting);
        Setting& kept = m_settings[static_cast<size_t>(m_settingOfLine[index])];
        // The key is the same (EditStands), so its place in the index stays.
        setting.line = kept.line;
        setting.hash = kept.hash;
        kept = std::move(setting);
    }
    for (const auto& edit : edits) {
        const size_t index = static_cast<size_t>(edit.first);
        if (index < keptLines)
            continue;
        BOOL inComment = FALSE;
        Setting setting;
        ParseLine(edit.second, inComment, setting);
        setting.line = static_cast<int>(index);
        m_commentAtStart.push_back(0);
        m_settingOfLine.push_back(static_cast<int>(m_settings.size()));
        m_settings.push_back(std::move(setting));
        IndexSetting(static_cast<int>(m_settings.size()) - 1);
    }
}

int CMozillaPrefsFile::FindSetting(const std::string& key) const
{
    if (m_slots.empty())
        return -1;
    const size_t hash = HashKey(key);
    const int held = plat::FindSlot(m_slots, hash, [&](int index) {
        const Setting& setting = m_settings[static_cast<size_t>(index)];
        return setting.hash == hash && KeyOf(Line(setting.line), setting) == key;
    });
    return held < 0 ? -1 : m_settings[static_cast<size_t>(held)].line;
}

BOOL CMozillaPrefsFile::GetString(int line, std::string& value) const
{
    const Setting* setting = SettingOn(line);
    if (!setting)
        return FALSE;
    const std::string_view token = Line(line).substr(setting->value.at, setting->value.length);
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
    const Setting* setting = SettingOn(line);
    if (!setting)
        return FALSE;
    const std::string_view token = Line(line).substr(setting->value.at, setting->value.length);
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

std::string CMozillaPrefsFile::QuoteString(const std::string& text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string CMozillaPrefsFile::FormatStringSetting(const std::string& key, const std::string& value)
{
    return "user_pref(" + QuoteString(key) + ", " + QuoteString(value) + ");";
}

std::string CMozillaPrefsFile::FormatIntegerSetting(const std::string& key, int value)
{
    return "user_pref(" + QuoteString(key) + ", " + std::to_string(value) + ");";
}

BOOL CMozillaPrefsFile::IsWritableText(const std::string& text)
{
    for (char c : text) {
        if (IsControl(c))
            return FALSE;
    }
    return TRUE;
}

void CMozillaPrefsFile::SplitLines(const std::string& bytes, std::vector<std::string>& lines)
{
    std::vector<Span> spans;
    SplitSpans(bytes, spans);
    lines.clear();
    lines.reserve(spans.size());
    for (const Span& span : spans)
        lines.push_back(bytes.substr(span.at, span.length));
}

void CMozillaPrefsFile::SplitSpans(const std::string& bytes, std::vector<Span>& lines)
{
    lines.clear();
    // One allocation for the whole list: a profile of years has tens of thousands of lines.
    size_t count = 1;
    for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
        ++count;
    lines.reserve(count);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back({start, bytes.size() - start});
            break;
        }
        size_t length = end - start;
        if (length > 0 && bytes[end - 1] == '\r')
            --length;
        lines.push_back({start, length});
        start = end + 1;
    }
}
