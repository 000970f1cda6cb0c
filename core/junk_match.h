// The scan's name test of one junk pattern and its reading of a folder
// entry's attribute word.
#pragma once

#include <cstdint>
#include <string>

namespace core {

// Whether Name matches one junk pattern. Only two forms match anything: a
// pattern without "*" must equal the name exactly, and "*.ext" must equal
// the name's extension exactly; case counts in both. Every other "*" makes
// the pattern match nothing, and "?" is an ordinary character.
bool JunkPatternMatches(const std::string& pattern, const std::string& name);

// The text from the last "." of the name to its end, dot included; empty
// when the name has no dot.
std::string NameExtension(const std::string& name);

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
