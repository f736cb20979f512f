// FindRunningClients: which of the e-mail clients about to be changed have a process running now.
#pragma once

#include "core/ClientCatalogue.h"

// Takes one process snapshot and marks in running each concerned client (one flag per catalogue index) whose
// program file name, compared without regard to case, is that of a running process, or which holds one of
// its stores open (CMailClient::IsStoreInUse). Returns how many are running; without a snapshot only the
// latter are found.
int FindRunningClients(const CClientCatalogue& clients, const BOOL concerned[CLIENT_COUNT],
                       BOOL running[CLIENT_COUNT]);
