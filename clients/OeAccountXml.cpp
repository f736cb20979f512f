// A scanner for the small XML subset of "*.oeaccount" files: strict, since a file it misreads would be
// written back wrong.
#include "clients/OeAccountXml.h"

#include "clients/Utf16Text.h"
#include "clients/XmlText.h"

namespace {

const char kRoot[] = "MessageAccount";

bool IsHexText(const std::string& text)
{
    for (char c : text) {
        if (XmlHexDigit(c) < 0)
            return false;
    }
    return true;
}

class CScanner
{
public:
    explicit CScanner(std::string_view text) : m_text(text) {}
    BOOL Run(OeXmlLayout& layout);

private:
    bool StartsWith(std::string_view prefix) const { return m_text.substr(m_pos, prefix.size()) == prefix; }
    bool SkipSpace();
    BOOL SkipMisc();
    BOOL ReadName(std::string& name);
    BOOL ReadReference(std::string& out);
    BOOL ReadAttributes(std::string_view terminator, bool& selfClosing, std::string& type, bool& hasType,
                        std::string& encoding);
    BOOL ReadSetting(OeXmlSetting& setting);

    std::string_view m_text;
    size_t m_pos = 0;
};

bool CScanner::SkipSpace()
{
    const size_t from = m_pos;
    while (m_pos < m_text.size() && IsXmlSpace(m_text[m_pos]))
        ++m_pos;
    return m_pos > from;
}

// White space and comments, which may stand around and between the elements.
BOOL CScanner::SkipMisc()
{
    for (;;) {
        SkipSpace();
        if (!StartsWith("<!--"))
            return TRUE;
        const size_t close = m_text.find("--", m_pos + 4);
        if (close == std::string_view::npos || m_text.substr(close, 3) != "-->")
            return FALSE;
        m_pos = close + 3;
    }
}

BOOL CScanner::ReadName(std::string& name)
{
    const size_t from = m_pos;
    if (m_pos >= m_text.size() || !IsXmlNameStart(m_text[m_pos]))
        return FALSE;
    while (m_pos < m_text.size() && IsXmlNameChar(m_text[m_pos]))
        ++m_pos;
    name.assign(m_text.data() + from, m_pos - from);
    return TRUE;
}

BOOL CScanner::ReadReference(std::string& out)
{
    const size_t semicolon = m_text.find(';', m_pos);
    if (semicolon == std::string_view::npos || semicolon - m_pos > 12)
        return FALSE;
    const std::string_view body = m_text.substr(m_pos + 1, semicolon - m_pos - 1);
    m_pos = semicolon + 1;
    return DecodeXmlReference(body, out);
}

// The attributes of a start tag or of the declaration, up to its terminator; only "type" (of a setting) and
// "encoding" (of the declaration) are kept.
BOOL CScanner::ReadAttributes(std::string_view terminator, bool& selfClosing, std::string& type,
                              bool& hasType, std::string& encoding)
{
    std::vector<std::string> seen;
    selfClosing = false;
    hasType = false;
    for (;;) {
        const bool spaced = SkipSpace();
        if (terminator == ">" && StartsWith("/>")) {
            m_pos += 2;
            selfClosing = true;
            return TRUE;
        }
        if (StartsWith(terminator)) {
            m_pos += terminator.size();
            return TRUE;
        }
        std::string name;
        if (!spaced || !ReadName(name))
            return FALSE;
        for (const std::string& earlier : seen) {
            if (earlier == name)
                return FALSE;
        }
        seen.push_back(name);
        SkipSpace();
        if (!StartsWith("="))
            return FALSE;
        ++m_pos;
        SkipSpace();
        if (m_pos >= m_text.size() || (m_text[m_pos] != '"' && m_text[m_pos] != '\''))
            return FALSE;
        const char quote = m_text[m_pos++];
        std::string value;
        for (;;) {
            if (m_pos >= m_text.size() || m_text[m_pos] == '<')
                return FALSE;
            const char c = m_text[m_pos];
            if (c == quote) {
                ++m_pos;
                break;
            }
            if (c == '&') {
                if (!ReadReference(value))
                    return FALSE;
                continue;
            }
            value += IsXmlSpace(c) ? ' ' : c;
            ++m_pos;
        }
        if (name == "type") {
            type = value;
            hasType = true;
        } else if (name == "encoding") {
            encoding = value;
        }
    }
}

BOOL CScanner::ReadSetting(OeXmlSetting& setting)
{
    setting.start = m_pos++;
    std::string typeText, ignored;
    bool hasType = false;
    if (!ReadName(setting.name) || !ReadAttributes(">", setting.selfClosing, typeText, hasType, ignored))
        return FALSE;
    if (!hasType)
        return FALSE;
    if (typeText == "SZ")
        setting.type = OE_TYPE_SZ;
    else if (typeText == "DWORD")
        setting.type = OE_TYPE_DWORD;
    else if (typeText == "BINARY")
        setting.type = OE_TYPE_BINARY;
    else
        return FALSE;
    setting.textStart = setting.textEnd = m_pos;
    if (!setting.selfClosing) {
        while (m_pos < m_text.size() && m_text[m_pos] != '<') {
            const char c = m_text[m_pos];
            if (c == '&') {
                if (!ReadReference(setting.value))
                    return FALSE;
                continue;
            }
            if (StartsWith("]]>"))
                return FALSE;
            // XML reads a CR LF pair, and a CR alone, as one LF.
            if (c == '\r' && StartsWith("\r\n"))
                ++m_pos;
            setting.value += c == '\r' ? '\n' : c;
            ++m_pos;
        }
        setting.textEnd = m_pos;
        std::string closing;
        if (!StartsWith("</"))
            return FALSE; // the end of the text, or an element inside the setting
        m_pos += 2;
        if (!ReadName(closing) || closing != setting.name)
            return FALSE;
        SkipSpace();
        if (!StartsWith(">"))
            return FALSE;
        ++m_pos;
    }
    setting.end = m_pos;
    if (setting.type == OE_TYPE_DWORD)
        return setting.value.size() == 8 && IsHexText(setting.value);
    if (setting.type == OE_TYPE_BINARY)
        return setting.value.size() % 2 == 0 && IsHexText(setting.value);
    return TRUE;
}

BOOL CScanner::Run(OeXmlLayout& layout)
{
    size_t at = 0;
    unsigned long c = 0;
    while (at < m_text.size()) {
        if (!NextUtf8CodePoint(m_text, at, c) || !IsXmlChar(c))
            return FALSE;
    }
    std::string ignoredType, ignoredEncoding;
    bool selfClosing = false, hasType = false;
    if (StartsWith("<?xml") && m_text.size() > 5 && IsXmlSpace(m_text[5])) {
        m_pos = 5;
        if (!ReadAttributes("?>", selfClosing, ignoredType, hasType, layout.encoding))
            return FALSE;
    }
    std::string name;
    if (!SkipMisc() || !StartsWith("<"))
        return FALSE;
    ++m_pos;
    if (!ReadName(name) || name != kRoot ||
        !ReadAttributes(">", selfClosing, ignoredType, hasType, ignoredEncoding) || selfClosing)
        return FALSE;
    for (;;) {
        if (!SkipMisc())
            return FALSE;
        if (StartsWith("</")) {
            layout.closeTag = m_pos;
            m_pos += 2;
            if (!ReadName(name) || name != kRoot)
                return FALSE;
            SkipSpace();
            if (!StartsWith(">"))
                return FALSE;
            ++m_pos;
            break;
        }
        if (!StartsWith("<") || m_pos + 1 >= m_text.size() || !IsXmlNameStart(m_text[m_pos + 1]))
            return FALSE;
        OeXmlSetting setting;
        if (!ReadSetting(setting))
            return FALSE;
        for (const OeXmlSetting& earlier : layout.settings) {
            if (earlier.name == setting.name)
                return FALSE;
        }
        layout.settings.push_back(std::move(setting));
    }
    return SkipMisc() && m_pos == m_text.size();
}

} // namespace

BOOL ScanOeAccountXml(std::string_view text, OeXmlLayout& layout)
{
    OeXmlLayout scanned;
    CScanner scanner(text);
    if (!scanner.Run(scanned))
        return FALSE;
    layout = std::move(scanned);
    return TRUE;
}
