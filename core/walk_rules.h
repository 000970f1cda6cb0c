// How the scan's walk reads a folder entry: the attribute values it shows and
// enters, and the lower-casing of its Windows-folder test.
#pragma once

#include <cstdint>
#include <string>

namespace core {

// The attribute word is compared as a whole with a short list of values,
// not bit by bit: a listed entry is shown while the walk passes it.
bool IsListedAttributeValue(uint32_t attributes);
// The listed values that may lead into a folder. Anything else is never
// entered, among them 0x11 (read-only folder) and every reparse point, so
// a junction or link cannot lead the walk round in a loop.
bool LeadsIntoFolder(uint32_t attributes);

// Lower-cases A to Z only, whatever the code page.
std::string AsciiLower(std::string text);

}  // namespace core
