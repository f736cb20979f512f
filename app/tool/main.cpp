// nimbrel-accounts: lists, configures and restores the e-mail accounts from a console, showing no window.
#include "app/tool/AccountsCommand.h"
#include "core/OriginalsJournal.h"
#include "settings/ProductSettings.h"
#include "settings/TextTable.h"

#include "Environment.h"

#include <iostream>

int main(int argc, char** argv)
{
    try {
        g_productSettings.Load();
        g_textTable.Locate(g_productSettings.InstallDir());
        g_originalsJournal.UseDefaultPath();
        std::vector<std::string> args;
        if (!plat::ProgramArguments(argc, argv, args)) {
            std::cerr << CAccountsCommand::UsageText();
            return TOOL_EXIT_USAGE;
        }
        CAccountsCommand command(std::cout, std::cerr);
        int rc = command.Run(args);
        std::cout.flush();
        return rc;
    } catch (const std::exception& e) {
        std::cerr << "nimbrel-accounts: " << e.what() << '\n';
        return TOOL_EXIT_NOT_ALL_DONE;
    }
}
