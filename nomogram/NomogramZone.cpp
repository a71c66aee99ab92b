#include "nomogram/NomogramZone.h"

namespace uroflow {

std::optional<NomogramZone> nomogramZone(NomogramKind kind, double volumeMl,
                                         double qmaxMlPerSecond) {
    const NomogramTable& table = nomogramTable(kind);
    if (!(volumeMl >= table.startVolume && volumeMl <= table.endVolume)) return std::nullopt;
    const NomogramCurveSet& curves = nomogramCurves(kind);
    if (qmaxMlPerSecond < curves.lower(volumeMl)) return NomogramZone::BelowL;
    if (qmaxMlPerSecond < curves.middle(volumeMl)) return NomogramZone::LToM;
    if (qmaxMlPerSecond <= curves.upper(volumeMl)) return NomogramZone::MToU;
    return NomogramZone::AboveU;
}

const char* zoneCode(NomogramZone zone) {
    switch (zone) {
        case NomogramZone::BelowL:
            return "below-L";
        case NomogramZone::LToM:
            return "L-M";
        case NomogramZone::MToU:
            return "M-U";
        case NomogramZone::AboveU:
            return "above-U";
    }
    return "";
}

const char* zoneText(NomogramZone zone) {
    switch (zone) {
        case NomogramZone::BelowL:
            return "ниже L";
        case NomogramZone::LToM:
            return "L–M";
        case NomogramZone::MToU:
            return "M–U";
        case NomogramZone::AboveU:
            return "выше U";
    }
    return "";
}

}  // namespace uroflow
