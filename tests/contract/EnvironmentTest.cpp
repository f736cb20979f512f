// Contract of the environment and process calls.
#include "contract/ContractBackend.h"

#include "Environment.h"
#include "Files.h"
#include "Processes.h"

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
        {"%NIMBREL_NO_SUCH_VARIABLE%", "%NIMBREL_NO_SUCH_VARIABLE%"},
        {"a%NIMBREL_NO_SUCH%PATH%b", "a%NIMBREL_NO_SUCH%PATH%b"},
        {"%NIMBREL_NO_SUCH%%PATH%", "%NIMBREL_NO_SUCH%" + path},
        {"100%", "100%"},
    };
    for (const auto& row : rows) {
        std::string expanded = "kumquat";
        EXPECT_TRUE(plat::ExpandEnvironment(row.first, expanded)) << row.first;
        EXPECT_EQ(row.second, expanded) << row.first;
    }
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
    // Windows Live Mail keeps its store in the local folder, which is not the roaming one.
    std::string localAppData = "kumquat";
    ASSERT_TRUE(plat::LocalAppDataFolder(localAppData));
    ASSERT_LT(1u, localAppData.size());
    EXPECT_NE('\\', localAppData.back());
    EXPECT_NE('/', localAppData.back());
    EXPECT_NE(appData, localAppData);
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

    std::string upper = own;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    EXPECT_TRUE(plat::IsProcessRunning(own));
    EXPECT_TRUE(plat::IsProcessRunning(upper));
    EXPECT_FALSE(plat::IsProcessRunning("nimbrel-no-such-program.exe"));
}

} // namespace
