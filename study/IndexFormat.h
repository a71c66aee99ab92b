#pragma once
// Texts of the index fields.

#include <string>

namespace uroflow {

// Fixed-point text of `value` with `decimals` decimals and `separator` as decimal
// separator. The value is rounded once, at the coarser of the given decimals and
// 4 significant digits, ties away from zero; trailing zeros are kept. More than 4
// digits before the separator give the scientific form "1,235E+004".
std::string formatIndex(double value, int decimals, const std::string& separator);

}  // namespace uroflow
