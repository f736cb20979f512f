// FormatText: placeholder filling that never reads past its arguments.
#include "views/TextFormat.h"

std::string FormatText(const std::string& format, std::initializer_list<std::string> arguments)
{
    std::string result;
    auto next = arguments.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        char following = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c == '%' && following == '%') {
            result += '%';
            ++i;
        } else if (c == '%' && (following == 's' || following == 'i' || following == 'd')) {
            if (next != arguments.end())
                result += *next++;
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}
