// The syntax of "prefs.js": user_pref lines, their strings and comments, and the lines the client writes.
#include "clients/MozillaPrefSyntax.h"

#include <climits>
#include <cstring>
#include <functional>

namespace {

const char kUserPref[] = "user_pref";
const size_t kUserPrefLength = sizeof(kUserPref) - 1;

} // namespace

namespace prefs {

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
    // Searched, not stepped through: every setting of a file of thousands has two strings.
    const char quote = line[pos];
    const char* data = line.data();
    for (size_t i = pos + 1; i < line.size();) {
        const void* found = std::memchr(data + i, quote, line.size() - i);
        const size_t end = found ? static_cast<size_t>(static_cast<const char*>(found) - data) : line.size();
        const void* escape = std::memchr(data + i, '\\', end - i);
        if (!escape)
            return found ? end : std::string_view::npos;
        // The escaped character, a quote or not, is part of the string.
        i = static_cast<size_t>(static_cast<const char*>(escape) - data) + 2;
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
    // Eight bytes at a time: a byte below 0x20, 0x7F or a backslash sets the high bit of its place in one of
    // the three tests (each a search for a zero byte; bytes of 0x80 and above never set it).
    const uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    size_t i = 0;
    for (; i + 8 <= inner.size(); i += 8) {
        uint64_t x;
        std::memcpy(&x, inner.data() + i, 8);
        const uint64_t control = (x - 0x20 * ones) & ~x;
        const uint64_t del = x ^ (0x7F * ones), slash = x ^ ('\\' * ones);
        if ((control | ((del - ones) & ~del) | ((slash - ones) & ~slash)) & highs)
            return FALSE;
    }
    for (; i < inner.size(); ++i) {
        if (inner[i] == '\\' || IsControl(inner[i]))
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

// Where the key of a setting written from pos starts, just after its opening quote; npos when the line
// does not go on there as user_pref ( " with blanks between.
size_t KeyStart(std::string_view line, size_t pos)
{
    // The client's own form first: tens of thousands of lines are looked at only this far.
    static const char kClientForm[] = "user_pref(\"";
    const size_t formLength = sizeof(kClientForm) - 1;
    if (line.size() - pos > formLength && std::memcmp(line.data() + pos, kClientForm, formLength) == 0)
        return pos + formLength;
    if (!StartsAt(line, pos, kUserPref))
        return std::string_view::npos;
    pos = SkipBlanks(line, pos + kUserPrefLength);
    if (pos >= line.size() || line[pos] != '(')
        return std::string_view::npos;
    pos = SkipBlanks(line, pos + 1);
    if (pos >= line.size() || line[pos] != '"')
        return std::string_view::npos;
    return pos + 1;
}

// TRUE when a key written as raw cannot read as one starting with prefix. An escape stands for one character
// in two bytes, so the written bytes tell only up to the first backslash.
BOOL CannotStartWith(std::string_view raw, const std::string& prefix)
{
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (i >= raw.size() || raw[i] == '\\')
            return i >= raw.size();
        if (raw[i] != prefix[i])
            return TRUE;
    }
    return FALSE;
}

size_t HashKey(std::string_view key)
{
    return std::hash<std::string_view>()(key);
}

BOOL ParseLine(std::string_view line, BOOL& inComment, PrefSetting& setting)
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

    const size_t keyStart = KeyStart(line, pos);
    if (keyStart == std::string_view::npos)
        return fail();
    pos = keyStart - 1;
    size_t keyEnd = FindStringEnd(line, pos);
    if (keyEnd == std::string_view::npos)
        return fail();
    const PrefSpan key = {pos + 1, keyEnd - pos - 1};
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
    const PrefSpan value = {valueStart, pos - valueStart};

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

std::string_view KeyOf(std::string_view line, const PrefSetting& setting)
{
    if (setting.hasEscapes)
        return setting.escapedKey;
    return line.substr(setting.key.at, setting.key.length);
}

std::string QuoteString(const std::string& text)
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

std::string FormatStringSetting(const std::string& key, const std::string& value)
{
    return "user_pref(" + QuoteString(key) + ", " + QuoteString(value) + ");";
}

std::string FormatIntegerSetting(const std::string& key, int value)
{
    return "user_pref(" + QuoteString(key) + ", " + std::to_string(value) + ");";
}

std::string FormatBooleanSetting(const std::string& key, BOOL value)
{
    return "user_pref(" + QuoteString(key) + ", " + (value ? "true" : "false") + ");";
}

BOOL IsWritableText(const std::string& text)
{
    for (char c : text) {
        if (IsControl(c))
            return FALSE;
    }
    return TRUE;
}

void SplitLines(const std::string& bytes, std::vector<std::string>& lines)
{
    std::vector<PrefSpan> spans;
    SplitSpans(bytes, spans);
    lines.clear();
    lines.reserve(spans.size());
    for (const PrefSpan& span : spans)
        lines.push_back(bytes.substr(span.at, span.length));
}

void SplitSpans(const std::string& bytes, std::vector<PrefSpan>& lines)
{
    lines.clear();
    lines.reserve(ExpectedLines(bytes));
    for (size_t start = 0; start < bytes.size();) {
        PrefSpan span;
        start = NextLine(bytes, start, span);
        lines.push_back(span);
    }
}

size_t ExpectedLines(const std::string& bytes)
{
    // Room for lines of a usual length at once: a profile of years has tens of thousands of them, and
    // counting them first cost a second pass over the bytes.
    return bytes.size() / 64 + 1;
}

size_t NextLine(const std::string& bytes, size_t start, PrefSpan& line)
{
    const char* base = bytes.data();
    const void* feed = std::memchr(base + start, '\n', bytes.size() - start);
    if (!feed) {
        line = {start, bytes.size() - start};
        return bytes.size();
    }
    const size_t end = static_cast<size_t>(static_cast<const char*>(feed) - base);
    line = {start, end - start};
    if (line.length > 0 && base[end - 1] == '\r')
        --line.length;
    return end + 1;
}

} // namespace prefs
