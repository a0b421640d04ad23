// The case worked by hand in src/dynamics/README.md ("A case to check by hand"): every figure it
// gives is computed here, by hand from the identified circuit and by the library, and must stand
// in the README with the digits shown.

#include <cmath>
#include <complex>

#include "SimResultsSupport.h"

namespace {

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The section with every run of white space made one space, so that a figure may break a line.
std::string WorkedCase() {
    const std::string readme = ReadWholeFile(std::string(TARVELLO_SOURCE_DIR) + "/src/dynamics/README.md");
    const std::size_t start = readme.find("## A case to check by hand");
    EXPECT_NE(start, std::string::npos);
    const std::string section = readme.substr(start, readme.find("\n## ", start + 1) - start);
    std::string text;
    for (char c : section) {
        const bool space = c == ' ' || c == '\n';
        if (!space || (!text.empty() && text.back() != ' ')) text += space ? ' ' : c;
    }
    return text;
}

} // namespace

TEST(ReadmeWorkedCase, EveryFigureIsWhatTheProgramComputes) {
    using C = std::complex<double>;
    // The 4 kW reference motor in star with the fan load that has the rated torque at synchronous
    // speed, its circuit identified.
    MotorDataSet ds = ExampleFourKilowattMotor(true);
    const double fan = ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
    ds = ComputedFourKilowatt(fan);
    ASSERT_EQ(ds.Rs, ds.Rr);
    ASSERT_EQ(ds.Xssigma, ds.Xrsigma);

    // Standstill by hand.
    const C iron = 1.0 / (1.0 / C(ds.Riron, 0) + 1.0 / C(0, ds.Xh));
    const C rotorSide = 1.0 / (1.0 / iron + 1.0 / C(ds.Rr, ds.Xrsigma));
    const C zy = C(ds.Rs, ds.Xssigma) + rotorSide;

    // The network by the library.
    DynamicSettings weak;
    weak.Mechanical.MotorInertia = 0.12;
    weak.Network.Enabled = true;
    weak.Network.ShortCircuitPower = 10e6;
    weak.Network.SourceRX = 0.1;
    weak.Network.HasTransformer = true;
    weak.Network.TransformerPower = 25e3;
    weak.Network.TransformerUk = 4;
    weak.Network.TransformerUr = 2;
    const NetworkImpedances z = SupplyImpedances(weak.Network, ds);
    const C zk(z.Source.R, z.Source.X), zt(z.Transformer.R, z.Transformer.X), znet = zk + zt;
    EXPECT_EQ(z.Cable.R + z.Cable.X, 0.0);
    const double ratio = std::abs(zy / (zy + znet));
    const double phase = ds.LineVoltage / std::sqrt(3.0);

    // And the starts by the library, on the stiff supply and through the network.
    DynamicSettings stiff;
    stiff.Mechanical.MotorInertia = 0.12;
    DynamicResults onStiff, onWeak;
    ASSERT_EQ(ComputeDynamicStart(ds, stiff, onStiff, 0), 0);
    ASSERT_EQ(ComputeDynamicStart(ds, weak, onWeak, 0), 0);
    const StartOutcome& dol = onWeak.Dol;
    ASSERT_TRUE(dol.PeakLineCurrent && dol.RunUpTime && onStiff.Dol.RunUpTime);

    const double in = ds.LineCurrent;
    const std::string figures[] = {
        "Rs = R'r = " + Fixed(ds.Rs, 5) + " Ω",
        "Xsσ = X'rσ = " + Fixed(ds.Xssigma, 6) + " Ω",
        "Xh = " + Fixed(ds.Xh, 2) + " Ω",
        "Riron = " + Fixed(ds.Riron, 2) + " Ω",
        "Riron || jXh = " + Fixed(iron.real(), 5) + " + j" + Fixed(iron.imag(), 4) + " Ω",
        "it gives " + Fixed(rotorSide.real(), 5) + " + j" + Fixed(rotorSide.imag(), 6) + " Ω",
        "Zin(1) = Z_Y(1) = " + Fixed(zy.real(), 5) + " + j" + Fixed(zy.imag(), 5) +
            " Ω, |Z_Y| = " + Fixed(std::abs(zy), 5) + " Ω",
        "|Z_k| = 400² / 10⁷ = " + Fixed(std::abs(zk), 3) + " Ω",
        "X_k = 0.016 / √1.01 = " + Fixed(zk.imag(), 7) + " Ω",
        "R_k = " + Fixed(zk.real(), 8) + " Ω",
        "Transformer: 400² / 25 000 = " + Fixed(400.0 * 400.0 / 25e3, 1) +
            " Ω, |Z_T| = " + Fixed(std::abs(zt), 3) + " Ω, R_T = " + Fixed(zt.real(), 3) +
            " Ω, X_T = " + Fixed(zt.imag(), 6) + " Ω",
        "Z_net = " + Fixed(znet.real(), 6) + " + j" + Fixed(znet.imag(), 6) + " Ω",
        "|Z_Y / (Z_Y + Z_net)| = " + Fixed(std::abs(zy), 5) + " / " + Fixed(std::abs(zy + znet), 5) + " = " +
            Fixed(ratio, 6),
        "the dip at standstill is " + Fixed(100 * (1 - ratio), 3) + " %",
        "the motor sees " + Fixed(100 * ratio, 2) + " % of its rated voltage",
        "current falls from " + Fixed(phase / std::abs(zy), 3) + " A (" +
            Fixed(phase / std::abs(zy) / in, 3) + " In) to " + Fixed(phase, 3) +
            " / |Z_Y + Z_net| = " + Fixed(phase / std::abs(zy + znet), 3) + " A (" +
            Fixed(phase / std::abs(zy + znet) / in, 3) + " In)",
        "torque at standstill from " + Fixed(onStiff.Dol.StartingTorqueRatio, 3) + " Tn to " +
            Fixed(onStiff.Dol.StartingTorqueRatio, 3) + " × " + Fixed(ratio, 6) +
            "² = " + Fixed(onStiff.Dol.StartingTorqueRatio * ratio * ratio, 3) + " Tn",
        "`MaxVoltageDip` (" + Fixed(dol.MaxVoltageDip, 4) + " %), `MinMotorVoltage` (" +
            Fixed(dol.MinMotorVoltage, 3) + " %), `PeakLineCurrent` (" + Fixed(*dol.PeakLineCurrent, 3) +
            " A) and `StartingTorqueRatio` (" + Fixed(dol.StartingTorqueRatio, 4) + ")",
        "the run-up takes " + Fixed(*dol.RunUpTime, 4) + " s instead of " + Fixed(*onStiff.Dol.RunUpTime, 4) +
            " s on the stiff supply",
    };
    const std::string text = WorkedCase();
    for (const std::string& figure : figures)
        EXPECT_NE(text.find(figure), std::string::npos) << "the README does not say: " << figure;
}
