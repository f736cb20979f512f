// The portable backend's own controls, its thread safety, and profile files that are large or hostile.
#include "contract/ContractFolder.h"

#include "Environment.h"
#include "Files.h"
#include "PortableControl.h"
#include "Profile.h"
#include "Prompt.h"
#include "Registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using PortableControl = contract::CFolderTest;

TEST_F(PortableControl, QueuedAnswersAndTheirLog)
{
    plat::portable::TakePromptLog();
    plat::portable::QueuePromptAnswers({IDOK, IDYES});
    EXPECT_EQ(IDOK, plat::AskUser(nullptr, "first text", "first caption", MB_OKCANCEL));
    EXPECT_EQ(IDYES, plat::AskUser(nullptr, "second text", "second caption", MB_YESNO));
    EXPECT_EQ(IDCANCEL, plat::AskUser(nullptr, "third text", "third caption", MB_OKCANCEL));
    EXPECT_EQ((std::vector<std::string>{"first caption", "first text", "second caption", "second text",
                                        "third caption", "third text"}),
              plat::portable::TakePromptLog());
    EXPECT_TRUE(plat::portable::TakePromptLog().empty());
}

TEST_F(PortableControl, FoldersAndCommandLine)
{
    plat::portable::SetCommandLine("\"C:\\Program Files\\Nimbrel\\vantler.exe\" /Install");
    EXPECT_EQ("\"C:\\Program Files\\Nimbrel\\vantler.exe\" /Install", plat::CommandLineText());
    plat::portable::SetAppDataFolder(m_folder + "AppData\\");
    std::string appData;
    ASSERT_TRUE(plat::AppDataFolder(appData));
    EXPECT_EQ(m_folder + "AppData", appData);
    plat::portable::SetWindowsFolder(m_folder);
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "win.ini", "[mail]\r\nmapi=1\r\n"));
    char buffer[8];
    EXPECT_EQ(1u, plat::ProfileGetString("mail", "mapi", "0", buffer, sizeof(buffer), "win.ini"));
    EXPECT_STREQ("1", buffer);
    plat::portable::SetTempFolder(m_folder);
    std::string temp;
    ASSERT_TRUE(plat::TempFolder(temp));
    EXPECT_EQ(m_folder, temp);
    plat::portable::SetTempFolder("");
    plat::portable::SetWindowsFolder("");
    plat::portable::SetAppDataFolder("");
    plat::portable::SetCommandLine("nimbrel.exe");
}

TEST_F(PortableControl, ResetRegistryForgetsEverything)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegCreate(HKEY_CURRENT_USER, "Software\\NimbrelReset", KEY_ALL_ACCESS, &key));
    plat::portable::ResetRegistry();
    DWORD number = 1;
    EXPECT_EQ(ERROR_KEY_DELETED, plat::RegWrite(key, "v", REG_DWORD, &number, 4));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              plat::RegOpen(HKEY_CURRENT_USER, "Software\\NimbrelReset", KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, "Software", KEY_READ, &key));
    plat::RegClose(key);
}

// Threads that write their own keys and files at once lose nothing.
TEST_F(PortableControl, ConcurrentWritersLoseNothing)
{
    const std::string file = m_folder + "shared.ini";
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &file] {
            const std::string path = "Software\\NimbrelThreads\\T" + std::to_string(t),
                              section = path.substr(23);
            for (int i = 0; i < 50; ++i) {
                HKEY key = nullptr;
                if (plat::RegCreate(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
                    return;
                DWORD value = static_cast<DWORD>(i);
                plat::RegWrite(key, ("v" + std::to_string(i)).c_str(), REG_DWORD, &value, 4);
                plat::RegClose(key);
                plat::ProfileWriteString(section.c_str(), ("k" + std::to_string(i)).c_str(), "x",
                                         file.c_str());
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < 4; ++t) {
        const std::string path = "Software\\NimbrelThreads\\T" + std::to_string(t);
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, path.c_str(), KEY_READ, &key));
        char name[8];
        DWORD length = sizeof(name);
        EXPECT_EQ(ERROR_SUCCESS, plat::RegValueAt(key, 49, name, &length, nullptr, nullptr, nullptr));
        length = sizeof(name);
        EXPECT_EQ(ERROR_NO_MORE_ITEMS, plat::RegValueAt(key, 50, name, &length, nullptr, nullptr, nullptr));
        plat::RegClose(key);
        char keys[1024];
        // "k0" to "k9" take 3 bytes, the rest 4.
        EXPECT_EQ(10u * 3u + 40u * 4u, plat::ProfileGetString(path.substr(23).c_str(), nullptr, "", keys,
                                                              sizeof(keys), file.c_str()))
            << path;
    }
    plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\NimbrelThreads");
}

// A profile of several megabytes is read and edited in reasonable time, with its other bytes kept.
TEST_F(PortableControl, LargeProfileFile)
{
    const std::string file = m_folder + "large.ini";
    std::string bytes;
    for (int s = 0; s < 2000; ++s) {
        bytes += "[Persona-" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 40; ++k)
            bytes +=
                "Key" + std::to_string(k) + "=" + std::string(60, static_cast<char>('a' + k % 26)) + "\r\n";
    }
    ASSERT_LT(4u * 1024 * 1024, bytes.size());
    ASSERT_TRUE(contract::WriteTestFile(file, bytes));

    auto start = std::chrono::steady_clock::now();
    char buffer[80];
    EXPECT_EQ(60u, plat::ProfileGetString("persona-1999", "key39", "", buffer, sizeof(buffer), file.c_str()));
    EXPECT_TRUE(plat::ProfileWriteString("Persona-1999", "Key39", "changed", file.c_str()));
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GT(std::chrono::seconds(20), elapsed);

    std::string after;
    ASSERT_TRUE(plat::ReadWholeFile(file.c_str(), after));
    const std::string oldLine = "Key39=" + std::string(60, 'n') + "\r\n";
    size_t at = bytes.rfind(oldLine);
    ASSERT_NE(std::string::npos, at);
    EXPECT_EQ(bytes.substr(0, at) + "Key39=changed\r\n" + bytes.substr(at + oldLine.size()), after);
}

} // namespace
