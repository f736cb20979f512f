// CMozillaPrefsFile: the lines of one Mozilla "prefs.js" and the user_pref settings that stand on them.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CMozillaPrefsFile
{
public:
    CMozillaPrefsFile() = default;

    // Splits bytes into lines and indexes every line that is one plain call user_pref("key", value); of its
    // own. A line feed ends a line and a carriage return before it is dropped; a last line without a line end
    // still counts. Lines inside comments, and lines with anything else on them, hold no setting.
    void Load(const std::string& bytes);

    const std::vector<std::string>& Lines() const { return m_lines; }
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    // The bytes the lines were taken from, as loaded or as last written through ApplyEdits.
    const std::string& Bytes() const { return m_bytes; }

    // TRUE when line would stand as the one setting key where it is put: in place of line index (the line
    // that sets key now) or, for index LineCount() and beyond, after the last line. An edit that passes
    // changes no other line's reading: a setting line leaves no comment open.
    BOOL EditStands(int index, const std::string& line, const std::string& key) const;
    // Takes lines checked with EditStands (replacing setting lines in place, appending in order at the end)
    // and bytes, the whole new file with CR+LF line ends, without reading all of it again.
    void ApplyEdits(const std::vector<std::pair<int, std::string>>& edits, std::string bytes);

    // The line that sets key (exact, case-sensitive), or -1. When a key is set twice the client keeps the
    // later value, so the later line is the one that counts.
    int FindSetting(const std::string& key) const;

    // The value on a setting line. FALSE when the line holds no setting, the value is of another kind, or it
    // cannot be carried whole: an escape other than \\ \" \' \/, a control character, a number out of range.
    BOOL GetString(int line, std::string& value) const;
    BOOL GetInteger(int line, int& value) const;

    // The file's string syntax: the text in double quotes, with backslash and double quote escaped.
    static std::string QuoteString(const std::string& text);
    // The lines the client itself writes: user_pref("key", "value"); and user_pref("key", 110);
    static std::string FormatStringSetting(const std::string& key, const std::string& value);
    static std::string FormatIntegerSetting(const std::string& key, int value);
    // TRUE when text has no control character, so that a setting line written with it stays one line.
    static BOOL IsWritableText(const std::string& text);
    // Splits bytes into lines as Load does.
    static void SplitLines(const std::string& bytes, std::vector<std::string>& lines);

private:
    struct Setting
    {
        std::string key;
        std::string valueToken; // the value as written: a quoted string with its quotes, or a bare word
    };

    // Parses one line; inComment carries an open /* comment from line to line.
    static BOOL ParseLine(const std::string& line, BOOL& inComment, Setting& setting);

    std::string m_bytes;
    std::vector<std::string> m_lines;
    std::vector<char> m_commentAtStart; // whether a /* comment is open where each line starts
    BOOL m_endsInComment = FALSE;
    std::vector<int> m_settingOfLine; // index into m_settings, or -1
    std::vector<Setting> m_settings;
    std::unordered_map<std::string, int> m_lineOfKey;
};
