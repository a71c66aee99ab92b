#pragma once
// Where a point lies against the curves of its nomogram.

#include <optional>

#include "nomogram/NomogramCurves.h"

namespace uroflow {

// Below the lower curve, in the lower (cream) band, in the upper (green) band, or
// above the upper curve. The bands hold their outer outlines (L and U); a point on
// the middle curve belongs to the upper band.
enum class NomogramZone { BelowL, LToM, MToU, AboveU };

// None when the volume lies outside the volumes the bands span, where the
// nomogram says nothing.
std::optional<NomogramZone> nomogramZone(NomogramKind kind, double volumeMl,
                                         double qmaxMlPerSecond);

// "below-L", "L-M", "M-U", "above-U": for reports and scripts.
const char* zoneCode(NomogramZone zone);
// "ниже L", "L–M", "M–U", "выше U" (UTF-8): as the doctor reads it.
const char* zoneText(NomogramZone zone);

}  // namespace uroflow
