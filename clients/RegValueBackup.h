// CRegValueBackup: chosen values of one open registry key as they were before a write, to put back when the
// write fails half way.
#pragma once

#include "PlatTypes.h"

#include <initializer_list>
#include <string>
#include <vector>

class CRegValueBackup
{
public:
    // Reads each value, or notes that it is absent. FALSE when one is there but cannot be read (the write
    // should then not start). The key must stay open until Restore.
    BOOL Save(HKEY key, std::initializer_list<const char*> names);
    // Sets every saved value back with its type and bytes, and removes those that were absent; FALSE when one
    // of them could not be put back.
    BOOL Restore() const;

private:
    struct Saved
    {
        std::string name;
        BOOL present = FALSE;
        DWORD type = REG_NONE;
        std::string data;
    };

    HKEY m_key = nullptr;
    std::vector<Saved> m_values;
};
