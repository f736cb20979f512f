// CMozillaPrefsFile: the lines of one Mozilla "prefs.js" and the user_pref settings that stand on them.
#include "clients/MozillaPrefsFile.h"

#include <climits>

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

size_t SkipBlanks(const std::string& line, size_t pos)
{
    while (pos < line.size() && IsBlank(line[pos]))
        ++pos;
    return pos;
}

BOOL StartsAt(const std::string& line, size_t pos, const char* text)
{
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if (pos + i >= line.size() || line[pos + i] != text[i])
            return FALSE;
    }
    return TRUE;
}

// Position of the quote that closes the string opened at pos, or npos when the line ends first.
size_t FindStringEnd(const std::string& line, size_t pos)
{
    char quote = line[pos];
    for (size_t i = pos + 1; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == quote)
            return i;
    }
    return std::string::npos;
}

// The text of a string literal without its quotes. Only the escapes that stand for one printable character
// are taken: any other one would need a conversion that could not be written back byte for byte.
BOOL DecodeString(const std::string& inner, std::string& text)
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

// Follows comments over a line that holds no setting, so that a setting inside a /* */ block is not taken.
void ScanComments(const std::string& line, size_t pos, BOOL& inComment)
{
    while (pos < line.size()) {
        char c = line[pos];
        if (c == '"' || c == '\'') {
            size_t end = FindStringEnd(line, pos);
            if (end == std::string::npos)
                return;
            pos = end + 1;
        } else if (c == '#' || StartsAt(line, pos, "//")) {
            return;
        } else if (StartsAt(line, pos, "/*")) {
            size_t close = line.find("*/", pos + 2);
            if (close == std::string::npos) {
                inComment = TRUE;
                return;
            }
            pos = close + 2;
        } else {
            ++pos;
        }
    }
}

} // namespace

BOOL CMozillaPrefsFile::ParseLine(const std::string& line, BOOL& inComment, Setting& setting)
{
    size_t pos = 0;
    for (;;) {
        if (inComment) {
            size_t close = line.find("*/", pos);
            if (close == std::string::npos)
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
    if (keyEnd == std::string::npos)
        return fail();
    std::string key;
    if (!DecodeString(line.substr(pos + 1, keyEnd - pos - 1), key))
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
        if (valueEnd == std::string::npos)
            return fail();
        pos = valueEnd + 1;
    } else {
        while (pos < line.size() && !IsBlank(line[pos]) && line[pos] != ')')
            ++pos;
        if (pos == valueStart)
            return fail();
    }
    std::string valueToken = line.substr(valueStart, pos - valueStart);

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

    setting.key.swap(key);
    setting.valueToken.swap(valueToken);
    return TRUE;
}

void CMozillaPrefsFile::Load(const std::string& bytes)
{
    m_bytes = bytes;
    m_lines.clear();
    m_settingOfLine.clear();
    m_settings.clear();
    m_lineOfKey.clear();
    SplitLines(bytes, m_lines);
    m_settingOfLine.assign(m_lines.size(), -1);
    m_commentAtStart.assign(m_lines.size(), 0);
    // A profile of years holds tens of thousands of settings: room for all of them at once, not grown step
    // by step.
    m_settings.reserve(m_lines.size());
    m_lineOfKey.reserve(m_lines.size());
    BOOL inComment = FALSE;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        Setting setting;
        m_commentAtStart[i] = inComment ? 1 : 0;
        if (!ParseLine(m_lines[i], inComment, setting))
            continue;
        m_settingOfLine[i] = static_cast<int>(m_settings.size());
        m_lineOfKey[std::move(setting.key)] = static_cast<int>(i);
        m_settings.push_back(std::move(setting));
    }
    m_endsInComment = inComment;
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
    return ParseLine(line, inComment, setting) && !inComment && setting.key == key;
}

void CMozillaPrefsFile::ApplyEdits(const std::vector<std::pair<int, std::string>>& edits, std::string bytes)
{
    for (const auto& edit : edits) {
        BOOL inComment = FALSE;
        Setting setting;
        const size_t index = static_cast<size_t>(edit.first);
        if (index < m_lines.size()) {
            inComment = m_commentAtStart[index];
            ParseLine(edit.second, inComment, setting);
            m_lines[index] = edit.second;
            m_settings[static_cast<size_t>(m_settingOfLine[index])].valueToken.swap(setting.valueToken);
        } else {
            ParseLine(edit.second, inComment, setting);
            m_lines.push_back(edit.second);
            m_commentAtStart.push_back(0);
            m_settingOfLine.push_back(static_cast<int>(m_settings.size()));
            m_lineOfKey[setting.key] = static_cast<int>(index);
            m_settings.push_back(std::move(setting));
        }
    }
    m_bytes.swap(bytes);
}

int CMozillaPrefsFile::FindSetting(const std::string& key) const
{
    auto found = m_lineOfKey.find(key);
    return found == m_lineOfKey.end() ? -1 : found->second;
}

BOOL CMozillaPrefsFile::GetString(int line, std::string& value) const
{
    if (line < 0 || line >= LineCount() || m_settingOfLine[static_cast<size_t>(line)] < 0)
        return FALSE;
    const std::string& token =
        m_settings[static_cast<size_t>(m_settingOfLine[static_cast<size_t>(line)])].valueToken;
    // Single quotes are valid script but not the client's own form; such a value is not taken.
    if (token.size() < 2 || token.front() != '"' || token.back() != '"')
        return FALSE;
    return DecodeString(token.substr(1, token.size() - 2), value);
}

BOOL CMozillaPrefsFile::GetInteger(int line, int& value) const
{
    if (line < 0 || line >= LineCount() || m_settingOfLine[static_cast<size_t>(line)] < 0)
        return FALSE;
    const std::string& token =
        m_settings[static_cast<size_t>(m_settingOfLine[static_cast<size_t>(line)])].valueToken;
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
            lines.push_back(bytes.substr(start));
            break;
        }
        size_t length = end - start;
        if (length > 0 && bytes[end - 1] == '\r')
            --length;
        lines.push_back(bytes.substr(start, length));
        start = end + 1;
    }
}
