// The row key: the 32-bit item value of an account's list row, client index high, account index low.
#pragma once

#include "PlatTypes.h"

inline DWORD MakeRowKey(int client, int account)
{
    return (static_cast<DWORD>(client & 0xFFFF) << 16) | static_cast<DWORD>(account & 0xFFFF);
}
inline int ClientOfRowKey(DWORD key)
{
    return static_cast<int>((key >> 16) & 0xFFFF);
}
inline int AccountOfRowKey(DWORD key)
{
    return static_cast<int>(key & 0xFFFF);
}
