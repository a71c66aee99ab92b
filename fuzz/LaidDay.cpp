#include "fuzz/LaidDay.h"

namespace uroflow::fuzz {

Day& LaidDay::load(std::span<const std::uint8_t> bytes) {
    memory_.clear();
    memory_.put(0, bytes);
    day_->loadImage(memory_.image());
    day_->scan(kFileScan);
    return *day_;
}

}  // namespace uroflow::fuzz
