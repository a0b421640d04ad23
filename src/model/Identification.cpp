#include "Identification.h"

#include <cmath>

namespace {
const Extended OneSixtieth = 1.0L / 60.0L; // slightly above 1/60: x.5 pole-pair quotients round down
const Extended TwoPi = 6.283185307179586L;
const Extended OneThird = 1.0L / 3.0L;
const Extended OneSixth = 1.0L / 6.0L;

double Store(Extended v) { return static_cast<double>(v); }
Extended Sqr(Extended v) { return v * v; }
} // namespace

void DeriveRatedValues(MotorDataSet& ds) {
    const Extended sqrt3 = std::sqrt(3.0L);
    // Default rounding mode: to nearest, an exact half to the even neighbour.
    ds.PairOfPoles = Store(std::nearbyint(ds.Frequency / (ds.RatedSpeed * OneSixtieth)));
    ds.SynchronousSpeed = Store(static_cast<Extended>(ds.Frequency) / ds.PairOfPoles);
    if (ds.StarCoupling) {
        ds.PhaseVoltage = Store(ds.LineVoltage / sqrt3);
        ds.PhaseCurrent = ds.LineCurrent;
        ds.NoLoadPhaseCurrent = ds.NoLoadLineCurrent;
    } else {
        ds.PhaseCurrent = Store(ds.LineCurrent / sqrt3);
        ds.NoLoadPhaseCurrent = Store(ds.NoLoadLineCurrent / sqrt3);
        ds.PhaseVoltage = ds.LineVoltage;
    }
    ds.ElectricalPower = Store(3.0L * ds.PhaseVoltage * ds.PhaseCurrent * ds.PowerFactor);
    ds.RatedTorque = Store(ds.MechanicalPower / (ds.RatedSpeed * TwoPi * OneSixtieth));
    ds.Efficiency = Store(static_cast<Extended>(ds.MechanicalPower) / ds.ElectricalPower * 100.0L);
}

namespace {
// The reactive power at the rated point and its shares, with the magnetising reactance they give.
struct ReactiveShares {
    ReactivePowers powers;
    double xh = 0;
};

ReactiveShares ShareReactivePower(const MotorDataSet& ds) {
    const Extended uph = ds.PhaseVoltage, iph = ds.PhaseCurrent;
    ReactiveShares r;
    r.powers.radicand = Sqr(3.0L * uph * iph) - Sqr(ds.ElectricalPower);
    const double q = Store(std::sqrt(r.powers.radicand));
    r.powers.total = q;
    if (ds.ApproximationWithoutNoLoadCurrent) {
        const double magnetisingQ = Store(0.9L * q);
        r.xh = Store(3.0L * Sqr(uph) / magnetisingQ);
        r.powers.leakage = Store(0.1L * q);
    } else {
        r.xh = Store(uph / ds.NoLoadPhaseCurrent);
        const double magnetisingQ = Store(3.0L * Sqr(uph) / r.xh);
        r.powers.leakage = Store((static_cast<Extended>(q) - magnetisingQ) * 0.5L);
    }
    return r;
}
} // namespace

ReactivePowers IdentificationReactivePowers(const MotorDataSet& ds) { return ShareReactivePower(ds).powers; }

void IdentifyEquivalentDiagram(MotorDataSet& ds) {
    const Extended uph = ds.PhaseVoltage, iph = ds.PhaseCurrent;
    const double losses = Store(static_cast<Extended>(ds.ElectricalPower) - ds.MechanicalPower);
    const double copperLossShare = Store(losses * OneThird);
    const double ironLoss = Store(losses * OneSixth);
    ds.Rs = Store(copperLossShare / (3.0L * Sqr(iph)));
    ds.Rr = ds.Rs;
    ds.Riron = Store(3.0L * Sqr(uph) / ironLoss);
    const ReactiveShares shares = ShareReactivePower(ds);
    ds.Xh = shares.xh;
    if (ds.ApproximationWithoutNoLoadCurrent) {
        ds.NoLoadPhaseCurrent = Store(uph / ds.Xh);
        ds.NoLoadLineCurrent =
            ds.StarCoupling ? ds.NoLoadPhaseCurrent : Store(ds.NoLoadPhaseCurrent * std::sqrt(3.0L));
    }
    ds.Xssigma = Store(shares.powers.leakage / (3.0L * Sqr(iph)));
    ds.Xrsigma = ds.Xssigma;
    ds.Rr2 = ds.Xr2sigma = 0; // one cage
}
