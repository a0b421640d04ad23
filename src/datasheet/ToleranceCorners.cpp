#include "ToleranceCorners.h"

#include "DatasheetMotor.h"
#include "StartSimulation.h"
#include "TextToReal.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {
void ComputeCorner(ToleranceCorner& corner, const DynamicSettings& settings, int samples, int chartPoints) {
    MotorDataSet& m = corner.Motor;
    if (Refusal e = ConfirmDatasheetMotor(m)) {
        corner.Error = e.number;
        return;
    }
    corner.Fitted = true;
    // The soft-starter's ramp of the current-limit mode is searched on the corner's own motor.
    if (Refusal e = RunStartComputation(m, nullptr, nullptr)) {
        corner.Error = e.number;
        return;
    }
    if (Refusal e = ComputeDynamicStart(m, settings, corner.Dynamic, samples, chartPoints)) corner.Error = e.number;
}
} // namespace

ToleranceCorners ComputeToleranceCorners(const MotorDataSet& ds, const DynamicSettings& settings, int samples,
                                         int chartPoints) {
    ToleranceCorners c;
    c.Weak.Motor = WithoutRows(ds);
    c.Weak.Motor.LockedRotorTorqueRatio = static_cast<double>(ds.LockedRotorTorqueRatio * 0.85L);
    c.Weak.Motor.BreakdownTorqueRatio = static_cast<double>(ds.BreakdownTorqueRatio * 0.90L);
    c.Weak.Motor.Priority = FitPriority::Torque;
    c.Heavy.Motor = WithoutRows(ds);
    c.Heavy.Motor.LockedRotorCurrentRatio = static_cast<double>(ds.LockedRotorCurrentRatio * 1.20L);
    c.Heavy.Motor.Priority = FitPriority::Current;
    ComputeCorner(c.Weak, settings, samples, chartPoints);
    ComputeCorner(c.Heavy, settings, samples, chartPoints);
    return c;
}

std::string CornerRange(const ToleranceCorners& c, bool soft, Language language, char decimalSeparator) {
    const bool en = language == Language::English;
    std::string text;
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const auto& [corner, english, french] : {std::tuple{&c.Weak, "weak", "faible"}, std::tuple{&c.Heavy, "heavy", "lourd"}}) {
        const StartOutcome& o = soft ? corner->Dynamic.SoftStarter : corner->Dynamic.Dol;
        if (corner->Error != 0) {
            (text += text.empty() ? "" : ", ") += std::string(en ? english : french) + (en ? ": error " : " : erreur ") +
                                                  std::to_string(corner->Error);
        } else if (o.Stalled || !o.RunUpTime) {
            (text += text.empty() ? "" : ", ") += std::string(en ? english : french) + (en ? " stalls" : " bloqué");
        } else {
            low = std::min(low, *o.RunUpTime);
            high = std::max(high, *o.RunUpTime);
        }
    }
    std::string range;
    if (low <= high)
        range = (en ? "run-up " : "démarrage ") + FormatFixed(low, 3, decimalSeparator) + " s" +
                (high > low ? " … " + FormatFixed(high, 3, decimalSeparator) + " s" : "");
    if (!range.empty() && !text.empty()) range += ", ";
    return range + text;
}
