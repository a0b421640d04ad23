// A motor given by its data sheet, from fuzzed nameplates and ratios: the rated values dialog's checks
// and the double cage's identification either refuse it with a message in both languages and leave
// the circuit as it was, or give a circuit of positive, finite elements with its cages ordered, an
// exact fit that meets the data sheet, or a best fit within the IEC 60034-1 tolerances; the results
// computation on it then refuses or gives finite values, and no text shows a NaN or an infinity.

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "DatasheetMotor.h"
#include "ErrorMessages.h"
#include "FuzzCheck.h"
#include "SimJson.h"
#include "SimPanels.h"
#include "StartSimulation.h"

namespace {
// Near the typical value mostly (a real motor's spread), sometimes far from it or an edge.
double Value(FuzzedDataProvider& in, double typical) {
    switch (in.ConsumeIntegral<std::uint8_t>() % 6) {
    case 0:
        return typical;
    case 1:
    case 2:
        return typical * (0.6 + 0.8 * in.ConsumeProbability<double>());
    case 3:
        return typical * std::pow(10.0, in.ConsumeFloatingPointInRange(-6.0, 6.0));
    case 4: {
        const double edges[] = {0, -1, 1, 1.0000000001, 10, 20, 20.000001, DBL_MIN, 1e300};
        return edges[in.ConsumeIntegralInRange<std::size_t>(0, std::size(edges) - 1)];
    }
    default:
        return typical * (1 + (in.ConsumeProbability<double>() - 0.5) * 1e-3);
    }
}

std::string Describe(const MotorDataSet& d) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "P %.17g U %.17g I %.17g pf %.17g f %.17g n %.17g star %d | Ia %.17g Ta %.17g Tk %.17g "
                  "priority %d",
                  d.MechanicalPower, d.LineVoltage, d.LineCurrent, d.PowerFactor, d.Frequency, d.RatedSpeed,
                  d.StarCoupling, d.LockedRotorCurrentRatio, d.LockedRotorTorqueRatio, d.BreakdownTorqueRatio,
                  d.Priority == FitPriority::Current);
    return buf;
}

// "inf" or "nan" as a word of its own, in any case ("inférieur" is French, not a number).
void CheckText(const std::string& text, const MotorDataSet& ds) {
    const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || (c & 0x80); };
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        std::string word = text.substr(i, 3);
        for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (word != "inf" && word != "nan") continue;
        const bool alone = (i == 0 || !letter(text[i - 1])) && (i + 3 == text.size() || !letter(text[i + 3]));
        FUZZ_CHECK(!alone, "text shows %s: %s", word.c_str(), Describe(ds).c_str());
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    MotorDataSet ds;
    PresetStartInputs(ds);
    ds.MechanicalPower = Value(in, 4000);
    ds.LineVoltage = Value(in, 400);
    ds.LineCurrent = Value(in, 8.5);
    ds.PowerFactor = Value(in, 0.82);
    ds.Frequency = Value(in, 50);
    ds.RatedSpeed = Value(in, 1430);
    ds.StarCoupling = !in.ConsumeBool();
    ds.LockedRotorCurrentRatio = Value(in, 6.4);
    ds.LockedRotorTorqueRatio = Value(in, 2.5);
    ds.BreakdownTorqueRatio = Value(in, 2.9);
    ds.Priority = in.ConsumeBool() ? FitPriority::Current : FitPriority::Torque;
    ds.ApproximationWithoutNoLoadCurrent = true;

    const MotorDataSet before = ds;
    if (const Refusal r = ConfirmDatasheetMotor(ds)) {
        for (Language l : {Language::English, Language::French}) {
            const std::string text = ErrorText(r, l);
            FUZZ_CHECK(!text.empty() && text.find("%1") == std::string::npos && text.find("%2") == std::string::npos,
                       "refusal %d without its text: %s", r.number, Describe(ds).c_str());
            CheckText(text, ds);
        }
        FUZZ_CHECK(ds.Rs == before.Rs && ds.Rr2 == before.Rr2 && ds.Fit.Kr == before.Fit.Kr,
                   "refusal %d changed the circuit: %s", r.number, Describe(ds).c_str());
        return 0;
    }
    for (double e : {ds.Rs, ds.Rr, ds.Xssigma, ds.Xrsigma, ds.Xh, ds.Riron, ds.Rr2, ds.Xr2sigma})
        FUZZ_CHECK(std::isfinite(e) && e > 0, "element %.17g: %s", e, Describe(ds).c_str());
    FUZZ_CHECK(ds.Rr2 >= ds.Rr && ds.Xr2sigma <= ds.Xrsigma, "cages out of order: %s", Describe(ds).c_str());
    const auto& d = ds.Fit.Deviations;
    for (double v : d)
        FUZZ_CHECK(std::isfinite(v), "deviation not finite: %s", Describe(ds).c_str());
    if (ds.Fit.Exact) {
        for (double v : d)
            FUZZ_CHECK(std::fabs(v) <= 1e-8, "exact fit off by %.3g: %s", v, Describe(ds).c_str());
    } else {
        const double slack = 1e-9;
        FUZZ_CHECK(d[4] <= 0.2 + slack && d[3] >= -0.15 - slack && d[3] <= 0.25 + slack && d[5] >= -0.1 - slack,
                   "best fit outside the tolerances: %s", Describe(ds).c_str());
    }
    for (Language l : {Language::English, Language::French})
        CheckText(FitSummary(ds, l), ds);

    // A start of the identified motor with a constant load of half its rated torque.
    ds.T0 = ds.RatedTorque * 0.5;
    ds.LimitCurrentMode = in.ConsumeBool();
    ds.SelectedTimeMode = !ds.LimitCurrentMode;
    ds.DesiredImaxIn = 3;
    if (RunStartComputation(ds, nullptr, nullptr) != 0) return 0;
    CheckText(SimulationJson(ds, nullptr), ds);
    CheckText(PanelText(ds, Language::English), ds);
    return 0;
}
