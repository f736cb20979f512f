// The adapters that the product puts into the catalogue's slots.
#pragma once

#include "core/MailClient.h"

// The adapter of slot index (CLIENT_*), null for an index without one or when it cannot be made. The
// catalogue's factory in the program.
CMailClient* CreateDefaultClient(int index);
