// FindRunningClients: which of the e-mail clients about to be changed have a process running now.
#pragma once

#include "core/ClientCatalogue.h"

// Takes one process snapshot and marks in running each concerned client (one flag per catalogue index) whose
// program file name, compared without regard to case, is that of a running process. Returns how many are
// running; 0 when no snapshot could be taken.
int FindRunningClients(const CClientCatalogue& clients, const BOOL concerned[CLIENT_COUNT],
                       BOOL running[CLIENT_COUNT]);
