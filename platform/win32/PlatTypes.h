// Platform types for the win32 backend: the real Windows headers.
#pragma once

#include <windows.h>
