// FindRunningClients: one process snapshot compared with the clients' program names.
#include "ui/RunningClients.h"

#include "platform/Processes.h"

#include <windows.h>

int FindRunningClients(const CClientCatalogue& clients, const BOOL concerned[CLIENT_COUNT],
                       BOOL running[CLIENT_COUNT])
{
    for (int c = 0; c < CLIENT_COUNT; ++c)
        running[c] = FALSE;
    int count = 0;
    // A profile held open by a client started under another name (or a process list that cannot be read)
    // still tells that the client runs.
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        const CMailClient* client = concerned[c] ? clients.Client(c) : nullptr;
        if (client && client->IsStoreInUse()) {
            running[c] = TRUE;
            ++count;
        }
    }
    std::vector<std::string> processes;
    if (!plat::ListProcessNames(processes))
        return count;
    for (const std::string& process : processes) {
        for (int c = 0; c < CLIENT_COUNT; ++c) {
            const CMailClient* client = concerned[c] ? clients.Client(c) : nullptr;
            // A client whose program name is not known yet cannot be recognised by it.
            if (!client || client->ExeName().empty())
                continue;
            if (lstrcmpiA(process.c_str(), client->ExeName().c_str()) == 0) {
                if (!running[c])
                    ++count;
                running[c] = TRUE;
                break;
            }
        }
    }
    return count;
}
