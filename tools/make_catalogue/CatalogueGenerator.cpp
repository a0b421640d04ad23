#include "CatalogueGenerator.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "Checks.h"
#include "ErrorMessages.h"
#include "Identification.h"
#include "OperatingPoint.h"
#include "StartSimulation.h"
#include "TextToReal.h"

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> SplitColumns(const std::string& line) {
    std::vector<std::string> columns;
    std::size_t start = 0;
    for (;;) {
        const auto end = line.find(';', start);
        columns.push_back(
            Trim(line.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (columns.size() > 1 && columns.back().empty()) columns.pop_back(); // a closing ";" is allowed
    return columns;
}

[[noreturn]] void Fail(int line, const std::string& what) {
    throw std::runtime_error("nameplate line " + std::to_string(line) + ": " + what);
}

// A nameplate value must be stored in the catalogue exactly as the table gives it, so that the
// reviewed table and the delivered file say the same.
double Exact(const std::string& text, int decimals, int line, const char* name) {
    double value = 0;
    try {
        value = TextToReal(text);
    } catch (const EConvertError&) {
        Fail(line, std::string(name) + " \"" + text + "\" is not a number");
    }
    const std::string stored = FormatFixed(value, decimals, '.');
    if (TextToReal(stored) != value)
        Fail(line, std::string(name) + " " + text + " would be stored as " + stored);
    return value;
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

std::vector<Nameplate> ReadNameplates(const std::filesystem::path& table) {
    std::ifstream in(table, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + table.string());
    std::vector<Nameplate> nameplates;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const std::vector<std::string> c = SplitColumns(line);
        if (c.size() != 10) Fail(lineNumber, "10 columns expected, " + std::to_string(c.size()) + " found");
        Nameplate n;
        n.sourceLine = lineNumber;
        n.maker = c[0];
        n.size = c[1];
        n.power = Exact(c[2], 0, lineNumber, "power");
        n.lineVoltage = Exact(c[3], 0, lineNumber, "line voltage");
        n.frequency = Exact(c[4], 0, lineNumber, "frequency");
        n.lineCurrent = Exact(c[5], 1, lineNumber, "line current");
        n.powerFactor = Exact(c[6], 2, lineNumber, "power factor");
        n.ratedSpeed = Exact(c[7], 0, lineNumber, "rated speed");
        n.noLoadCurrent = Exact(c[8], 1, lineNumber, "no-load current");
        if (c[9] != "Star" && c[9] != "Delta") Fail(lineNumber, "coupling must be Star or Delta");
        n.star = c[9] == "Star";
        nameplates.push_back(n);
    }
    return nameplates;
}

std::string CatalogueTitle() {
    return "0;Constructor;Motor Size;Power [W];Line Voltage [V];Frequency [Hz];Line Current [A];Power Factor;"
           "Rated Speed [rpm];No Load Line Current [A];Rs [Ohm];R'r [Ohm];Xssigma [Ohm];X'rsigma [Ohm];"
           "Xh [Ohm];Riron [Ohm];Coupling;";
}

MotorDataSet IdentifiedMotor(const Nameplate& n) {
    MotorDataSet ds;
    ds.ConstructorName = n.maker;
    ds.MotorSize = n.size;
    ds.MechanicalPower = n.power;
    ds.LineVoltage = n.lineVoltage;
    ds.Frequency = n.frequency;
    ds.LineCurrent = n.lineCurrent;
    ds.PowerFactor = n.powerFactor;
    ds.RatedSpeed = n.ratedSpeed;
    ds.NoLoadLineCurrent = n.noLoadCurrent;
    ds.StarCoupling = n.star;
    ds.ApproximationWithoutNoLoadCurrent = false;
    DeriveRatedValues(ds);
    IdentifyEquivalentDiagram(ds);
    return ds;
}

std::vector<std::string> CatalogueLines(const std::vector<Nameplate>& nameplates) {
    std::vector<std::string> lines{CatalogueTitle()};
    for (std::size_t i = 0; i < nameplates.size(); ++i) {
        const Nameplate& n = nameplates[i];
        MotorDataSet identified = IdentifiedMotor(n);
        if (const int e = ConfirmRatedValues(identified))
            Fail(n.sourceLine, "the rated values are refused with message " + std::to_string(e));
        const std::string line = FormatRecordLine(static_cast<int>(i + 1), IdentifiedMotor(n), '.');
        ListRecord record;
        SkippedLine skipped;
        if (!ParseRecordLine(line, static_cast<int>(i + 2), record, skipped))
            Fail(n.sourceLine, skipped.Reason(Language::English));
        if (const std::string problem = DeliveryProblem(record); !problem.empty())
            Fail(n.sourceLine, problem);
        lines.push_back(line);
    }
    return lines;
}

MotorDataSet SelectedMotor(const ListRecord& record) {
    MotorDataSet ds;
    PresetStartInputs(ds);
    CopyRecordToDataSet(record, ds);
    ds.MotorFromList = true;
    ds.MotorIdentified = true;
    DeriveRatedValues(ds);
    return ds;
}

std::string DeliveryProblem(const ListRecord& record) {
    MotorDataSet ds = SelectedMotor(record);
    if (const int e = ConfirmRatedValues(ds))
        return "the rated values are refused with message " + std::to_string(e);
    if (const int e = CheckComputable(ds))
        return "the motor cannot be computed: message " + std::to_string(e);
    if (!(ds.Xssigma > 0) || !(ds.Xrsigma > 0)) return "a leakage reactance is not positive";
    const double sinPhi = std::sqrt(1 - ds.PowerFactor * ds.PowerFactor);
    if (!(ds.NoLoadPhaseCurrent < ds.PhaseCurrent * sinPhi))
        return "the no-load current is not below In x sin(phi)";
    for (double v : {ds.Rs, ds.Rr, ds.Xh, ds.Riron})
        if (!(v > 0)) return "a circuit value is not positive";
    // The whole results computation, with and without the static curves, must pass untouched.
    ds.DataChanged = true;
    ds.ShowStaticCurves = true;
    ds.SelectedTimeMode = true;
    if (const int e = RunStartComputation(ds, nullptr, nullptr))
        return "the start computation refuses: message " + std::to_string(e);
    for (const Curve* c :
         {&ds.DolCurrentCurve, &ds.DolTorqueCurve, &ds.SoftStarterCurrentCurve, &ds.SoftStarterTorqueCurve})
        for (double v : *c)
            if (!std::isfinite(v)) return "a start curve holds a value that is not finite";
    return {};
}

LockedRotorRatios LockedRotor(const ListRecord& record) {
    const MotorDataSet ds = SelectedMotor(record);
    return {StatorCurrent(ds, 1, ds.PhaseVoltage) / ds.PhaseCurrent,
            MotorTorque(ds, 1, ds.PhaseVoltage) / ds.RatedTorque};
}

std::string LockedRotorTable(const MotorList& list) {
    std::string table = "| N° | Constructor | Motor Size | kW | V | Hz | Coupling | Poles | In (A) | I0/In | "
                        "Ia/In | Ta/Tn | Tk/Tn |\n|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (const ListRecord& r : list.records) {
        const MotorDataSet ds = SelectedMotor(r);
        const LockedRotorRatios lr = LockedRotor(r);
        // Breakdown torque: the largest torque over the slip range, for comparison with catalogues.
        double breakdown = 0;
        for (int k = 1; k <= 10000; ++k)
            breakdown = std::max(breakdown, MotorTorque(ds, k / 10000.0, ds.PhaseVoltage));
        table += "| " + r.fields[0] + " | " + r.fields[1] + " | " + r.fields[2] + " | " +
                 Fixed(ds.MechanicalPower / 1000, ds.MechanicalPower < 10000 ? 2 : 1) + " | " + r.fields[4] +
                 " | " + r.fields[5] + " | " + r.fields[16] + " | " + Fixed(2 * ds.PairOfPoles, 0) + " | " +
                 r.fields[6] + " | " + Fixed(ds.NoLoadLineCurrent / ds.LineCurrent, 2) + " | " +
                 Fixed(lr.current, 2) + " | " + Fixed(lr.torque, 2) + " | " +
                 Fixed(breakdown / ds.RatedTorque, 2) + " |\n";
    }
    return table;
}
