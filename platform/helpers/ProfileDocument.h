// CProfileDocument: the bytes of one profile (INI) file, parsed into sections and entries, with line edits.
#pragma once

#include "PlatTypes.h"
#include "ProfileEdit.h"

#include <string>
#include <string_view>
#include <vector>

namespace plat {

/*
 * Lines end in CR+LF, CR or LF alike. A line whose first non-blank character is '[' and that holds a ']'
 * opens a section named by what lies between the '[' and the last ']', trimmed. Any other non-blank line is
 * an entry: its name is the text before the first '=' and its value the text after it, both trimmed; a line
 * without '=' is an entry without a value. Lines before the first section belong to an unnamed section. Names
 * match without regard to case, and a name is found in the first section of that name only, as Wine does.
 * Edits change only the lines concerned; every other byte of the file stays as it was.
 */
class CProfileDocument
{
public:
    explicit CProfileDocument(std::string bytes);

    const std::string& Bytes() const { return m_bytes; }
    // TRUE when the file starts with a UTF-8 byte-order mark: its text is UTF-8, not the code page.
    BOOL HoldsUtf8() const { return m_start > 0; }

    // The value of key in section, as a view of the document's bytes; FALSE when either is missing or the
    // entry has no '='.
    BOOL FindValue(const char* section, const char* key, std::string_view& value) const;
    // The values of count keys of one section, found with one look for the section; an empty view for each
    // key that FindValue would not find.
    void FindValues(const char* section, const char* const* keys, size_t count,
                    std::string_view* values) const;
    // The names of the section's entries that have a value (comments and blank lines left out).
    BOOL ListKeys(const char* section, std::vector<std::string>& keys) const;
    // The section's entries as "name=value", or the name alone for an entry without '='.
    BOOL ListEntries(const char* section, std::vector<std::string>& entries) const;
    std::vector<std::string> SectionNames() const;

    // Each returns TRUE when the document changed.
    BOOL SetValue(const char* section, const char* key, const char* value);
    // SetValue of each (section, key, value) in turn, in one pass over the bytes when every key has its line
    // already: a file of thousands of sections is parsed once, not once per value.
    BOOL SetValues(const ProfileValue* values, size_t count);
    BOOL DeleteKey(const char* section, const char* key);
    BOOL DeleteSection(const char* section);

private:
    struct Line
    {
        size_t begin = 0; // first byte of the line
        size_t end = 0;   // first byte of its line end
        size_t next = 0;  // first byte of the next line
        int kind = 0;     // LINE_BLANK, LINE_SECTION or LINE_ENTRY
        // Entry name and value (trimmed) as places in the bytes: no copies for files of many lines.
        size_t nameAt = 0;
        size_t nameLen = 0;
        BOOL hasValue = FALSE;
        size_t valueAt = 0;
        size_t valueLen = 0;
    };
    struct Section
    {
        std::string name;
        size_t header = 0; // index of the header line; firstLine - 1 unless unnamed
        size_t firstLine = 0;
        size_t endLine = 0; // one past its last line
        BOOL named = FALSE;
        size_t nameHash = 0; // as SameProfileName compares names
    };

    void Parse();
    // Calls take(line) for each entry of the first named section of that name, comments left out; FALSE when
    // there is no such section.
    template <typename Take> BOOL ForEachEntry(const char* section, Take take) const;
    std::string Name(const Line& line) const { return m_bytes.substr(line.nameAt, line.nameLen); }
    std::string Value(const Line& line) const { return m_bytes.substr(line.valueAt, line.valueLen); }
    BOOL NameIs(const Line& line, std::string_view name) const;
    int FindSectionIndex(std::string_view name) const;
    int FindEntryLine(const Section& section, std::string_view key) const;
    BOOL FindValueIn(int section, const char* key, std::string_view& value) const;
    void Splice(size_t begin, size_t end, const std::string& replacement);
    // Where a new line goes in a section: after its last non-blank line; adds a line end there if missing.
    size_t InsertionPoint(const Section& section);

    std::string m_bytes;
    size_t m_start = 0; // past a UTF-8 byte-order mark
    std::vector<Line> m_lines;
    std::vector<Section> m_sections;
    // The first named section of each name (an index into m_sections, or -1 for a free slot), found by the
    // name as SameProfileName compares it: a file of thousands of sections (Opera 7's accounts) is searched,
    // not scanned, on every lookup. Empty for a file of a few sections.
    std::vector<int> m_sectionSlots;
};

// Trims blanks (and the DOS end-of-file mark) from both ends.
std::string TrimProfileText(const std::string& text);
// A value in one pair of matching quotes, double or single, as it reads: without them (Wine strips both).
std::string_view UnquotedProfileValue(std::string_view value);
// TRUE when no byte of text is above 0x7F: such a text reads the same in UTF-8 and in any code page.
bool IsAsciiText(std::string_view text);
// Whole-name comparison without regard to ASCII case.
BOOL SameProfileName(std::string_view a, std::string_view b);
// A program's UTF-8 text (null stays unset) as the document's file spells it: UTF-8 in a file that starts
// with its byte-order mark, the code page in any other. FALSE when the code page cannot hold it.
BOOL SpellForProfile(const CProfileDocument& document, const char* text, std::string& spelled);

} // namespace plat
