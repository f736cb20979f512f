// The syntax of "prefs.js": user_pref lines, their strings and comments, and the lines the client writes.
// Pure functions over text, without the file's index.
#pragma once

#include "PlatTypes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A stretch of a line or of the file's bytes.
struct PrefSpan
{
    size_t at = 0;
    size_t length = 0;
};

// A setting as places in its line: a file of many thousand lines is parsed without a copy of each.
struct PrefSetting
{
    PrefSpan key;           // the key as written, between its quotes
    std::string escapedKey; // the key's text when it is written with escapes; empty otherwise
    BOOL hasEscapes = FALSE;
    PrefSpan value; // the value as written: a quoted string with its quotes, or a bare word
    int line = -1;
    size_t hash = 0;
    BOOL commentAtStart = FALSE; // whether a /* comment is open where the line starts
};

namespace prefs {

BOOL IsBlank(char c);
BOOL IsControl(char c);
size_t SkipBlanks(std::string_view line, size_t pos);
BOOL StartsAt(std::string_view line, size_t pos, std::string_view text);
// Position of the quote that closes the string opened at pos, or npos when the line ends first.
size_t FindStringEnd(std::string_view line, size_t pos);
// The text of a string literal without its quotes; FALSE for an escape that could not be written back byte
// for byte.
BOOL DecodeString(std::string_view inner, std::string& text);
// TRUE when a literal's text is itself, with no escape to decode and nothing that refuses it.
BOOL IsPlainText(std::string_view inner);
// Follows comments over a line that holds no setting, so that a setting inside a /* */ block is not taken.
void ScanComments(std::string_view line, size_t pos, BOOL& inComment);
// Where the key of a setting written from pos starts, just after its opening quote; npos when the line does
// not go on there as user_pref ( " with blanks between.
size_t KeyStart(std::string_view line, size_t pos);
// TRUE when a key written as raw cannot read as one starting with prefix.
BOOL CannotStartWith(std::string_view raw, const std::string& prefix);
size_t HashKey(std::string_view key);

// Parses one line as one plain call user_pref("key", value); of its own; inComment carries an open /* comment
// from line to line.
BOOL ParseLine(std::string_view line, BOOL& inComment, PrefSetting& setting);
// The key's text of a parsed setting on line.
std::string_view KeyOf(std::string_view line, const PrefSetting& setting);

// The file's string syntax: the text in double quotes, with backslash and double quote escaped.
std::string QuoteString(const std::string& text);
// The lines the client itself writes: user_pref("key", "value");, user_pref("key", 110); and
// user_pref("key", true);
std::string FormatStringSetting(const std::string& key, const std::string& value);
std::string FormatIntegerSetting(const std::string& key, int value);
std::string FormatBooleanSetting(const std::string& key, BOOL value);
// TRUE when text has no control character, so that a setting line written with it stays one line.
BOOL IsWritableText(const std::string& text);

// A line feed ends a line and a carriage return before it is dropped; a last line without a line end still
// counts.
void SplitLines(const std::string& bytes, std::vector<std::string>& lines);
void SplitSpans(const std::string& bytes, std::vector<PrefSpan>& lines);
// Room for lines of a usual length at once.
size_t ExpectedLines(const std::string& bytes);
// Takes the line that starts at start (without its line end) and gives where the next one starts.
size_t NextLine(const std::string& bytes, size_t start, PrefSpan& line);

} // namespace prefs
