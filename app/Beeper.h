#pragma once
// Seam for the system's default beep.

namespace uroflow {

class Beeper {
  public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

}  // namespace uroflow
