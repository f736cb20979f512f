// OwnProcessName for the portable backend: a scripted process list that holds this program.
#include "contract/ContractBackend.h"

#include "PortableControl.h"

namespace contract {

std::string OwnProcessName()
{
    plat::portable::SetProcessNames({"[System Process]", "System", "explorer.exe", "contract_tests.exe"});
    return "contract_tests.exe";
}

} // namespace contract
