// CStoreSnapshot: files read with POSIX calls and the registry walked through the platform layer, neither of
// which the fault layer counts, so a snapshot can be taken in the middle of a failing walk.
#include "fault/StoreSnapshot.h"

#include "Registry.h"
#include "RegKey.h"

#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>

std::string CStoreSnapshot::NativePath(const std::string& path)
{
    std::string native = path;
    for (char& c : native) {
        if (c == '\\')
            c = '/';
    }
    return native;
}

namespace {

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return "<unreadable>";
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

void TakeFiles(const std::string& folder, std::map<std::string, std::string>& items)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> names;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat info;
        if (lstat(path.c_str(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            items["D " + path] = "";
            TakeFiles(path, items);
        } else {
            // The mode too: a replaced file must keep its permissions.
            items["F " + path] = std::to_string(info.st_mode & 07777) + ":" + ReadBytes(path);
        }
    }
}

void TakeKey(HKEY root, const std::string& rootName, const std::string& path,
             std::map<std::string, std::string>& items)
{
    plat::CRegKey key;
    if (key.Open(root, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return;
    items["K " + rootName + "\\" + path] = "";
    for (DWORD i = 0;; ++i) {
        char name[2048];
        DWORD nameLength = sizeof(name);
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (plat::RegValueAt(key.Get(), i, name, &nameLength, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string data(size, '\0');
        nameLength = sizeof(name);
        plat::RegValueAt(key.Get(), i, name, &nameLength, &type, size ? &data[0] : nullptr, &size);
        items["R " + rootName + "\\" + path + "\\" + std::string(name, nameLength)] =
            std::to_string(type) + ":" + data;
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[2048];
        DWORD nameLength = sizeof(name);
        if (plat::RegSubkeyName(key.Get(), i, name, &nameLength) != ERROR_SUCCESS)
            break;
        subkeys.push_back(std::string(name, nameLength));
    }
    key.Close();
    for (const std::string& subkey : subkeys)
        TakeKey(root, rootName, path + "\\" + subkey, items);
}

} // namespace

CStoreSnapshot CStoreSnapshot::Take(const std::string& root)
{
    CStoreSnapshot snapshot;
    TakeFiles(NativePath(root), snapshot.m_items);
    TakeKey(HKEY_CURRENT_USER, "HKCU", "Software", snapshot.m_items);
    TakeKey(HKEY_LOCAL_MACHINE, "HKLM", "Software", snapshot.m_items);
    return snapshot;
}

bool CStoreSnapshot::EqualsExcept(const CStoreSnapshot& other, const std::vector<std::string>& paths) const
{
    std::map<std::string, std::string> mine = m_items;
    for (const std::string& path : paths)
        mine.erase("F " + path);
    return mine == other.m_items;
}

bool CStoreSnapshot::EachAsEither(const CStoreSnapshot& a, const CStoreSnapshot& b,
                                  const std::vector<std::string>& paths, std::string& why) const
{
    std::map<std::string, std::string> mine = m_items;
    for (const std::string& path : paths)
        mine.erase("F " + path);
    std::map<std::string, std::string> keys;
    const std::map<std::string, std::string>* all[] = {&mine, &a.m_items, &b.m_items};
    for (const auto* items : all) {
        for (const auto& item : *items)
            keys[item.first];
    }
    for (const auto& key : keys) {
        auto here = mine.find(key.first);
        auto asIn = [&](const CStoreSnapshot& reference) {
            auto there = reference.m_items.find(key.first);
            if (here == mine.end())
                return there == reference.m_items.end();
            return there != reference.m_items.end() && there->second == here->second;
        };
        if (!asIn(a) && !asIn(b)) {
            why = "neither as before nor as fully written: " + key.first;
            return false;
        }
    }
    return true;
}

std::string CStoreSnapshot::Describe(const CStoreSnapshot& other) const
{
    std::string text;
    for (const auto& item : m_items) {
        auto found = other.m_items.find(item.first);
        if (found == other.m_items.end() || found->second != item.second)
            text += "  new or changed: " + item.first + "\n";
    }
    for (const auto& item : other.m_items) {
        if (m_items.find(item.first) == m_items.end())
            text += "  gone: " + item.first + "\n";
    }
    return text;
}

CStoreSnapshot CStoreSnapshot::FilesOnly() const
{
    CStoreSnapshot files;
    for (const auto& item : m_items) {
        if (item.first.compare(0, 2, "F ") == 0 || item.first.compare(0, 2, "D ") == 0)
            files.m_items.insert(item);
    }
    return files;
}

std::vector<std::string> CStoreSnapshot::NewFiles(const CStoreSnapshot& reference) const
{
    std::vector<std::string> added;
    for (const auto& item : m_items) {
        if (item.first.compare(0, 2, "F ") == 0 &&
            reference.m_items.find(item.first) == reference.m_items.end())
            added.push_back(item.first.substr(2));
    }
    return added;
}
