// CFuzzInput: a fuzzer's input taken apart into the choices and texts a target needs, front to back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CFuzzInput
{
public:
    CFuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // The next byte, 0 once the input is used up.
    uint8_t Byte();
    // A number below limit (limit > 0) from the next byte.
    size_t Choice(size_t limit) { return Byte() % limit; }
    // A text ended by the byte 0xFF or by the end of the input, at most maxLength bytes long.
    std::string Text(size_t maxLength);
    // Everything not taken yet.
    std::string Rest();
    bool Empty() const { return m_pos >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
