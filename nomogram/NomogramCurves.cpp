#include "nomogram/NomogramCurves.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace uroflow {
namespace {

constexpr std::optional<double> kOpen;  // upper curve at or above 50 ml/s

constexpr CurveRow kWoman[] = {
    {25, 14.7, 8.0, 4.3},     {50, 20.3, 10.9, 5.9},    {75, 25.2, 13.7, 7.6},
    {100, 29.2, 16.1, 9.0},   {125, 32.6, 18.3, 10.2},  {150, 35.6, 20.3, 11.3},
    {175, 38.2, 21.9, 12.3},  {200, 40.8, 23.4, 13.1},  {225, 43.2, 24.9, 14.0},
    {250, 45.4, 26.2, 14.7},  {275, 47.7, 27.6, 15.4},  {300, kOpen, 28.8, 16.1},
    {325, kOpen, 30.0, 16.9}, {350, kOpen, 31.2, 17.6}, {375, kOpen, 32.4, 18.1},
    {400, kOpen, 33.6, 18.8}, {425, kOpen, 34.6, 19.3}, {450, kOpen, 35.7, 20.0},
    {475, kOpen, 36.7, 20.6},
};

constexpr CurveRow kMan49[] = {
    {75, 19.5, 13.7, 8.0},   {100, 23.5, 17.5, 12.1}, {125, 27.2, 21.0, 15.7},
    {150, 30.8, 24.2, 18.9}, {175, 34.0, 27.3, 21.8}, {200, 37.1, 30.2, 24.3},
    {225, 39.7, 32.7, 26.4}, {250, 42.1, 34.8, 28.1}, {275, 44.2, 36.7, 29.3},
    {300, 45.9, 38.2, 30.0}, {325, 47.3, 39.0, 30.3}, {350, 48.3, 39.6, 30.1},
    {375, 49.0, 39.7, 29.4}, {400, 49.4, 39.5, 28.4}, {425, 49.6, 38.9, 27.0},
    {450, 49.4, 38.1, 25.1}, {475, 49.0, 36.7, 23.0},
};

constexpr CurveRow kMan51[] = {
    {75, 13.4, 8.9, 4.8},    {100, 16.3, 11.6, 7.5},  {125, 19.1, 14.1, 9.7},
    {150, 21.8, 16.2, 11.5}, {175, 23.9, 18.0, 12.9}, {200, 25.8, 19.5, 13.8},
    {225, 27.2, 20.5, 14.2}, {250, 28.2, 21.1, 13.8}, {275, 28.9, 21.2, 13.1},
    {300, 29.4, 20.9, 11.7}, {325, 29.6, 20.3, 10.0}, {350, 29.5, 19.3, 8.0},
    {375, 29.1, 18.0, 5.6},
};

constexpr CurveRow kGirls[] = {
    {25, 12.8, 10.0, 7.1},   {50, 17.9, 14.0, 8.2},   {75, 22.6, 17.6, 9.4},
    {100, 26.9, 21.0, 10.4}, {125, 31.0, 24.3, 11.4}, {150, 34.5, 27.3, 12.4},
    {175, 37.9, 30.1, 13.3}, {200, 40.6, 32.5, 14.1}, {225, 43.1, 34.6, 14.9},
    {250, 45.0, 36.4, 15.7}, {275, 46.2, 37.8, 16.4}, {300, 47.0, 38.5, 17.0},
    {325, 47.2, 38.9, 17.7}, {350, 47.0, 38.6, 18.3}, {375, 46.4, 38.1, 18.8},
    {400, 45.3, 37.0, 19.4}, {425, 44.0, 35.5, 19.8}, {450, 42.1, 33.5, 20.4},
    {475, 39.9, 31.0, 20.8},
};

constexpr CurveRow kBoy[] = {
    {25, 14.2, 8.7, 5.2},    {50, 17.5, 12.1, 7.2},   {75, 20.7, 15.3, 9.0},
    {100, 23.7, 18.3, 10.7}, {125, 26.4, 21.0, 12.4}, {150, 29.1, 23.7, 14.0},
    {175, 31.4, 26.0, 15.6}, {200, 33.5, 28.2, 17.0}, {225, 35.5, 30.1, 18.4},
    {250, 37.1, 31.6, 19.6}, {275, 38.3, 32.9, 20.7}, {300, 39.2, 33.8, 21.8},
    {325, 39.9, 34.5, 22.8}, {350, 40.4, 35.0, 23.8}, {375, 40.6, 35.2, 24.7},
    {400, 40.5, 35.2, 25.6},
};

const NomogramTable kTables[] = {
    {22, 498, kWoman}, {61, 380, kMan51}, {62, 498, kMan49}, {20, 479, kGirls}, {21, 419, kBoy},
};

// Upper curve points with the open entries continued along the straight line
// through the last two published values, so the band runs out through the top of
// the plot.
std::vector<double> upperValues(std::span<const CurveRow> rows) {
    std::vector<double> values;
    values.reserve(rows.size());
    const CurveRow* known[2] = {nullptr, nullptr};  // last two rows with a value
    for (const CurveRow& row : rows) {
        if (row.upper) {
            values.push_back(*row.upper);
            known[0] = known[1];
            known[1] = &row;
            continue;
        }
        if (!known[0]) throw std::logic_error("open upper curve without two known values");
        const double slope =
            (*known[1]->upper - *known[0]->upper) / (known[1]->volume - known[0]->volume);
        const double continued = *known[1]->upper + slope * (row.volume - known[1]->volume);
        values.push_back(std::max(continued, kOpenUpperMin));
    }
    return values;
}

NomogramCurveSet buildCurves(NomogramKind kind) {
    const NomogramTable& table = nomogramTable(kind);
    std::vector<double> volumes, middles, lowers;
    for (const CurveRow& row : table.rows) {
        volumes.push_back(row.volume);
        middles.push_back(row.middle);
        lowers.push_back(row.lower);
    }
    return {MonotoneCurve(volumes, upperValues(table.rows)), MonotoneCurve(volumes, middles),
            MonotoneCurve(volumes, lowers)};
}

}  // namespace

const NomogramTable& nomogramTable(NomogramKind kind) {
    return kTables[static_cast<int>(kind)];
}

MonotoneCurve::MonotoneCurve(std::vector<double> xs, std::vector<double> ys)
    : xs_(std::move(xs)), ys_(std::move(ys)) {
    const std::size_t n = xs_.size();
    if (n < 2 || ys_.size() != n) throw std::invalid_argument("curve needs two or more points");
    std::vector<double> secants(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (!(xs_[i + 1] > xs_[i])) throw std::invalid_argument("curve x values must ascend");
        secants[i] = (ys_[i + 1] - ys_[i]) / (xs_[i + 1] - xs_[i]);
    }
    slopes_.resize(n);
    slopes_.front() = secants.front();
    slopes_.back() = secants.back();
    for (std::size_t i = 1; i + 1 < n; ++i) {
        // A change of direction is a local extremum: a flat tangent keeps the
        // curve from overshooting the table values there.
        slopes_[i] = secants[i - 1] * secants[i] <= 0 ? 0 : (secants[i - 1] + secants[i]) / 2;
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (secants[i] == 0) {
            slopes_[i] = slopes_[i + 1] = 0;
            continue;
        }
        const double a = slopes_[i] / secants[i];
        const double b = slopes_[i + 1] / secants[i];
        const double r = a * a + b * b;
        if (r > 9) {
            const double tau = 3 / std::sqrt(r);
            slopes_[i] = tau * a * secants[i];
            slopes_[i + 1] = tau * b * secants[i];
        }
    }
}

double MonotoneCurve::operator()(double x) const {
    const std::size_t n = xs_.size();
    if (x <= xs_.front()) {
        return ys_[0] + (ys_[1] - ys_[0]) / (xs_[1] - xs_[0]) * (x - xs_[0]);
    }
    if (x >= xs_.back()) {
        return ys_[n - 1] +
               (ys_[n - 1] - ys_[n - 2]) / (xs_[n - 1] - xs_[n - 2]) * (x - xs_[n - 1]);
    }
    std::size_t i = 0;
    while (x > xs_[i + 1]) ++i;
    const double h = xs_[i + 1] - xs_[i];
    const double t = (x - xs_[i]) / h;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * ys_[i] + (t3 - 2 * t2 + t) * h * slopes_[i] +
           (-2 * t3 + 3 * t2) * ys_[i + 1] + (t3 - t2) * h * slopes_[i + 1];
}

const NomogramCurveSet& nomogramCurves(NomogramKind kind) {
    static const std::vector<NomogramCurveSet> sets = [] {
        std::vector<NomogramCurveSet> built;
        for (const NomogramKind k : kAllNomogramKinds) built.push_back(buildCurves(k));
        return built;
    }();
    return sets[static_cast<int>(kind)];
}

std::vector<BandSample> nomogramBand(NomogramKind kind, double step) {
    if (!(step > 0)) throw std::invalid_argument("band step must be positive");
    const NomogramTable& table = nomogramTable(kind);
    const NomogramCurveSet& curves = nomogramCurves(kind);
    const MonotoneCurve& upper = curves.upper;
    const MonotoneCurve& middle = curves.middle;
    const MonotoneCurve& lower = curves.lower;

    std::vector<BandSample> band;
    auto add = [&](double v) { band.push_back({v, upper(v), middle(v), lower(v)}); };
    for (int i = 0;; ++i) {
        const double v = table.startVolume + i * step;
        if (v >= table.endVolume) break;
        add(v);
    }
    add(table.endVolume);
    return band;
}

}  // namespace uroflow
