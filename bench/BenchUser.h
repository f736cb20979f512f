// CBenchUser: a generated user whose nine e-mail clients hold a chosen number of accounts each, with optional
// mail folders and preference padding, in a folder of its own and the in-memory registry.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CBenchUser
{
public:
    struct Shape
    {
        int accountsPerClient = 1;
        // Files and folders of mail below The Bat!'s account folders (the load has no reason to look there).
        int theBatMailEntries = 0;
        // Size the Mozilla profile's prefs.js is padded to with settings of other kinds; 0 for none.
        size_t prefsBytes = 0;
        // Only Mozilla installed (the big-preference-file user); otherwise all nine clients.
        bool mozillaOnly = false;
        // Only Opera 7 installed, all its accounts in its one file.
        bool opera7Only = false;
    };

    // Makes the user under root (a folder in Windows form that does not exist yet).
    CBenchUser(const std::string& root, const Shape& shape);
    ~CBenchUser();
    CBenchUser(const CBenchUser&) = delete;
    CBenchUser& operator=(const CBenchUser&) = delete;

    // The folders whose trees the load walks, and the store files it reads, for the floor.
    const std::vector<std::string>& WalkedTrees() const { return m_walkedTrees; }
    const std::vector<std::string>& StoreFiles() const { return m_storeFiles; }
    // Registry keys under HKEY_CURRENT_USER that hold the clients' accounts.
    const std::vector<std::string>& StoreKeys() const { return m_storeKeys; }
    // Each store file that configuring every account rewrites, with how many of its accounts are written
    // (per client listing that account), and the number of accounts kept in the registry.
    const std::vector<std::pair<std::string, int>>& WrittenFiles() const { return m_writtenFiles; }
    int RegistryAccounts() const { return m_registryAccounts; }
    const std::string& TheBatMailFolder() const { return m_theBatMail; }
    const std::string& PrefsFile() const { return m_prefsFile; }

private:
    void MakeOutlook();
    void MakeIncrediMail();
    void MakeEudora();
    void MakeTheBat();
    void MakeMozilla();
    void MakeOpera();
    void MakeOpera7();
    std::string Programs(const std::string& name) const;

    std::string m_root;
    Shape m_shape;
    std::vector<std::string> m_walkedTrees;
    std::vector<std::string> m_storeFiles;
    std::vector<std::string> m_storeKeys;
    std::vector<std::pair<std::string, int>> m_writtenFiles;
    int m_registryAccounts = 0;
    std::string m_theBatMail;
    std::string m_prefsFile;
};
