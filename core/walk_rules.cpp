#include "core/walk_rules.h"

namespace core {

bool IsListedAttributeValue(uint32_t attributes) {
    switch (attributes) {
    case 0x10: case 0x02: case 0x04: case 0x80: case 0x100: case 0x12: case 0x13: case 0x20:
        return true;
    default:
        return false;
    }
}

bool LeadsIntoFolder(uint32_t attributes) {
    return attributes == 0x10 || attributes == 0x12 || attributes == 0x13;
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace core
