// CRegValueBackup: values read whole before a write and set back, or removed, after a failed one.
#include "clients/RegValueBackup.h"

#include "Registry.h"

BOOL CRegValueBackup::Save(HKEY key, std::initializer_list<const char*> names)
{
    m_key = key;
    m_values.clear();
    for (const char* name : names) {
        Saved saved;
        saved.name = name;
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG result = plat::RegQuery(key, name, &type, nullptr, &size);
        if (result == ERROR_FILE_NOT_FOUND) {
            m_values.push_back(saved);
            continue;
        }
        if (result != ERROR_SUCCESS)
            return FALSE;
        // One byte more than asked: a string read back terminated must not be cut.
        saved.data.assign(static_cast<size_t>(size) + 1, '\0');
        DWORD read = size + 1;
        if (plat::RegQuery(key, name, &type, &saved.data[0], &read) != ERROR_SUCCESS || read > size)
            return FALSE;
        saved.data.resize(read);
        saved.present = TRUE;
        saved.type = type;
        m_values.push_back(saved);
    }
    return TRUE;
}

BOOL CRegValueBackup::Restore() const
{
    BOOL ok = TRUE;
    for (const Saved& saved : m_values) {
        LONG result;
        if (saved.present) {
            result = plat::RegWrite(m_key, saved.name.c_str(), saved.type, saved.data.data(),
                                    static_cast<DWORD>(saved.data.size()));
        } else {
            result = plat::RegRemoveValue(m_key, saved.name.c_str());
            if (result == ERROR_FILE_NOT_FOUND)
                result = ERROR_SUCCESS;
        }
        ok = ok && result == ERROR_SUCCESS;
    }
    return ok;
}
