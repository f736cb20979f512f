// What a contract test needs from the backend under test that the platform headers do not say.
#pragma once

#include <string>

namespace contract {

// The file name of this test program as the process list shows it; the portable backend's scripted list is
// made to hold it first.
std::string OwnProcessName();

} // namespace contract
