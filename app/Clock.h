#pragma once
// Seam for the current date and time, and a clock for measuring time spans.

#include <QDateTime>
#include <cstdint>

namespace uroflow {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds from an arbitrary start; never jumps when the date is set.
    virtual std::int64_t steadyMs() const = 0;
};

}  // namespace uroflow
