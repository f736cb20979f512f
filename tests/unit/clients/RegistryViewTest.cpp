// The machine's 64-bit registry view: Thunderbird and SeaMonkey find a key written there only, while the nine
// clients of the first design still see the 32-bit view alone.
#include "support/ClientChecks.h"

#include "Registry.h"
#include "clients/DefaultClients.h"
#include "clients/ThunderbirdClient.h"
#include "core/ClientCatalogue.h"
#include "fixtures/SampleWriter.h"

#include <memory>
#include <string>

namespace {

const REGSAM kView64 = KEY_WOW64_64KEY;

// Copies every value and subkey of from into to.
void CopyTree(HKEY from, HKEY to)
{
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameLength = sizeof(name);
        char data[8192];
        DWORD size = sizeof(data);
        DWORD type = REG_NONE;
        if (plat::RegValueAt(from, i, name, &nameLength, &type, data, &size) != ERROR_SUCCESS)
            break;
        ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(to, name, type, data, size));
    }
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD length = sizeof(name);
        if (plat::RegSubkeyName(from, i, name, &length) != ERROR_SUCCESS)
            break;
        HKEY source = nullptr;
        HKEY target = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(from, name, KEY_READ, &source));
        ASSERT_EQ(ERROR_SUCCESS, plat::RegCreate(to, name, KEY_ALL_ACCESS | kView64, &target));
        CopyTree(source, target);
        plat::RegClose(source);
        plat::RegClose(target);
    }
}

// Moves a machine key from the 32-bit view into the 64-bit one; TRUE when the 32-bit view no longer sees it
// (the views are apart for it).
BOOL MoveTo64BitView(const std::string& path)
{
    HKEY source = nullptr;
    HKEY target = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ, &source)) << path;
    EXPECT_EQ(ERROR_SUCCESS,
              plat::RegCreate(HKEY_LOCAL_MACHINE, path.c_str(), KEY_ALL_ACCESS | kView64, &target));
    if (!source || !target)
        return FALSE;
    CopyTree(source, target);
    plat::RegClose(source);
    plat::RegClose(target);
    plat::RegRemoveTree(HKEY_LOCAL_MACHINE, path.c_str());
    HKEY left = nullptr;
    if (plat::RegOpen(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ, &left) != ERROR_SUCCESS)
        return TRUE;
    plat::RegClose(left);
    return FALSE;
}

void RemoveFrom64BitView(const char* parent, const char* name)
{
    HKEY key = nullptr;
    if (plat::RegOpen(HKEY_LOCAL_MACHINE, parent, KEY_ALL_ACCESS | kView64, &key) != ERROR_SUCCESS)
        return;
    plat::RegRemoveTree(key, name);
    plat::RegClose(key);
}

class RegistryView : public CClientTest
{
protected:
    RegistryView() { RemoveCopies(); }
    ~RegistryView() override { RemoveCopies(); }
    static void RemoveCopies()
    {
        RemoveFrom64BitView("Software\\Microsoft", "Outlook Express");
        RemoveFrom64BitView("Software\\Microsoft\\Office", "11.0");
        RemoveFrom64BitView("Software\\Classes", "IncrediMail.Kernel");
    }
    static BOOL Detects(int client)
    {
        std::unique_ptr<CMailClient> adapter(CreateDefaultClient(client));
        return adapter && adapter->DetectClient();
    }
};

} // namespace

TEST_F(RegistryView, OnlyTheNewClientsFindAKeyWrittenInThe64BitViewAlone)
{
    for (int c = 0; c < CLIENT_THUNDERBIRD; ++c)
        ASSERT_TRUE(SeederOf(c)(m_context)) << c;
    for (int c = 0; c < CLIENT_THUNDERBIRD; ++c)
        ASSERT_TRUE(Detects(c)) << c;

    // The machine-wide traces of the old clients move to the 64-bit view, where a 64-bit setup would put
    // them.
    EXPECT_TRUE(MoveTo64BitView("Software\\Microsoft\\Outlook Express"));
    EXPECT_TRUE(MoveTo64BitView("Software\\Microsoft\\Office\\11.0"));
    const BOOL incrediMailApart = MoveTo64BitView("Software\\Classes\\IncrediMail.Kernel");
    EXPECT_FALSE(Detects(CLIENT_OUTLOOK_EXPRESS));
    EXPECT_FALSE(Detects(CLIENT_OUTLOOK));
    EXPECT_EQ(!incrediMailApart, Detects(CLIENT_INCREDIMAIL));
    // The others keep their traces per user, where there is one view.
    for (int c = CLIENT_EUDORA; c < CLIENT_THUNDERBIRD; ++c)
        EXPECT_TRUE(Detects(c)) << c;

    // Thunderbird's sample is a 64-bit build: its key is in the 64-bit view only.
    ASSERT_TRUE(SeedThunderbirdSamples(m_context));
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS,
              plat::RegOpen(HKEY_LOCAL_MACHINE, kThunderbird.registryKey, KEY_READ | KEY_WOW64_32KEY, &key));
    EXPECT_TRUE(Detects(CLIENT_THUNDERBIRD));
    // SeaMonkey's key moved there from the user's.
    ASSERT_TRUE(SeedSeaMonkeySamples(m_context));
    const std::string program = m_folder / "SeaMonkey\\seamonkey.exe";
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, kSeaMonkey.registryKey));
    EXPECT_FALSE(Detects(CLIENT_SEAMONKEY));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegCreate(HKEY_LOCAL_MACHINE, "Software\\Mozilla\\SeaMonkey\\2.53\\Main",
                                             KEY_ALL_ACCESS | kView64, &key));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key, "PathToExe", REG_SZ, program.c_str(),
                                            static_cast<DWORD>(program.size() + 1)));
    plat::RegClose(key);
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegOpen(HKEY_LOCAL_MACHINE, kSeaMonkey.registryKey, KEY_ALL_ACCESS | kView64, &key));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key, "CurrentVersion", REG_SZ, "2.53", 5));
    plat::RegClose(key);
    EXPECT_TRUE(Detects(CLIENT_SEAMONKEY));
    CThunderbirdClient seaMonkey(kSeaMonkey);
    ASSERT_TRUE(seaMonkey.LoadClient());
    EXPECT_EQ(program, seaMonkey.ExePath());
}
