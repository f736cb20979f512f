// The accounts of the catalogue as one JSON document, for scripts: what `list` shows, typed.
#pragma once

#include "core/ClientCatalogue.h"

#include <string>

// An array with one object per account of the loaded clients (only client clientFilter's when it is not
// -1), in UTF-8, ending with a newline.
std::string AccountsJson(const CClientCatalogue& catalogue, int clientFilter);
