// Fresh folders for contract tests: made below the platform's temporary folder, removed with their content.
#include "contract/ContractFolder.h"

#include "Environment.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace contract {

namespace {

// Both backends accept '/' from std::filesystem, and only Windows reads '\\' as a separator.
std::filesystem::path FsPath(const std::string& path)
{
    std::string slashed = path;
    for (char& c : slashed) {
        if (c == '\\')
            c = '/';
    }
    return std::filesystem::path(slashed);
}

} // namespace

std::string MakeTestFolder(const char* tag)
{
    std::string temp;
    if (!plat::TempFolder(temp) || temp.empty())
        return std::string();
    static unsigned counter = 0;
    auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string folder = temp + "nimbrel-contract-" + tag + "-" + std::to_string(stamp % 1000000007ull) +
                             "-" + std::to_string(++counter);
        std::error_code error;
        if (std::filesystem::create_directory(FsPath(folder), error) && !error)
            return folder + "\\";
    }
    return std::string();
}

void RemoveTestFolder(const std::string& folder)
{
    if (folder.empty())
        return;
    std::error_code error;
    std::filesystem::remove_all(FsPath(folder), error);
}

bool MakeFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::create_directory(FsPath(path), error) && !error;
}

bool WriteTestFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

} // namespace contract
