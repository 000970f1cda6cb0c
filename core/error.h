// The one error class of both programs: an exception that carries the text
// shown to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace core {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Ends the current action without a message.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "silent abort"; }
};

}  // namespace core
