#pragma once
// The double-cage circuit evaluated apart from the fit's own code: the formulas as written, in
// std::complex<long double>, from the data set's fields, and the breakdown torque by a dense scan.

#include <cmath>
#include <complex>
#include <numbers>

#include "Identification.h"
#include "MotorDataSet.h"

struct ReferenceModel {
    using C = std::complex<long double>;
    const MotorDataValues& m;

    C Zs() const { return {m.Rs, m.Xssigma}; }
    C JXh() const { return {0, m.Xh}; }
    C Zm() const { return (long double)m.Riron * JXh() / ((long double)m.Riron + JXh()); }
    C Zr(long double s) const {
        const C z1(m.Rr / s, m.Xrsigma), z2(m.Rr2 / s, m.Xr2sigma);
        return z1 * z2 / (z1 + z2);
    }
    C Current(long double s) const { return (long double)m.PhaseVoltage / (Zs() + Zm() * Zr(s) / (Zm() + Zr(s))); }
    long double Torque(long double s) const {
        const C zth = JXh() * Zs() / (Zs() + JXh());
        const long double uth = std::abs(JXh() / (Zs() + JXh())) * m.PhaseVoltage;
        const long double ws = 2 * std::numbers::pi_v<long double> * m.SynchronousSpeed;
        return 3 * uth * uth * Zr(s).real() / (std::norm(zth + Zr(s)) * ws);
    }
    long double RatedSlip() const { return 1 - m.RatedSpeed / (60.0L * m.SynchronousSpeed); }

    // The largest torque over [s_N, 1]: 20 000 slips evenly in log s, s = 1 among them, the best
    // refined by golden sections between its neighbours.
    long double Breakdown(long double* at = nullptr) const {
        constexpr int N = 20000;
        const long double lo = std::log(RatedSlip());
        int best = N;
        long double bestT = Torque(1);
        for (int i = 0; i < N; ++i) {
            const long double t = Torque(std::exp(lo * (N - i) / N));
            if (t > bestT) bestT = t, best = i;
        }
        long double a = lo * (N - std::max(best - 1, 0)) / N, b = lo * (N - std::min(best + 1, N)) / N;
        const long double g = (std::sqrt(5.0L) - 1) / 2;
        for (int it = 0; it < 200 && best < N; ++it) {
            const long double c = b - g * (b - a), d = a + g * (b - a);
            if (Torque(std::exp(c)) > Torque(std::exp(d))) b = d; else a = c;
        }
        const long double s = best < N ? std::exp((a + b) / 2) : 1;
        if (at) *at = s;
        return std::max(bestT, Torque(s));
    }

    // Model over target minus 1 in the order of DatasheetFit::Deviations.
    std::array<long double, 6> Deviations() const {
        const long double sN = RatedSlip();
        const C i = Current(sN);
        const long double in = m.PhaseCurrent, tn = m.RatedTorque;
        return {std::abs(i) / in - 1,
                i.real() / std::abs(i) / m.PowerFactor - 1,
                Torque(sN) / tn - 1,
                Torque(1) / (m.LockedRotorTorqueRatio * tn) - 1,
                std::abs(Current(1)) / (m.LockedRotorCurrentRatio * in) - 1,
                Breakdown() / (m.BreakdownTorqueRatio * tn) - 1};
    }
};

// A data sheet's motor: nameplate (kW, V, A, cos phi, rpm, star) and Ia/In, Ta/Tn, Tk/Tn at 50 Hz.
struct Sheet {
    double kilowatts, volts, amps, powerFactor, rpm;
    bool star;
    double ia, ta, tk;
};

inline MotorDataSet DatasheetMotor(const Sheet& s, FitPriority priority = FitPriority::Torque) {
    MotorDataSet ds;
    ds.MechanicalPower = s.kilowatts * 1000;
    ds.LineVoltage = s.volts;
    ds.LineCurrent = s.amps;
    ds.PowerFactor = s.powerFactor;
    ds.Frequency = 50;
    ds.RatedSpeed = s.rpm;
    ds.StarCoupling = s.star;
    ds.LockedRotorCurrentRatio = s.ia;
    ds.LockedRotorTorqueRatio = s.ta;
    ds.BreakdownTorqueRatio = s.tk;
    ds.Priority = priority;
    DeriveRatedValues(ds);
    return ds;
}

// The 4 kW motor of the benchmarks: with Ia/In 5.5 it has an exact circuit, with 6.4 a best fit.
constexpr Sheet FourKilowatt{4, 400, 8.5, 0.82, 1430, true, 5.5, 2.5, 2.9};
constexpr Sheet FourKilowattTypical{4, 400, 8.5, 0.82, 1430, true, 6.4, 2.5, 2.9};
