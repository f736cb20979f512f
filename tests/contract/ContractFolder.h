// Fresh folders for contract tests, made and removed without the calls under test.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace contract {

// Makes one folder (its parent must exist); false on failure.
bool MakeFolder(const std::string& path);
// Writes bytes to a file as they are; false on failure.
bool WriteTestFile(const std::string& path, const std::string& bytes);
// Moves the file's last write time back by seconds; false on failure.
bool AgeTestFile(const std::string& path, int seconds);
// The file's bytes as the platform reads them, "<no file>" when it cannot.
std::string Content(const std::string& path);

// A new empty folder below the temporary folder, removed with its content after the test. Its path ends in a
// backslash, so that tests compose paths with "\\" on both backends.
class CFolderTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    std::string m_folder;
};

} // namespace contract
