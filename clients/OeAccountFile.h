// COeAccountFile: one Windows Live Mail / Windows Mail "*.oeaccount" file, parsed from bytes, edited setting
// by setting, and turned back into bytes with everything that was not edited left byte for byte.
#pragma once

#include "PlatTypes.h"
#include "clients/OeAccountXml.h"

#include <string>
#include <vector>

class COeAccountFile
{
public:
    // Takes a whole file: UTF-16LE with its byte-order mark (as the clients write it), or UTF-8 with or
    // without one; a declared encoding must name the one found ("utf-16" or "utf-16le", "utf-8", any case).
    // FALSE, with nothing kept, for any other encoding (UTF-16BE, UTF-32, UTF-16 without a mark), invalid
    // sequences, and XML that ScanOeAccountXml refuses (OeAccountXml.h). Every call below fails until a
    // Parse succeeds.
    BOOL Parse(const std::string& bytes);
    // The file's bytes, in the encoding and with the mark it was read with. Without edits, the bytes parsed.
    std::string Serialize() const;

    BOOL HasSetting(const std::string& name) const;
    // The text of an "SZ" setting (references decoded, line ends as "\n"). FALSE when it is missing or has
    // another type.
    BOOL GetText(const std::string& name, std::string& text) const;
    // The number of a "DWORD" setting. FALSE when it is missing or has another type.
    BOOL GetDword(const std::string& name, DWORD& value) const;

    // Replaces the text of an "SZ" setting and nothing else, escaped so that it reads back exactly. A
    // missing setting is added as a line of its own behind the last setting, with that line's indentation
    // and line end. FALSE, the file unchanged, when the setting has another type, the name is no XML name,
    // or the text is not UTF-8 or holds a character XML cannot carry (NUL and other controls but tab, CR,
    // LF).
    BOOL SetText(const std::string& name, const std::string& text);
    // The same for a "DWORD" setting, written as eight lower-case hex digits.
    BOOL SetDword(const std::string& name, DWORD value);
    // Takes a setting out: its whole line when it stands alone on one, otherwise only its element. TRUE when
    // the setting is absent afterwards, also when it was never there. A setting added and removed again
    // leaves the bytes as they were, unless the file ends its lines with a CR alone.
    BOOL RemoveSetting(const std::string& name);

    // The settings in file order, with offsets into Text().
    const std::vector<OeXmlSetting>& Settings() const { return m_layout.settings; }
    // The file's text in UTF-8, without the mark.
    const std::string& Text() const { return m_text; }

private:
    enum Encoding
    {
        ENCODING_UTF8,
        ENCODING_UTF8_BOM,
        ENCODING_UTF16LE_BOM
    };

    const OeXmlSetting* Find(const std::string& name) const;
    BOOL SetValue(const std::string& name, int type, const std::string& escaped);
    void NewLineLayout(size_t& insertAt, std::string& before, std::string& indent, std::string& after) const;
    // Takes text as the file's new text when it scans; the file stays as it was otherwise.
    BOOL Commit(std::string text);

    bool m_parsed = false;
    Encoding m_encoding = ENCODING_UTF8;
    std::string m_text;
    OeXmlLayout m_layout;
};
