// COeAccountFile: the encodings of "*.oeaccount" files, and edits that touch only the setting they concern.
#include "clients/OeAccountFile.h"

#include "clients/Utf16Text.h"
#include "clients/XmlText.h"
#include "core/TextUtil.h"

#include <cstdio>

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LeMark[] = "\xFF\xFE";
const char* const kTypeNames[] = {"SZ", "DWORD", "BINARY"};

bool StartsWith(const std::string& bytes, const char* prefix, size_t length)
{
    return bytes.compare(0, length, prefix, length) == 0;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The line end of the line that holds position at, or an empty text when that line is the last.
std::string LineEndAfter(const std::string& text, size_t at, size_t& next)
{
    next = text.find('\n', at);
    if (next == std::string::npos)
        return std::string();
    const bool crlf = next > 0 && text[next - 1] == '\r';
    ++next;
    return crlf ? "\r\n" : "\n";
}

size_t LineStart(const std::string& text, size_t at)
{
    const size_t newline = at == 0 ? std::string::npos : text.rfind('\n', at - 1);
    return newline == std::string::npos ? 0 : newline + 1;
}

} // namespace

BOOL COeAccountFile::Parse(const std::string& bytes)
{
    m_parsed = false;
    m_text.clear();
    m_layout = OeXmlLayout();
    Encoding encoding = ENCODING_UTF8;
    std::string text;
    // The UTF-32 marks begin like the UTF-16 ones; they are refused first.
    if (StartsWith(bytes, "\xFF\xFE\0\0", 4) || StartsWith(bytes, "\0\0\xFE\xFF", 4) ||
        StartsWith(bytes, "\xFE\xFF", 2))
        return FALSE;
    if (StartsWith(bytes, kUtf16LeMark, 2)) {
        encoding = ENCODING_UTF16LE_BOM;
        if (!AppendUtf8FromUtf16Le(std::string_view(bytes).substr(2), text))
            return FALSE;
    } else if (StartsWith(bytes, kUtf8Mark, 3)) {
        encoding = ENCODING_UTF8_BOM;
        text.assign(bytes, 3, std::string::npos);
    } else {
        text = bytes;
    }
    // UTF-16 without a mark shows as NUL bytes, which the scan refuses.
    OeXmlLayout layout;
    if (!ScanOeAccountXml(text, layout))
        return FALSE;
    if (!layout.encoding.empty()) {
        const std::string declared = ToLowerAscii(layout.encoding);
        const bool matches = encoding == ENCODING_UTF16LE_BOM ? declared == "utf-16" || declared == "utf-16le"
                                                              : declared == "utf-8";
        if (!matches)
            return FALSE;
    }
    m_encoding = encoding;
    m_text.swap(text);
    m_layout = std::move(layout);
    m_parsed = true;
    return TRUE;
}

std::string COeAccountFile::Serialize() const
{
    if (!m_parsed)
        return std::string();
    if (m_encoding == ENCODING_UTF8)
        return m_text;
    if (m_encoding == ENCODING_UTF8_BOM)
        return kUtf8Mark + m_text;
    std::string bytes = kUtf16LeMark;
    // The text scanned as UTF-8, so it converts.
    AppendUtf16LeFromUtf8(m_text, bytes);
    return bytes;
}

const OeXmlSetting* COeAccountFile::Find(const std::string& name) const
{
    for (const OeXmlSetting& setting : m_layout.settings) {
        if (setting.name == name)
            return &setting;
    }
    return nullptr;
}

BOOL COeAccountFile::HasSetting(const std::string& name) const
{
    return Find(name) != nullptr;
}

BOOL COeAccountFile::GetText(const std::string& name, std::string& text) const
{
    const OeXmlSetting* setting = Find(name);
    if (!setting || setting->type != OE_TYPE_SZ)
        return FALSE;
    text = setting->value;
    return TRUE;
}

BOOL COeAccountFile::GetDword(const std::string& name, DWORD& value) const
{
    const OeXmlSetting* setting = Find(name);
    if (!setting || setting->type != OE_TYPE_DWORD)
        return FALSE;
    // The scan let through eight hex digits only.
    DWORD number = 0;
    for (char c : setting->value)
        number = number << 4 | static_cast<DWORD>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    value = number;
    return TRUE;
}

BOOL COeAccountFile::SetText(const std::string& name, const std::string& text)
{
    std::string escaped;
    if (!AppendXmlEscaped(text, escaped))
        return FALSE;
    return SetValue(name, OE_TYPE_SZ, escaped);
}

BOOL COeAccountFile::SetDword(const std::string& name, DWORD value)
{
    char digits[9];
    std::snprintf(digits, sizeof(digits), "%08lx", static_cast<unsigned long>(value));
    return SetValue(name, OE_TYPE_DWORD, digits);
}

BOOL COeAccountFile::SetValue(const std::string& name, int type, const std::string& escaped)
{
    if (!m_parsed)
        return FALSE;
    std::string text = m_text;
    const OeXmlSetting* setting = Find(name);
    if (setting) {
        if (setting->type != type)
            return FALSE;
        if (setting->selfClosing) {
            // "<Name type="SZ"/>" gets a text: the start tag keeps its bytes but for the "/".
            const size_t tagLength = setting->end - 2 - setting->start;
            text.replace(setting->start, setting->end - setting->start,
                         m_text.substr(setting->start, tagLength) + ">" + escaped + "</" + name + ">");
        } else {
            text.replace(setting->textStart, setting->textEnd - setting->textStart, escaped);
        }
        return Commit(std::move(text));
    }
    if (!IsXmlName(name))
        return FALSE;
    size_t insertAt = 0;
    std::string before, indent, after;
    NewLineLayout(insertAt, before, indent, after);
    const std::string element =
        "<" + name + " type=\"" + kTypeNames[type] + "\">" + escaped + "</" + name + ">";
    text.insert(insertAt, before + indent + element + after);
    return Commit(std::move(text));
}

// Where a new setting's line goes and how it looks: behind the last setting's line, as that line is
// indented and ended; in a file without settings, a tab and the file's first line end. Where the closing tag
// shares the line, the new line starts before the element and ends at the tag, so that removing the setting
// again gives the file back.
void COeAccountFile::NewLineLayout(size_t& insertAt, std::string& before, std::string& indent,
                                   std::string& after) const
{
    const size_t closeTag = m_layout.closeTag;
    size_t next = 0;
    std::string fileLineEnd = LineEndAfter(m_text, 0, next);
    if (fileLineEnd.empty())
        fileLineEnd = "\r\n";
    before.clear();
    after.clear();
    indent = "\t";
    size_t lineStart = LineStart(m_text, closeTag);
    bool ownLine = lineStart > 0;
    for (size_t i = lineStart; i < closeTag; ++i)
        ownLine = ownLine && IsBlank(m_text[i]);
    insertAt = lineStart;
    after = fileLineEnd;
    if (!m_layout.settings.empty()) {
        const OeXmlSetting& last = m_layout.settings.back();
        lineStart = LineStart(m_text, last.start);
        size_t indentEnd = lineStart;
        while (indentEnd < m_text.size() && IsBlank(m_text[indentEnd]))
            ++indentEnd;
        indent = m_text.substr(lineStart, indentEnd - lineStart);
        after = LineEndAfter(m_text, last.end, next);
        ownLine = !after.empty() && next <= closeTag;
        // Only blanks may follow it on its line: a line end inside a comment is no place for a setting.
        for (size_t i = last.end; ownLine && i < next - after.size(); ++i)
            ownLine = IsBlank(m_text[i]);
        insertAt = next;
    }
    if (!ownLine) {
        before = fileLineEnd;
        after.clear();
        insertAt = closeTag;
    }
}

BOOL COeAccountFile::RemoveSetting(const std::string& name)
{
    if (!m_parsed)
        return FALSE;
    const OeXmlSetting* setting = Find(name);
    if (!setting)
        return TRUE;
    const size_t lineStart = LineStart(m_text, setting->start);
    bool alone = true;
    for (size_t i = lineStart; i < setting->start; ++i)
        alone = alone && IsBlank(m_text[i]);
    size_t from = setting->start;
    size_t to = setting->end;
    size_t lineEnd = to;
    while (lineEnd < m_text.size() && IsBlank(m_text[lineEnd]))
        ++lineEnd;
    if (alone && m_text.compare(lineEnd, 1, "\n") == 0) {
        from = lineStart;
        to = lineEnd + 1;
    } else if (alone && m_text.compare(lineEnd, 2, "\r\n") == 0) {
        from = lineStart;
        to = lineEnd + 2;
    } else if (alone && lineStart > 0 && lineEnd == m_layout.closeTag) {
        // A line that ends at the closing tag: its line end stands before it.
        from = lineStart - 1;
        if (from > 0 && m_text[from - 1] == '\r')
            --from;
    }
    std::string text = m_text;
    text.erase(from, to - from);
    return Commit(std::move(text));
}

BOOL COeAccountFile::Commit(std::string text)
{
    OeXmlLayout layout;
    if (!ScanOeAccountXml(text, layout))
        return FALSE;
    m_text.swap(text);
    m_layout = std::move(layout);
    return TRUE;
}
