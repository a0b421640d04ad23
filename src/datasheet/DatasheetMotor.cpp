#include "DatasheetMotor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Checks.h"
#include "Datasheet.h"
#include "Identification.h"

Refusal ConfirmDatasheetMotor(MotorDataSet& ds) {
    if (Refusal e = CheckRatedValues(ds)) return e;
    DeriveRatedValues(ds);
    if (std::fabs(ds.PowerFactor) >= 1) return 20;
    if (ds.ElectricalPower < ds.MechanicalPower) return 21;
    if (Refusal e = CheckDatasheet(ds)) return e;
    if (Refusal e = IdentifyFromDatasheet(ds)) return e;
    if (ds.ApproximationWithoutNoLoadCurrent) {
        // The current the fitted motor draws at synchronous speed: the rotor carries none there.
        const long double rm = ds.Riron, xm = ds.Xh;
        const long double den = rm * rm + xm * xm;
        const long double re = ds.Rs + rm * xm * xm / den, im = ds.Xssigma + rm * rm * xm / den;
        ds.NoLoadPhaseCurrent = static_cast<double>(ds.PhaseVoltage / std::sqrt(re * re + im * im));
        ds.NoLoadLineCurrent =
            ds.StarCoupling ? ds.NoLoadPhaseCurrent : static_cast<double>(ds.NoLoadPhaseCurrent * std::sqrt(3.0L));
    }
    return 0;
}

const char* FitPriorityKey(FitPriority priority) {
    return priority == FitPriority::Current ? "current" : "torque";
}

namespace {
// A number with a decimal comma in French.
std::string Fixed(double v, int decimals, Language language) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    std::string s = text;
    if (language == Language::French) std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

// A deviation as a signed percentage with a true minus sign: "−9.8 %" (no-break space).
std::string Percent(double deviation, Language language) {
    const double p = deviation * 100;
    std::string s = Fixed(std::fabs(p), 1, language);
    return (p < 0 ? "\u2212" : "+") + s + "\u00a0%";
}
} // namespace

std::string CircuitKind(const MotorDataSet& ds, Language) {
    // The same words in French.
    return HasSecondCage(ds) ? "double cage" : "";
}

std::string FitSummary(const MotorDataSet& ds, Language language) {
    const bool fr = language == Language::French;
    const DatasheetFit& f = ds.Fit;
    if (f.Exact)
        return (fr ? "double cage, ajustement exact (kr " : "double cage, exact fit (kr ") + Fixed(f.Kr, 2, language) +
               ", kx " + Fixed(f.Kx, 2, language) + ")";
    // The quantities that give way, largest first.
    static constexpr const char* names[] = {"I", "cos φ", "Tn", "Ta", "Ia", "Tk"};
    std::array<int, 6> order = {0, 1, 2, 3, 4, 5};
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return std::fabs(f.Deviations[a]) > std::fabs(f.Deviations[b]); });
    std::string list;
    int shown = 0;
    for (int i : order) {
        if (shown == 3 || !(std::fabs(f.Deviations[i]) >= 0.0005)) break;
        list += (shown++ ? ", " : "") + std::string(names[i]) + " " + Percent(f.Deviations[i], language);
    }
    std::string text = fr ? "double cage, meilleur ajustement dans les tolérances CEI" : "double cage, best fit within the IEC tolerances";
    if (!list.empty()) text += (fr ? "\u00a0: " : ": ") + list;
    const bool current = ds.Priority == FitPriority::Current;
    text += fr ? (current ? " (priorité au courant)" : " (priorité aux couples)")
               : (current ? " (current priority)" : " (torque priority)");
    return text;
}

std::string FitPriorityNote(FitPriority priority, Language language) {
    const bool en = language == Language::English;
    if (priority == FitPriority::Current)
        return en ? "current priority (for voltage dips)" : "priorité au courant (pour les creux de tension)";
    return en ? "torque priority (a lower starting current may flatter the dip)"
              : "priorité aux couples (un courant de démarrage plus faible peut flatter le creux)";
}
