#pragma once
// A failure of the patient archive, with the Russian text the user is shown.

#include <stdexcept>
#include <string>

namespace uroflow {

class ArchiveError : public std::runtime_error {
  public:
    explicit ArchiveError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace uroflow
