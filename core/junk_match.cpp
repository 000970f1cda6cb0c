#include "core/junk_match.h"

namespace core {

bool JunkPatternMatches(const std::string& pattern, const std::string& name) {
    if (pattern.find('*') == std::string::npos) return pattern == name;
    if (pattern.compare(0, 2, "*.") == 0) return pattern.compare(1, std::string::npos, NameExtension(name)) == 0;
    return false;
}

std::string NameExtension(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

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
