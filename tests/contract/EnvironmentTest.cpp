// Contract of the environment, process, prompt and icon calls.
#include "contract/ContractBackend.h"
#include "contract/ContractFolder.h"

#include "Environment.h"
#include "Files.h"
#include "Icons.h"
#include "Processes.h"
#include "Prompt.h"

#include <gtest/gtest.h>

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
        {"%PATH%", path},
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
    EXPECT_FALSE(plat::ExpandEnvironment("%PATH%", expanded, static_cast<DWORD>(path.size())));
    EXPECT_EQ("kumquat", expanded);
    EXPECT_TRUE(plat::ExpandEnvironment("%PATH%", expanded, static_cast<DWORD>(path.size() + 1)));
    EXPECT_EQ(path, expanded);
    EXPECT_FALSE(plat::ExpandEnvironment(nullptr, expanded));

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
    int found = 0;
    for (const std::string& name : names) {
        EXPECT_EQ(std::string::npos, name.find('\\')) << name;
        if (name == own)
            ++found;
        EXPECT_NE("kumquat", name);
    }
    EXPECT_EQ(1, found) << own;

    std::string upper = own;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(plat::IsProcessRunning(own));
    EXPECT_TRUE(plat::IsProcessRunning(upper));
    EXPECT_FALSE(plat::IsProcessRunning("nimbrel-no-such-program.exe"));
    EXPECT_FALSE(plat::IsProcessRunning(""));
}

struct PromptRecord
{
    std::string text;
    std::string caption;
    UINT type = 0;
    int calls = 0;
};

int RecordingResponder(const char* text, const char* caption, UINT type, void* context)
{
    PromptRecord* record = static_cast<PromptRecord*>(context);
    record->text = text;
    record->caption = caption;
    record->type = type;
    ++record->calls;
    return record->calls == 1 ? IDOK : IDNO;
}

TEST(EnvironmentTest, PromptResponderAnswers)
{
    PromptRecord record;
    plat::SetPromptResponder(RecordingResponder, &record);
    EXPECT_EQ(IDOK, plat::AskUser(nullptr, "Close Outlook Express", "E-mail accounts configurator",
                                  MB_OKCANCEL | MB_ICONWARNING));
    EXPECT_EQ("Close Outlook Express", record.text);
    EXPECT_EQ("E-mail accounts configurator", record.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING), record.type);
    EXPECT_EQ(IDNO, plat::AskUser(nullptr, "second", "caption", MB_YESNO));
    EXPECT_EQ(2, record.calls);
    plat::SetPromptResponder(nullptr, nullptr);
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
    small = sentinel;
    large = sentinel;
    plat::LoadFileIcons((m_folder + "missing.exe").c_str(), &small, &large);
    EXPECT_EQ(sentinel, small);
    EXPECT_EQ(sentinel, large);
    plat::FreeIcon(nullptr);
}

} // namespace
