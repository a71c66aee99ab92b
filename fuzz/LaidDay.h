#pragma once
// The day model the report tool works on, kept between executions: an input laid into an
// otherwise unwritten memory, loaded and scanned as a study file is.

#include <cstdint>
#include <memory>
#include <span>

#include "day/Day.h"
#include "fuzz/LaidImage.h"

namespace uroflow::fuzz {

class LaidDay {
  public:
    // `bytes` laid from offset 0, loaded and scanned; valid until the next call.
    Day& load(std::span<const std::uint8_t> bytes);
    const Image& device() const { return memory_.image(); }
    // Frees what the day decoded for this input. libFuzzer runs an input a second time,
    // looking for a leak, whenever it allocated more than it freed; a day keeping its
    // drawings until the next input did so on every input with more studies than the last.
    void forget() { day_->dropStudies(); }

  private:
    LaidImage memory_;
    std::unique_ptr<Day> day_ = std::make_unique<Day>();
};

}  // namespace uroflow::fuzz
