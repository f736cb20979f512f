// Values of the stores that the older clients keep in the system's ANSI code page (their profile files,
// The Bat!'s account.cfg): the program holds them in UTF-8 and writes them back converted.
#pragma once

#include "PlatTypes.h"

#include <string>

// TRUE when text goes back into a code-page file exactly. A value read with a byte the code page leaves
// undefined (read as U+FFFD) or holding a letter beyond it does not: its account is left alone, never
// written back changed.
BOOL HoldsInCodePage(const std::string& text);
