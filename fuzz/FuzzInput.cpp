// CFuzzInput: a fuzzer's input taken apart into the choices and texts a target needs, front to back.
#include "FuzzInput.h"

uint8_t CFuzzInput::Byte()
{
    return m_pos < m_size ? m_data[m_pos++] : 0;
}

std::string CFuzzInput::Text(size_t maxLength)
{
    std::string text;
    while (m_pos < m_size && text.size() < maxLength) {
        uint8_t c = m_data[m_pos++];
        if (c == 0xFF)
            break;
        text += static_cast<char>(c);
    }
    return text;
}

std::string CFuzzInput::Rest()
{
    std::string rest(reinterpret_cast<const char*>(m_data) + m_pos, m_size - m_pos);
    m_pos = m_size;
    return rest;
}
