// CTextTable: every visible text by section and key from "vantler.txt", with the built-in English default.
#include "settings/TextTable.h"

#include "Files.h"
#include "Profile.h"

#include <cstring>

CTextTable g_textTable;

namespace {

const char kTextFileName[] = "vantler.txt";

} // namespace

CTextTable::CTextTable()
{
    m_buffer[0] = '\0';
}

CTextTable::~CTextTable() = default;

BOOL CTextTable::Locate(const std::string& directory)
{
    // A bare file name would be looked up in the Windows folder by the profile functions, not where it was
    // found: an unknown install folder means the current one, named as such.
    m_path = (directory.empty() ? std::string(".\\") : directory) + kTextFileName;
    std::string content;
    if (plat::ReadWholeFile(m_path.c_str(), content))
        return TRUE;
    m_path = std::string(".\\") + kTextFileName;
    return FALSE;
}

void CTextTable::BeginSection(const char* section)
{
    m_lock.lock();
    m_section = section;
}

const char* CTextTable::GetText(const char* key, const char* defaultText)
{
    if (m_path.empty()) {
        // Not located yet: the defaults, without touching any file.
        std::strncpy(m_buffer, defaultText ? defaultText : "", sizeof(m_buffer) - 1);
        m_buffer[sizeof(m_buffer) - 1] = '\0';
    } else {
        plat::ProfileGetString(m_section.c_str(), key, defaultText, m_buffer, sizeof(m_buffer),
                               m_path.c_str());
    }
    // "\n" stands for a line break; a space keeps the text's length.
    for (char* at = std::strstr(m_buffer, "\\n"); at; at = std::strstr(at + 2, "\\n")) {
        at[0] = ' ';
        at[1] = '\n';
    }
    return m_buffer;
}

void CTextTable::EndSection()
{
    m_lock.unlock();
}

CTextSection::CTextSection(CTextTable& table, const char* section) : m_table(table)
{
    m_table.BeginSection(section);
}

CTextSection::~CTextSection()
{
    m_table.EndSection();
}

std::string CTextSection::Get(const char* key, const char* defaultText)
{
    return m_table.GetText(key, defaultText);
}
