// Fixtures that tests on both backends share: a fresh folder, the proxy port, registry trees removed afterwards.
#include "support/TestScopes.h"

#include "Environment.h"
#include "Files.h"
#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>

namespace {

std::atomic<int> g_folderCounter{0};

} // namespace

CTestFolder::CTestFolder()
{
    std::string temp;
    plat::TempFolder(temp);
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = temp + "nimbrel-test-" + std::to_string(ticks % 1000000007) + "-" + std::to_string(++g_folderCounter);
    plat::RemoveFolderTree(m_path.c_str());
    plat::CreateFolder(m_path.c_str());
}

CTestFolder::~CTestFolder()
{
    plat::RemoveFolderTree(m_path.c_str());
}

CRegistryScope::CRegistryScope(std::vector<std::pair<HKEY, std::string>> trees) : m_trees(std::move(trees))
{
    RemoveAll();
}

CRegistryScope::~CRegistryScope()
{
    RemoveAll();
}

void CRegistryScope::RemoveAll()
{
    for (const auto& tree : m_trees)
        plat::RegRemoveTree(tree.first, tree.second.c_str());
}

CProxyPortScope::CProxyPortScope(DWORD port)
{
    Set(port);
}

CProxyPortScope::~CProxyPortScope()
{
    plat::RegRemoveTree(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY);
}

void CProxyPortScope::Set(DWORD port)
{
    plat::CRegKey key;
    key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_ALL_ACCESS);
    key.SetDword(NIMBREL_PROXY_PORT_VALUE, port);
}

std::string RegValueText(HKEY root, const std::string& path, const char* name)
{
    plat::CRegKey key;
    if (key.Open(root, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return "<no key>";
    DWORD type = 0;
    char data[4096];
    DWORD size = sizeof(data);
    if (plat::RegQuery(key.Get(), name, &type, data, &size) != ERROR_SUCCESS)
        return "<missing>";
    if (type == REG_DWORD && size == 4) {
        DWORD value = 0;
        std::memcpy(&value, data, 4);
        return "dword:" + std::to_string(value);
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::string text(data, size);
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        return text;
    }
    return "type" + std::to_string(type) + ":" + std::string(data, size);
}
