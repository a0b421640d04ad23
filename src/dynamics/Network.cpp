// The supply network's impedances, star-equivalent per phase at the motor's voltage level.

#include <cmath>

#include "Dynamics.h"

namespace {
constexpr double CopperResistivity = 0.0178;    // ohm mm2 / m
constexpr double AluminiumResistivity = 0.0286; // ohm mm2 / m
} // namespace

NetworkImpedances SupplyImpedances(const SupplyNetwork& network, const MotorDataSet& ds) {
    NetworkImpedances z;
    z.SourceVoltage = network.SourceVoltage ? *network.SourceVoltage : ds.LineVoltage;
    if (!network.Enabled) return z;
    const double u2 = z.SourceVoltage * z.SourceVoltage;
    if (network.ShortCircuitPower) {
        const double zk = u2 / *network.ShortCircuitPower;
        z.Source.X = zk / std::sqrt(1 + network.SourceRX * network.SourceRX);
        z.Source.R = network.SourceRX * z.Source.X;
    }
    if (network.HasTransformer) {
        const double base = u2 / network.TransformerPower;
        const double zt = network.TransformerUk / 100 * base;
        z.Transformer.R = network.TransformerUr / 100 * base;
        // u_R = u_k leaves no reactance; rounding must not make the difference negative.
        z.Transformer.X = std::sqrt(std::max(0.0, zt * zt - z.Transformer.R * z.Transformer.R));
    }
    if (network.HasCable) {
        const double rho =
            network.Material == CableMaterial::Copper ? CopperResistivity : AluminiumResistivity;
        const double runs = network.CableParallel;
        z.Cable.R = rho * network.CableLength / (network.CableSection * runs);
        z.Cable.X = network.CableReactance * network.CableLength / (1000 * runs);
    }
    return z;
}
