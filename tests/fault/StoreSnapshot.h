// CStoreSnapshot: every file below a folder and every registry value, as they lie, to compare whole stores.
#pragma once

#include "PlatTypes.h"

#include <map>
#include <string>
#include <vector>

class CStoreSnapshot
{
public:
    // Reads every file and folder below root (a folder in Windows form) and the keys and values under
    // HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE. Makes no call that the fault layer counts as a step.
    static CStoreSnapshot Take(const std::string& root);

    bool operator==(const CStoreSnapshot& other) const { return m_items == other.m_items; }
    bool operator!=(const CStoreSnapshot& other) const { return !(*this == other); }

    // The same without the files whose paths are listed: other equals this but for them.
    bool EqualsExcept(const CStoreSnapshot& other, const std::vector<std::string>& paths) const;
    // A short account of how this differs from other, for failure messages.
    std::string Describe(const CStoreSnapshot& other) const;

    // TRUE when every file and value here is as in a or as in b, each on its own (several stores written one
    // after the other), the listed files left out; else FALSE with the first that is neither in why.
    bool EachAsEither(const CStoreSnapshot& a, const CStoreSnapshot& b, const std::vector<std::string>& paths,
                      std::string& why) const;
    // The same snapshot without its registry part.
    CStoreSnapshot FilesOnly() const;
    // The files here that reference lacks (native paths): what a crash or a failed deletion may leave.
    std::vector<std::string> NewFiles(const CStoreSnapshot& reference) const;
    // A Windows-form path in the native form that NewFiles gives.
    static std::string NativePath(const std::string& path);

private:
    // "F <native path>", "D <native path>", "R <root>\<key>\<value>": the content (bytes, or type and data).
    std::map<std::string, std::string> m_items;
};
