// Fresh folders for contract tests, named the same way on both backends.
#pragma once

#include <string>

namespace contract {

// Creates a new empty folder below the temporary folder and returns its path with a trailing backslash, so
// that tests compose paths with "\\" on both backends. Empty on failure.
std::string MakeTestFolder(const char* tag);
// Removes a folder made by MakeTestFolder with everything in it.
void RemoveTestFolder(const std::string& folder);
// Makes one folder (its parent must exist); false on failure.
bool MakeFolder(const std::string& path);
// Writes bytes to a file as they are; false on failure.
bool WriteTestFile(const std::string& path, const std::string& bytes);

} // namespace contract
