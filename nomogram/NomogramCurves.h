#pragma once
// The published nomogram curves: for each nomogram three curves (upper U, middle M,
// lower L) of maximum flow rate (ml/s) against voided volume (ml), given at every
// 25 ml, and the smooth bands drawn between them.

#include <optional>
#include <span>
#include <vector>

namespace uroflow {

enum class NomogramKind { Woman, Man51, Man49, Girls, Boy };

inline constexpr NomogramKind kAllNomogramKinds[] = {NomogramKind::Woman, NomogramKind::Man51,
                                                     NomogramKind::Man49, NomogramKind::Girls,
                                                     NomogramKind::Boy};

// One row of the published table. An empty `upper` is an upper curve that has
// already left the plot (at or above 50 ml/s).
struct CurveRow {
    double volume = 0;
    std::optional<double> upper;
    double middle = 0;
    double lower = 0;
};

struct NomogramTable {
    double startVolume = 0;          // the bands begin here (a vertical outline closes them)
    double endVolume = 0;            // and end here
    std::span<const CurveRow> rows;  // ascending volumes, only where the bands exist
};

const NomogramTable& nomogramTable(NomogramKind kind);

// Upper curve values for rows whose upper curve has left the plot: the straight
// continuation of the last two known values, and never below this.
inline constexpr double kOpenUpperMin = 50.5;

struct BandSample {
    double volume = 0;
    double upper = 0;
    double middle = 0;
    double lower = 0;
};

// Monotone cubic interpolation through (xs[i], ys[i]), xs strictly ascending, at
// least two points; linear continuation outside [xs.front(), xs.back()].
class MonotoneCurve {
  public:
    MonotoneCurve(std::vector<double> xs, std::vector<double> ys);
    double operator()(double x) const;

  private:
    std::vector<double> xs_;
    std::vector<double> ys_;
    std::vector<double> slopes_;  // tangent at each point
};

// The three curves of one nomogram as functions of the volume (ml). Between table
// rows they are monotone cubic (Fritsch-Carlson) interpolants through the rows;
// before the first and after the last row they continue the straight line through
// the two nearest rows. The bands are drawn from these, and a point's zone is
// judged against them, so both always agree.
struct NomogramCurveSet {
    MonotoneCurve upper;
    MonotoneCurve middle;
    MonotoneCurve lower;
};

// Built once per nomogram.
const NomogramCurveSet& nomogramCurves(NomogramKind kind);

// The three curves sampled from the start to the end volume of the nomogram, every
// `step` ml plus the exact end volume.
std::vector<BandSample> nomogramBand(NomogramKind kind, double step = 1.0);

}  // namespace uroflow
