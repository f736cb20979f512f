// CMozillaPrefsFile: the lines of one Mozilla "prefs.js" and the user_pref settings that stand on them.
#pragma once

#include "clients/MozillaPrefSyntax.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CMozillaPrefsFile
{
public:
    // The keys the program reads all start with "mail.": a profile of years holds tens of thousands of
    // settings of other kinds, and parsing them all cost many times the read of the file.
    static constexpr const char* kMailKeys = "mail.";

    // Settings whose keys start with indexedPrefix are parsed and indexed when the file is loaded; any other
    // key is found by a scan of the lines that may hold it, when it is asked for. "" indexes every setting.
    // Both give the same answers.
    explicit CMozillaPrefsFile(const char* indexedPrefix = kMailKeys) : m_indexedPrefix(indexedPrefix) {}

    // Splits bytes into lines and finds every line that is one plain call user_pref("key", value); of its
    // own. A line feed ends a line and a carriage return before it is dropped; a last line without a line end
    // still counts. Lines inside comments, and lines with anything else on them, hold no setting.
    void Load(std::string bytes);

    // A line's text, valid until the next Load or ApplyEdits.
    std::string_view Line(int index) const;
    // Every line's text, copied.
    std::vector<std::string> Lines() const;
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    // The bytes the lines were taken from, as loaded or as last written through ApplyEdits.
    const std::string& Bytes() const { return m_bytes; }

    // TRUE when line would stand as the one setting key where it is put: in place of line index (the line
    // that sets key now) or, for index LineCount() and beyond, after the last line. An edit that passes
    // changes no other line's reading: a setting line leaves no comment open.
    BOOL EditStands(int index, const std::string& line, const std::string& key) const;
    // Takes lines checked with EditStands (replacing setting lines in place, appending in order at the end)
    // and bytes, the whole new file with CR+LF line ends, without parsing all of it again.
    void ApplyEdits(const std::vector<std::pair<int, std::string>>& edits, std::string bytes);

    // The line that sets key (exact, case-sensitive), or -1. When a key is set twice the client keeps the
    // later value, so the later line is the one that counts.
    int FindSetting(const std::string& key) const;

    // The value on a setting line. FALSE when the line holds no setting, the value is of another kind, or it
    // cannot be carried whole: an escape other than \\ \" \' \/, a control character, a number out of range.
    BOOL GetString(int line, std::string& value) const;
    BOOL GetInteger(int line, int& value) const;
    BOOL GetBoolean(int line, BOOL& value) const;

private:
    typedef PrefSpan Span;
    typedef PrefSetting Setting;
    // A line: its place in the bytes, without the line end, and what it holds.
    struct LineEntry
    {
        Span text;
        int setting = -1; // index into m_settings, -1 for no setting, or kNotParsed
    };

    // LineEntry::setting for a line not parsed yet: it holds no comment mark and no key of the indexed
    // prefix, so it reads the same wherever it stands and may be parsed on its own when asked for.
    static const int kNotParsed = -2;

    // The setting on line, or null; a line not parsed yet is parsed into scratch.
    const Setting* SettingOn(int line, Setting& scratch) const;
    // The value's text as written on line (quotes and all); FALSE when the line holds no setting.
    BOOL ValueToken(int line, std::string_view& token) const;
    // The last line not parsed yet that sets key, after line after; -1 when there is none.
    int FindNotParsed(const std::string& key, int after) const;
    // Parses a line where it stands in a loaded file, leaving lines of other keys for later (kNotParsed).
    void ClassifyLine(LineEntry& entry, int index, BOOL hasStar, BOOL& inComment, Setting& setting);
    // Adds m_settings[index] to the key index, in place of an earlier setting of the same key.
    void IndexSetting(int index);

    std::string m_indexedPrefix;
    std::string m_bytes;
    std::vector<LineEntry> m_lines;
    BOOL m_endsInComment = FALSE;
    size_t m_notParsed = 0; // lines marked kNotParsed
    std::vector<Setting> m_settings;
    // Open addressing over m_settings (index, or -1 for a free slot): a profile of years holds tens of
    // thousands of settings, and a node per key made the index cost more than the parse.
    std::vector<int> m_slots;
};
