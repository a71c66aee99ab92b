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

// A scaled value whose divisor is 0 (a calibration coefficient of 0).
inline constexpr char kDivisionByZeroText[] = "Floating point division by zero";

// A text that is no integer where one is needed.
inline RuntimeError notAnIntegerError(const std::string& text) {
    return RuntimeError("'" + text + "' is not a valid integer value");
}

}  // namespace uroflow
