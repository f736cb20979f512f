// Contract of the environment, process, prompt and icon calls.
#include "contract/ContractBackend.h"
#include "contract/ContractFolder.h"

#include "Environment.h"
#include "Files.h"
#include "Icons.h"
#include "Processes.h"
#include "Prompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

TEST(EnvironmentTest, SetAndExpand)
{
    const char* pathValue = getenv("PATH");
    ASSERT_NE(nullptr, pathValue);
    const std::string path = pathValue;
    ASSERT_TRUE(plat::SetEnvironmentValue("NIMBREL_CONTRACT_VALUE", "C:\\Mail Data"));
    // An unknown %NAME% is copied whole, and the scan goes on after its closing '%'.
    const std::pair<const char*, std::string> rows[] = {
        {"%nimbrel_contract_value%\\Eudora", "C:\\Mail Data\\Eudora"},
        {"plain text", "plain text"},
        {"<%path%>", "<" + path + ">"},
        {"%NIMBREL_NO_SUCH_VARIABLE%", "%NIMBREL_NO_SUCH_VARIABLE%"},
        {"a%NIMBREL_NO_SUCH%PATH%b", "a%NIMBREL_NO_SUCH%PATH%b"},
        {"%NIMBREL_NO_SUCH%%PATH%", "%NIMBREL_NO_SUCH%" + path},
        {"100%", "100%"},
        {"%%", "%%"},
        {"", ""},
    };
    for (const auto& row : rows) {
        std::string expanded = "kumquat";
        EXPECT_TRUE(plat::ExpandEnvironment(row.first, expanded)) << row.first;
        EXPECT_EQ(row.second, expanded) << row.first;
    }

    // The limit counts the NUL: "abc" needs 4.
    std::string expanded = "kumquat";
    EXPECT_TRUE(plat::ExpandEnvironment("abc", expanded, 4));
    EXPECT_EQ("abc", expanded);
    expanded = "kumquat";
    EXPECT_FALSE(plat::ExpandEnvironment("abc", expanded, 3));
    EXPECT_EQ("kumquat", expanded);

    ASSERT_TRUE(plat::SetEnvironmentValue("NIMBREL_CONTRACT_VALUE", nullptr));
    EXPECT_TRUE(plat::ExpandEnvironment("%NIMBREL_CONTRACT_VALUE%\\Eudora", expanded));
    EXPECT_EQ("%NIMBREL_CONTRACT_VALUE%\\Eudora", expanded);
}

TEST(EnvironmentTest, Folders)
{
    std::string temp = "kumquat";
    ASSERT_TRUE(plat::TempFolder(temp));
    ASSERT_LT(1u, temp.size());
    EXPECT_EQ('\\', temp.back());
    EXPECT_TRUE(plat::PathExists(temp.c_str()));
    std::string appData = "kumquat";
    ASSERT_TRUE(plat::AppDataFolder(appData));
    ASSERT_LT(1u, appData.size());
    EXPECT_NE('\\', appData.back());
    EXPECT_NE('/', appData.back());
    std::string windows = "kumquat";
    ASSERT_TRUE(plat::WindowsDirectory(windows));
    EXPECT_NE('\\', windows.back());
    EXPECT_TRUE(plat::PathExists(windows.c_str()));
    EXPECT_FALSE(plat::CommandLineText().empty());
}

TEST(EnvironmentTest, ProcessList)
{
    const std::string own = contract::OwnProcessName();
    ASSERT_FALSE(own.empty());
    std::vector<std::string> names(1, "kumquat");
    ASSERT_TRUE(plat::ListProcessNames(names));
    EXPECT_EQ(1, std::count(names.begin(), names.end(), own)) << own;
    EXPECT_EQ(0, std::count(names.begin(), names.end(), "kumquat"));
    for (const std::string& name : names)
        EXPECT_EQ(std::string::npos, name.find('\\')) << name;

    std::string upper = own;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    EXPECT_TRUE(plat::IsProcessRunning(own));
    EXPECT_TRUE(plat::IsProcessRunning(upper));
    EXPECT_FALSE(plat::IsProcessRunning("nimbrel-no-such-program.exe"));
    EXPECT_FALSE(plat::IsProcessRunning(""));
}

// A responder set takes every question: text, caption and type, and its answer is the one returned.
TEST(EnvironmentTest, PromptResponderAnswers)
{
    std::vector<std::string> asked;
    plat::SetPromptResponder(
        [](const char* text, const char* caption, UINT type, void* context) {
            auto* log = static_cast<std::vector<std::string>*>(context);
            log->push_back(std::string(text) + "|" + caption + "|" + std::to_string(type));
            return log->size() == 1 ? IDOK : IDNO;
        },
        &asked);
    EXPECT_EQ(IDOK, plat::AskUser(nullptr, "Close Outlook Express", "E-mail accounts configurator",
                                  MB_OKCANCEL | MB_ICONWARNING));
    EXPECT_EQ(IDNO, plat::AskUser(nullptr, "second", "caption", MB_YESNO));
    plat::SetPromptResponder(nullptr, nullptr);
    EXPECT_EQ((std::vector<std::string>{"Close Outlook Express|E-mail accounts configurator|" +
                                            std::to_string(MB_OKCANCEL | MB_ICONWARNING),
                                        "second|caption|" + std::to_string(MB_YESNO)}),
              asked);
}

using FileIcons = contract::CFolderTest;

TEST_F(FileIcons, ForAFileAndNoneForAMissingOne)
{
    const std::string file = m_folder + "client.exe";
    ASSERT_TRUE(contract::WriteTestFile(file, "MZ"));
    HICON small = nullptr, large = nullptr;
    plat::LoadFileIcons(file.c_str(), &small, &large);
    EXPECT_NE(nullptr, small);
    EXPECT_NE(nullptr, large);
    EXPECT_NE(small, large);
    plat::FreeIcon(small);
    plat::FreeIcon(large);
    // Nothing is set for a file that is not there.
    HICON sentinel = reinterpret_cast<HICON>(static_cast<uintptr_t>(0xDEADBEEF));
    small = large = sentinel;
    plat::LoadFileIcons((m_folder + "missing.exe").c_str(), &small, &large);
    EXPECT_EQ(sentinel, small);
    EXPECT_EQ(sentinel, large);
}

} // namespace
