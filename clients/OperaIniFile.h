// COperaIniFile: whole-value reads and all-or-nothing writes of one of Opera's profile-format account files.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <utility>
#include <vector>

class COperaIniFile
{
public:
    // The longest value the file reads back whole.
    static size_t LongestValue();
    // One value as it stood in the file when the account was read.
    struct Entry
    {
        std::string section;
        std::string key;
        std::string value;
    };
    typedef std::vector<Entry> Entries;

    explicit COperaIniFile(const std::string& path) : m_path(path) {}

    const std::string& Path() const { return m_path; }

    // The value of key in section, however long it is. FALSE when it is missing or empty, or longer than any
    // real setting (it is then refused, never cut).
    BOOL ReadValue(const char* section, const char* key, std::string& value) const;
    // The values of count keys of one section, read together: FALSE when any of them is missing, empty or
    // too long, as ReadValue would find it (values then holds what was read).
    BOOL ReadValues(const char* section, const char* const* keys, std::string* values, size_t count) const;

    // The lines of a section as the profile functions list them, each ended by a NUL; FALSE when it is
    // missing, empty, or too long to be a real list.
    BOOL ReadSection(const char* section, std::string& lines) const;

    // Sets keys of one section together: the edit is made on a copy in the same folder, read back, and the
    // copy takes the file's place in one step. A missing file is not created. FALSE, with the file as it was,
    // on any failure, when a value holds a line break or a NUL that would spill into other keys, or when the
    // file no longer holds every expected value: the account was changed, removed or renumbered since it was
    // read, and writing would overwrite another account or a change the user made.
    BOOL WriteValues(const char* section, const std::vector<std::pair<std::string, std::string>>& values,
                     const Entries& expected) const;
    // The same for values in any sections (several accounts of one file), written in order in one
    // replacement.
    BOOL WriteEntries(const Entries& values, const Entries& expected) const;

    // The leading decimal number of a value as the C library reads it (blanks, a sign, digits; 0 without
    // digits). FALSE when it does not fit an int, since it could not be written back as it was.
    static BOOL LeadingNumber(const std::string& text, int& number);

private:
    // The values set by the profile functions on a copy of original, read back, the copy's bytes in edited.
    BOOL EditThroughCopy(const std::string& original, const Entries& values, std::string& edited) const;

    std::string m_path;
};
