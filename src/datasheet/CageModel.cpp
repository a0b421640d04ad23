#include "CageModel.h"

#include <boost/math/tools/minima.hpp>

#include <cmath>
#include <cstdint>
#include <limits>

namespace datasheet {

CageModel::CageModel(const CageCircuit& c, double U, double omegaS) : c_(c), U_(U) {
    zs_ = Cx(c.Rs, c.Xs);
    const Cx jxh(0, c.Xh);
    zm_ = c.Rfe * jxh / (c.Rfe + jxh);
    const Cx sum = zs_ + jxh;
    zth_ = jxh * zs_ / sum;
    uth2_ = U * U * c.Xh * c.Xh / std::norm(sum);
    torqueScale_ = 3 * uth2_ / omegaS;
}

Cx CageModel::RotorImpedance(double s) const {
    const Cx z1(c_.R1 / s, c_.X1), z2(c_.R2 / s, c_.X2);
    return z1 * z2 / (z1 + z2);
}

double CageModel::Torque(double s) const {
    const Cx zr = RotorImpedance(s);
    return torqueScale_ * zr.real() / std::norm(zth_ + zr);
}

Cx CageModel::Current(double s) const {
    const Cx zr = RotorImpedance(s);
    return U_ / (zs_ + zm_ * zr / (zm_ + zr));
}

Peak CageModel::Maximum(double sLow) const {
    // Sampled evenly in log s, then every sampled hump refined: a hump of an RL circuit's torque
    // spans far more than one step (a factor of about 1.2 at the smallest rated slips), so none
    // falls between samples. Humps whose sample is well below the best cannot overtake it.
    constexpr int Samples = 33;
    constexpr double Overtake = 0.97;
    const double a = std::log(sLow);
    double x[Samples], t[Samples];
    int best = 0;
    for (int i = 0; i < Samples; ++i) {
        x[i] = a * (Samples - 1 - i) / (Samples - 1);
        t[i] = Torque(i == 0 ? sLow : i == Samples - 1 ? 1.0 : std::exp(x[i]));
        if (t[i] > t[best]) best = i;
    }
    Peak peak{best == 0 ? sLow : best == Samples - 1 ? 1.0 : std::exp(x[best]), t[best]};
    const auto negative = [this](double lx) { return -Torque(std::exp(lx)); };
    for (int i = 0; i < Samples; ++i) {
        const bool hump = (i == 0 || t[i] >= t[i - 1]) && (i == Samples - 1 || t[i] >= t[i + 1]);
        if (!hump || t[i] < Overtake * t[best]) continue;
        const double lo = x[i > 0 ? i - 1 : 0], hi = x[i < Samples - 1 ? i + 1 : i];
        std::uintmax_t iterations = 60;
        const auto [lx, negT] = boost::math::tools::brent_find_minima(
            negative, lo, hi, std::numeric_limits<double>::digits / 2, iterations);
        if (-negT > peak.torque) peak = {std::exp(lx), -negT};
    }
    return peak;
}

bool CompleteMagnetisingBranch(CageCircuit& c, const Targets& t) {
    const Cx in(t.I * t.cosPhi, -t.I * t.sinPhi);
    const Cx e = t.U - Cx(c.Rs, c.Xs) * in;
    const Cx z1(c.R1 / t.sN, c.X1), z2(c.R2 / t.sN, c.X2);
    const Cx ym = in / e - (z1 + z2) / (z1 * z2);
    if (!(ym.real() > 0 && ym.imag() < 0)) return false;
    c.Rfe = 1 / ym.real();
    c.Xh = -1 / ym.imag();
    return true;
}

Measured MeasureAtSlip(const CageCircuit& c, const Targets& t, double peakSlip) {
    const CageModel m(c, t.U, t.omegaS);
    return {m.Torque(t.sN), m.Torque(1), std::abs(m.Current(1)), m.Torque(peakSlip), peakSlip};
}

Measured Measure(const CageCircuit& c, const Targets& t) {
    const CageModel m(c, t.U, t.omegaS);
    const Peak peak = m.Maximum(t.sN);
    return {m.Torque(t.sN), m.Torque(1), std::abs(m.Current(1)), peak.torque, peak.slip};
}

} // namespace datasheet
