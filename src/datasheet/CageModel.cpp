#include "CageModel.h"

#include <boost/math/tools/minima.hpp>

#include <cmath>
#include <cstdint>
#include <limits>

namespace datasheet {

CageModel::CageModel(const CageCircuit& c, double U, double omegaS) : c_(c), U_(U) {
    zs_ = Cx(c.Rs, c.Xs);
    const Cx jxh(0, c.Xh);
    ym_ = Cx(1 / c.Rfe, -1 / c.Xh); // 1/Rfe = 0 for no iron loss at all
    const Cx sum = zs_ + jxh;
    zth_ = jxh * zs_ / sum;
    uth2_ = U * U * c.Xh * c.Xh / std::norm(sum);
    torqueScale_ = 3 * uth2_ / omegaS;
}

Cx CageModel::RotorAdmittance(double s) const {
    // 1/(R/s + jX) = s (R - j s X) / (R^2 + s^2 X^2): one real quotient per cage.
    const double sx1 = s * c_.X1, sx2 = s * c_.X2;
    const double g1 = s / (c_.R1 * c_.R1 + sx1 * sx1), g2 = s / (c_.R2 * c_.R2 + sx2 * sx2);
    return {g1 * c_.R1 + g2 * c_.R2, -(g1 * sx1 + g2 * sx2)};
}

double CageModel::Torque(double s) const {
    // Re(Zr) / |Zth + Zr|^2 = Re(Yr) / |1 + Zth Yr|^2, without a complex quotient.
    const Cx yr = RotorAdmittance(s);
    return torqueScale_ * yr.real() / std::norm(1.0 + zth_ * yr);
}

Cx CageModel::Current(double s) const {
    return U_ / (zs_ + 1.0 / (ym_ + RotorAdmittance(s)));
}

Peak CageModel::Maximum(double sLow) const {
    // Sampled evenly in log s, then every sampled hump refined: a hump of an RL circuit's torque
    // spans far more than one step (a factor of about 1.2 at the smallest rated slips), so none
    // falls between samples. Humps whose sample is well below the best cannot overtake it.
    constexpr int Samples = 33;
    constexpr double Overtake = 0.97;
    const double ratio = std::pow(sLow, -1.0 / (Samples - 1));
    double x[Samples], t[Samples];
    int best = 0;
    for (int i = 0; i < Samples; ++i) {
        x[i] = i == 0 ? sLow : i == Samples - 1 ? 1.0 : x[i - 1] * ratio;
        t[i] = Torque(x[i]);
        if (t[i] > t[best]) best = i;
    }
    Peak peak{x[best], t[best]};
    const auto negative = [this](double s) { return -Torque(s); };
    for (int i = 0; i < Samples; ++i) {
        const bool hump = (i == 0 || t[i] >= t[i - 1]) && (i == Samples - 1 || t[i] >= t[i + 1]);
        if (!hump || t[i] < Overtake * t[best]) continue;
        std::uintmax_t iterations = 60;
        const auto [s, negT] = boost::math::tools::brent_find_minima(
            negative, x[i > 0 ? i - 1 : 0], x[i < Samples - 1 ? i + 1 : i], std::numeric_limits<double>::digits / 2,
            iterations);
        if (-negT > peak.torque) peak = {s, -negT};
    }
    return peak;
}

std::optional<double> CompleteMagnetisingBranch(CageCircuit& c, const Targets& t) {
    const Cx in(t.I * t.cosPhi, -t.I * t.sinPhi);
    const Cx e = t.U - Cx(c.Rs, c.Xs) * in;
    const Cx z1(c.R1 / t.sN, c.X1), z2(c.R2 / t.sN, c.X2);
    const Cx ym = in / e - (z1 + z2) / (z1 * z2);
    if (!(ym.imag() < 0)) return std::nullopt;
    c.Rfe = 1 / ym.real();
    c.Xh = -1 / ym.imag();
    return c.Xh * ym.real();
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
