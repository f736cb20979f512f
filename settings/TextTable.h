// CTextTable: every visible text by section and key from "vantler.txt", with the built-in English default.
#pragma once

#include "PlatTypes.h"

#include <mutex>
#include <string>

class CTextTable
{
public:
    CTextTable();
    virtual ~CTextTable();
    CTextTable(const CTextTable&) = delete;
    CTextTable& operator=(const CTextTable&) = delete;

    // Looks for "vantler.txt" in directory (which ends with a backslash); TRUE when found there. Otherwise
    // the file in the current directory is used, if any.
    BOOL Locate(const std::string& directory);
    // Takes the re-entrant lock and names the section of the following lookups.
    void BeginSection(const char* section);
    // The text of key, or the default; "\n" in it becomes a space and a line feed. The result lives in a
    // shared buffer until the next lookup: copy it at once.
    const char* GetText(const char* key, const char* defaultText);
    void EndSection();

    const std::string& Path() const { return m_path; }

private:
    char m_buffer[512];
    std::recursive_mutex m_lock;
    std::string m_section;
    std::string m_path;
};

// One lookup group: BeginSection in the constructor, EndSection in the destructor; Get copies each text.
class CTextSection
{
public:
    CTextSection(CTextTable& table, const char* section);
    ~CTextSection();
    CTextSection(const CTextSection&) = delete;
    CTextSection& operator=(const CTextSection&) = delete;
    std::string Get(const char* key, const char* defaultText);

private:
    CTextTable& m_table;
};

// The program's one text table.
extern CTextTable g_textTable;
