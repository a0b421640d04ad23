#pragma once
// The 4 kW, 400 V, 50 Hz, 1440 rpm motor that the worked examples use.

#include <cmath>
#include <complex>
#include <numbers>
#include <utility>

#include "ExampleMotor.h"

inline MotorDataSet FourKilowattMotor(bool star = true, bool approximate = false) {
    return ExampleFourKilowattMotor(star, approximate);
}

inline MotorDataSet IdentifiedFourKilowattMotor(bool star = true, bool approximate = false) {
    MotorDataSet ds = FourKilowattMotor(star, approximate);
    IdentifyEquivalentDiagram(ds);
    return ds;
}

// Relative comparison to the 6 significant digits the worked examples give.
#define EXPECT_SIG6(actual, expected) EXPECT_NEAR((actual), (expected), std::fabs(expected) * 6e-6)

// Double-cage circuits per winding on ExampleDoubleCageMotor's nameplate: its own, and two whose
// torque has two humps, the one near standstill higher (s = 0.087: 4.49 Tn, s = 0.742: 5.49 Tn)
// or lower (s = 0.111: 7.56 Tn, s = 0.971: 6.47 Tn).
struct CageCircuit {
    double rs, rr, xs, xr, xh, riron, rr2, xr2;
};
inline const CageCircuit DoubleCages[] = {{1.3, 1.7, 2.2, 3.6, 38, 700, 9, 1.1},
                                          {0.7, 0.3, 1.2, 3.4, 45, 700, 1.2, 0.5},
                                          {0.5, 0.25, 1.0, 1.4, 45, 700, 1.0, 0.2},
                                          {0, 0.4, 1.5, 2.5, 60, 1e5, 4, 0.4}};
inline MotorDataSet WithCircuit(const CageCircuit& c) {
    MotorDataSet ds = ExampleDoubleCageMotor();
    ds.Rs = c.rs, ds.Rr = c.rr, ds.Xssigma = c.xs, ds.Xrsigma = c.xr, ds.Xh = c.xh, ds.Riron = c.riron;
    ds.Rr2 = c.rr2, ds.Xr2sigma = c.xr2;
    return ds;
}

// Current and torque straight from the circuit's definitions in std::complex<long double>.
inline std::pair<long double, long double> Reference(const MotorDataSet& ds, long double s, long double u) {
    using C = std::complex<long double>;
    const auto parallel = [](C a, C b) { return a * b / (a + b); };
    const C zs(ds.Rs, ds.Xssigma), zh(0, ds.Xh), z1(ds.Rr / s, ds.Xrsigma), z2(ds.Rr2 / s, ds.Xr2sigma);
    const C zr = HasSecondCage(ds) ? parallel(z1, z2) : z1, zth = parallel(zh, zs);
    const long double uth = std::abs(zh / (zs + zh)) * u, ws = 2 * std::numbers::pi_v<long double> * ds.SynchronousSpeed;
    return {u / std::abs(zs + parallel(parallel(C(ds.Riron), zh), zr)), 3 * uth * uth * zr.real() / (std::norm(zth + zr) * ws)};
}

#ifndef EXPECT_REL
#define EXPECT_REL(actual, expected, tolerance) EXPECT_NEAR((actual), (expected), std::fabs(expected) * (tolerance))
#endif
