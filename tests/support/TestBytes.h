// Bytes written out by value in a test: stored forms compared byte for byte.
#pragma once

#include <initializer_list>
#include <string>

inline std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}
