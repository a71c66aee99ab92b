#pragma once
// Seam for the current date and time.

#include <QDateTime>

namespace uroflow {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

}  // namespace uroflow
