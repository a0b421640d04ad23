// The overload relay's trip classes and closed forms.

#include "Protection.h"

#include <cmath>

#include "MotorDataSet.h"

namespace {
struct ClassRow {
    TripClass tripClass;
    const char* key;
    TripBand band;
};
// IEC 60947-4-1: the cold trip time at 7.2 Ir of each class, s.
constexpr ClassRow Classes[TripClassCount] = {
    {TripClass::Class10A, "10A", {2, 10}},
    {TripClass::Class10, "10", {4, 10}},
    {TripClass::Class20, "20", {6, 20}},
    {TripClass::Class30, "30", {9, 30}},
};
} // namespace

const char* TripClassKey(TripClass tripClass) {
    return Classes[static_cast<int>(tripClass)].key;
}

std::optional<TripClass> TripClassOfKey(std::string_view key) {
    for (const ClassRow& row : Classes)
        if (key == row.key) return row.tripClass;
    return std::nullopt;
}

TripBand ClassBand(TripClass tripClass) {
    return Classes[static_cast<int>(tripClass)].band;
}

double RelayTimeConstant(double t72) {
    const double x2 = ClassCurrentMultiple * ClassCurrentMultiple, k2 = RelayTripLevel * RelayTripLevel;
    // ln(x² / (x² − k²)) = −ln(1 − k²/x²), without the cancellation of the quotient.
    return t72 / -std::log1p(-k2 / x2);
}

std::optional<double> RelayTripTime(double tau, double x, double theta0) {
    const double x2 = x * x, k2 = RelayTripLevel * RelayTripLevel;
    if (!(x2 > k2)) return std::nullopt;
    // ln((x² − θ0) / (x² − k²)) = ln(1 + (k² − θ0) / (x² − k²)).
    return tau * std::log1p((k2 - theta0) / (x2 - k2));
}

double UsedRelaySetting(const ProtectionSettings& protection, const MotorDataSet& ds) {
    return protection.RelaySetting ? *protection.RelaySetting : ds.LineCurrent;
}
