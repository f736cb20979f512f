// Fixtures that tests on both backends share: a fresh folder, the proxy port, registry trees removed
// afterwards.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <vector>

// A new empty folder under the temporary folder, removed with everything in it at the end of the scope.
class CTestFolder
{
public:
    CTestFolder();
    ~CTestFolder();
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;
    // The folder, without a trailing backslash.
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Registry trees (under HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE) removed when the scope ends, and at its
// start so that a test killed half way does not spoil the next run.
class CRegistryScope
{
public:
    CRegistryScope(std::vector<std::pair<HKEY, std::string>> trees);
    ~CRegistryScope();
    CRegistryScope(const CRegistryScope&) = delete;
    CRegistryScope& operator=(const CRegistryScope&) = delete;

private:
    void RemoveAll();
    std::vector<std::pair<HKEY, std::string>> m_trees;
};

// Sets the package's "POP3 proxy uses port" for the scope and removes the package key afterwards.
class CProxyPortScope
{
public:
    explicit CProxyPortScope(DWORD port);
    ~CProxyPortScope();
    CProxyPortScope(const CProxyPortScope&) = delete;
    CProxyPortScope& operator=(const CProxyPortScope&) = delete;
    void Set(DWORD port);
};

// Registry helpers for assertions: the value as text ("<missing>" when absent, "dword:N" for a DWORD).
std::string RegValueText(HKEY root, const std::string& path, const char* name);
