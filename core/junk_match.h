// The scan's name test: whether a folder entry's name matches a junk pattern.
#pragma once

#include <cstddef>
#include <string_view>

namespace core {

// The name of one folder entry, ready to be tested against every row of the
// junk list: its last dot is found once, and each test compares in place,
// so the test of a row copies nothing.
class JunkName {
public:
    explicit JunkName(std::string_view name) : name_(name) {
        size_t dot = name.rfind('.');
        if (dot != std::string_view::npos) extension_ = name.substr(dot);
    }

    // Whether the pattern matches the name. Only two forms match anything: a
    // pattern without "*" must equal the name exactly, and "*.ext" must equal
    // the name's extension exactly; case counts in both. Every other "*" makes
    // the pattern match nothing, and "?" is an ordinary character.
    bool MatchedBy(std::string_view pattern) const {
        if (pattern.size() >= 2 && pattern[0] == '*' && pattern[1] == '.')
            return Same(pattern.substr(1), extension_);
        return Same(pattern, name_) && pattern.find('*') == std::string_view::npos;
    }

    // The text from the last "." of the name to its end, dot included; empty
    // when the name has no dot.
    std::string_view Extension() const { return extension_; }

private:
    // Compared here rather than by the C library: the texts are a few
    // characters long, and a library call per row would cost more than the
    // compare.
    static bool Same(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i]) return false;
        return true;
    }

    std::string_view name_;
    std::string_view extension_;
};

}  // namespace core
