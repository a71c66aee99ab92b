#pragma once
// Errors of the run-time layer: the exception carries the exact text the user sees
// in the general error box.

#include <stdexcept>
#include <string>

namespace uroflow {

class RuntimeError : public std::runtime_error {
  public:
    explicit RuntimeError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace uroflow
