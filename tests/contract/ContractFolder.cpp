// Fresh folders for contract tests: made below the platform's temporary folder, removed with their content.
#include "contract/ContractFolder.h"

#include "Environment.h"
#include "Files.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace contract {

namespace {

// Both backends accept '/' from std::filesystem, and only Windows reads '\\' as a separator.
std::filesystem::path FsPath(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return std::filesystem::path(path);
}

} // namespace

void CFolderTest::SetUp()
{
    std::string temp;
    ASSERT_TRUE(plat::TempFolder(temp) && !temp.empty());
    static unsigned counter = 0;
    auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    m_folder =
        temp + "nimbrel-contract-" + std::to_string(stamp % 1000000007ull) + "-" + std::to_string(++counter);
    ASSERT_TRUE(MakeFolder(m_folder)) << m_folder;
    m_folder += "\\";
}

void CFolderTest::TearDown()
{
    std::error_code error;
    if (!m_folder.empty())
        std::filesystem::remove_all(FsPath(m_folder), error);
}

bool MakeFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::create_directory(FsPath(path), error) && !error;
}

bool AgeTestFile(const std::string& path, int seconds)
{
    std::error_code error;
    const std::filesystem::file_time_type written = std::filesystem::last_write_time(FsPath(path), error);
    if (error)
        return false;
    std::filesystem::last_write_time(FsPath(path), written - std::chrono::seconds(seconds), error);
    return !error;
}

bool WriteTestFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::string Content(const std::string& path)
{
    std::string bytes = "<no file>";
    plat::ReadWholeFile(path.c_str(), bytes);
    return bytes;
}

} // namespace contract
