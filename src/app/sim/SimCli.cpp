#include "SimCli.h"

#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>

#include "Checks.h"
#include "CurveFile.h"
#include "ErrorMessages.h"
#include "Identification.h"
#include "MotorDataSet.h"
#include "MotorList.h"
#include "StartSimulation.h"
#include "TextToReal.h"
#ifdef TARVELLO_CHART_IMAGES
#include "ChartImage.h"
#endif

const char* const SimulatorUsage =
    R"(tarvello-sim [OPTIONS]
 motor from the catalogue (its circuit is used as listed):
   --catalogue FILE --record N        record N: the N-th motor line after the title
 or motor from rated values (the circuit is identified from them):
   --power W --voltage V --current A --power-factor PF --frequency HZ --speed RPM
   --no-load-current A | --approximate
   --star | --delta                   (default --star)
   --maker TEXT --size TEXT           (optional)
 optionally:
   --circuit RS,RR,XSSIGMA,XRSIGMA,XH,RIRON    use this circuit as given
                                      (separate with ";" to write decimal commas)
 soft-starter:
   --estimated-time S                 (default 10)
   --preset PERCENT                   (default 10)
   --current-limit RATIO              current-limit mode: search the ramp time
   --ramp-time S                      selected-time mode (default mode, default 5 s)
 load (as the load dialog: each kind uses only its own coefficients):
   --load none|constant|proportional|squared   (default none)
   --t0 NM --t1 NMS --t2 NMS2
 output:
   --static                           also compute the curves against n/ns
   --curves FILE                      write the curve file ("-" for standard output)
   --json                             print the motor data set after the computation as one JSON object
   --png FILE                         draw the charts (with --static all four) into a PNG image
   --lang en|fr                       language of messages (default en)
   --help
)";

namespace {

struct UsageError {
    std::string text;
};

const std::set<std::string> ValueOptions = {
    "--power", "--voltage", "--current", "--power-factor", "--frequency", "--speed", "--no-load-current",
    "--maker", "--size", "--circuit", "--estimated-time", "--preset", "--current-limit", "--ramp-time",
    "--load", "--t0", "--t1", "--t2", "--curves", "--lang", "--catalogue", "--record", "--png"};
const std::set<std::string> FlagOptions = {"--approximate", "--star", "--delta", "--static", "--json", "--help"};

struct Options {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool Has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::optional<std::string> Value(const std::string& name) const {
        auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
};

Options Parse(const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (FlagOptions.count(a)) {
            o.flags.insert(a);
        } else if (ValueOptions.count(a)) {
            if (i + 1 >= args.size()) throw UsageError{"missing value for " + a};
            o.values[a] = args[++i];
        } else {
            throw UsageError{"unknown option " + a};
        }
    }
    if (o.Has("--catalogue") != o.Has("--record")) throw UsageError{"--catalogue and --record go together"};
    if (o.Has("--catalogue"))
        for (const char* motorOption : {"--power", "--voltage", "--current", "--power-factor", "--frequency",
                                        "--speed", "--no-load-current", "--approximate", "--star", "--delta",
                                        "--maker", "--size", "--circuit"})
            if (o.Has(motorOption))
                throw UsageError{std::string(motorOption) + " does not go with --catalogue: the record gives the motor"};
    if (o.Has("--no-load-current") && o.Has("--approximate"))
        throw UsageError{"--no-load-current and --approximate exclude each other"};
    if (o.Has("--star") && o.Has("--delta")) throw UsageError{"--star and --delta exclude each other"};
    if (o.Has("--current-limit") && o.Has("--ramp-time"))
        throw UsageError{"--current-limit and --ramp-time exclude each other"};
    if (o.Has("--json") && o.Value("--curves") == std::string("-"))
        throw UsageError{"--json and --curves - both write to standard output"};
    if (auto l = o.Value("--lang"); l && *l != "en" && *l != "fr") throw UsageError{"--lang takes en or fr"};
    if (auto l = o.Value("--load"); l && *l != "none" && *l != "constant" && *l != "proportional" && *l != "squared")
        throw UsageError{"--load takes none, constant, proportional or squared"};
    return o;
}

std::vector<std::string> SplitCircuit(const std::string& text) {
    const char sep = text.find(';') != std::string::npos ? ';' : ',';
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = text.find(sep, start);
        parts.push_back(text.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return parts;
}

// The motor, as the rated values dialog confirms it: presence (1 to 7), then the plausibility checks.
void ReadMotor(const Options& o, MotorDataSet& ds) {
    const std::pair<const char*, int> required[] = {{"--power", 1},     {"--voltage", 2},      {"--frequency", 5},
                                                    {"--current", 3},   {"--power-factor", 4}, {"--speed", 7}};
    for (const auto& [name, error] : required)
        if (!o.Has(name)) throw Refusal{error};
    ds.ApproximationWithoutNoLoadCurrent = o.Has("--approximate");
    if (!ds.ApproximationWithoutNoLoadCurrent && !o.Has("--no-load-current")) throw Refusal{6};

    ds.ConstructorName = o.Value("--maker").value_or("");
    ds.MotorSize = o.Value("--size").value_or("");
    ds.MechanicalPower = TextToReal(*o.Value("--power"));
    ds.LineVoltage = TextToReal(*o.Value("--voltage"));
    ds.LineCurrent = TextToReal(*o.Value("--current"));
    ds.PowerFactor = TextToReal(*o.Value("--power-factor"));
    ds.Frequency = TextToReal(*o.Value("--frequency"));
    ds.RatedSpeed = TextToReal(*o.Value("--speed"));
    ds.StarCoupling = !o.Has("--delta");
    if (!ds.ApproximationWithoutNoLoadCurrent) ds.NoLoadLineCurrent = TextToReal(*o.Value("--no-load-current"));
    if (Refusal e = ConfirmRatedValues(ds)) throw e;
    ds.MotorIdentified = true;

    if (auto circuit = o.Value("--circuit")) {
        const std::vector<std::string> v = SplitCircuit(*circuit);
        if (v.size() != 6) throw UsageError{"--circuit takes six values: RS,RR,XSSIGMA,XRSIGMA,XH,RIRON"};
        ds.Rs = TextToReal(v[0]);
        ds.Rr = TextToReal(v[1]);
        ds.Xssigma = TextToReal(v[2]);
        ds.Xrsigma = TextToReal(v[3]);
        ds.Xh = TextToReal(v[4]);
        ds.Riron = TextToReal(v[5]);
        ds.MotorFromList = true;
    } else {
        ds.MotorFromList = false;
    }
}

// The motor of a catalogue record, as the selection dialog takes it: rated values and circuit as
// listed, then the derived values.
void ReadCatalogueMotor(const Options& o, MotorDataSet& ds) {
    const std::string recordText = *o.Value("--record");
    int record = 0;
    const auto [end, ec] = std::from_chars(recordText.data(), recordText.data() + recordText.size(), record);
    if (ec != std::errc() || end != recordText.data() + recordText.size() || record < 1)
        throw UsageError{"--record takes a whole number from 1"};
    CopyRecordToDataSet(ReadListRecord(record, *o.Value("--catalogue")), ds);
    ds.MotorFromList = true;
    if (Refusal e = CheckRatedValues(ds)) throw e;
    DeriveRatedValues(ds);
    ds.MotorIdentified = true;
}

void ReadSoftStarter(const Options& o, MotorDataSet& ds) {
    ds.EstimatedStartTime = TextToReal(o.Value("--estimated-time").value_or("10"));
    ds.Preset = static_cast<double>(static_cast<Extended>(TextToReal(o.Value("--preset").value_or("10"))) * 0.01L);
    const double ramp = TextToReal(o.Value("--ramp-time").value_or("5"));
    if (ramp > 30) throw Refusal{51};
    if (auto limit = o.Value("--current-limit")) {
        ds.LimitCurrentMode = true;
        ds.SelectedTimeMode = false;
        ds.DesiredImaxIn = TextToReal(*limit);
    } else {
        ds.SelectedTimeMode = true;
        ds.LimitCurrentMode = false;
        ds.SoftStarterTime = ramp;
    }
}

void ReadLoad(const Options& o, MotorDataSet& ds) {
    const std::string kind = o.Value("--load").value_or("none");
    auto coefficient = [&](const char* name) { return TextToReal(o.Value(name).value_or("0")); };
    ds.T0 = ds.T1 = ds.T2 = 0;
    if (kind != "none") ds.T0 = coefficient("--t0");
    if (kind == "proportional" || kind == "squared") ds.T1 = coefficient("--t1");
    if (kind == "squared") ds.T2 = coefficient("--t2");
}

std::string Number17(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17);
    return std::string(buf, r.ptr);
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void PrintJson(const MotorDataSet& ds, std::ostream& out) {
    std::vector<std::pair<std::string, std::string>> f = {
        {"ConstructorName", JsonString(ds.ConstructorName)},
        {"MotorSize", JsonString(ds.MotorSize)},
        {"MechanicalPower", Number17(ds.MechanicalPower)},
        {"LineVoltage", Number17(ds.LineVoltage)},
        {"LineCurrent", Number17(ds.LineCurrent)},
        {"PowerFactor", Number17(ds.PowerFactor)},
        {"Frequency", Number17(ds.Frequency)},
        {"RatedSpeed", Number17(ds.RatedSpeed)},
        {"NoLoadLineCurrent", Number17(ds.NoLoadLineCurrent)},
        {"StarCoupling", ds.StarCoupling ? "true" : "false"},
        {"PairOfPoles", Number17(ds.PairOfPoles)},
        {"SynchronousSpeed", Number17(ds.SynchronousSpeed)},
        {"PhaseVoltage", Number17(ds.PhaseVoltage)},
        {"PhaseCurrent", Number17(ds.PhaseCurrent)},
        {"NoLoadPhaseCurrent", Number17(ds.NoLoadPhaseCurrent)},
        {"ElectricalPower", Number17(ds.ElectricalPower)},
        {"RatedTorque", Number17(ds.RatedTorque)},
        {"Efficiency", Number17(ds.Efficiency)},
        {"Rs", Number17(ds.Rs)},
        {"Xssigma", Number17(ds.Xssigma)},
        {"Rr", Number17(ds.Rr)},
        {"Xrsigma", Number17(ds.Xrsigma)},
        {"Xh", Number17(ds.Xh)},
        {"Riron", Number17(ds.Riron)},
        {"EstimatedStartTime", Number17(ds.EstimatedStartTime)},
        {"Preset", Number17(ds.Preset)},
        {"ImaxIn", Number17(ds.ImaxIn)},
        {"DesiredImaxIn", Number17(ds.DesiredImaxIn)},
        {"SoftStarterTime", Number17(ds.SoftStarterTime)},
        {"LimitCurrentMode", ds.LimitCurrentMode ? "true" : "false"},
        {"T0", Number17(ds.T0)},
        {"T1", Number17(ds.T1)},
        {"T2", Number17(ds.T2)},
    };
    out << "{";
    for (std::size_t i = 0; i < f.size(); ++i) out << (i ? ", " : "") << JsonString(f[i].first) << ": " << f[i].second;
    out << "}\n";
}

void PrintPanels(const MotorDataSet& ds, Language lang, std::ostream& out) {
    const bool en = lang == Language::English;
    struct Row {
        const char *english, *french;
        std::string value;
        const char* unit;
    };
    const Row rated[] = {
        {"Constructor", "Fabricant", ds.ConstructorName, ""},
        {"Motor Size", "Dimension du moteur", ds.MotorSize, ""},
        {"Mechanical Power", "Puissance mécanique", FormatFixed(ds.MechanicalPower, 0), "W"},
        {"Line Voltage", "Tension de ligne", FormatFixed(ds.LineVoltage, 0), "V"},
        {"Frequency", "Fréquence", FormatFixed(ds.Frequency, 0), "Hz"},
        {"Line Current", "Courant de ligne", FormatFixed(ds.LineCurrent, 1), "A"},
        {"No Load Line Current", "Courant de ligne à vide", FormatFixed(ds.NoLoadLineCurrent, 1), "A"},
        {"Power Factor", "Facteur de puissance", FormatFixed(ds.PowerFactor, 2), "--"},
        {"Electrical Power", "Puissance électrique", FormatFixed(ds.ElectricalPower, 0), "W"},
        {"Number Pair of Poles", "Nombre de paire de pôles", FormatFixed(ds.PairOfPoles, 0), "--"},
        {"Rated Torque", "Couple nominal", FormatFixed(ds.RatedTorque, 0), "Nm"},
        {"Rated Speed", "Vitesse nominale", FormatFixed(ds.RatedSpeed, 0), "rpm"},
        {"Efficiency", "Rendement", FormatFixed(ds.Efficiency, 0), "%"},
    };
    const Row starter[] = {
        {"Estimated Time to Start Motor with Load", "Temps estimé pour démarrer le moteur avec charge",
         FormatFixed(ds.EstimatedStartTime, 2), "s"},
        {"Imax/In", "Imax/In", FormatFixed(ds.ImaxIn, 2), "--"},
        {"Preset", "Preset", FormatFixed(static_cast<double>(static_cast<Extended>(ds.Preset) * 100), 2), "%"},
        {"Time of Soft-Starter", "Temps du Soft-Starter", FormatFixed(ds.SoftStarterTime, 2), "s"},
    };
    auto print = [&](const char* heading, const auto& rows) {
        out << heading << "\n";
        for (const Row& r : rows) {
            std::string label = en ? r.english : r.french;
            out << "  " << label << " : " << r.value;
            if (*r.unit) out << " " << r.unit;
            out << "\n";
        }
    };
    print(en ? "Rated Value" : "Grandeurs nominales", rated);
    out << "\n";
    print(en ? "Soft-Stater Parameters" : "Paramètres du Soft-Stater", starter);
}

} // namespace

int RunSimulatorCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options o;
    try {
        o = Parse(args);
    } catch (const UsageError& e) {
        err << "tarvello-sim: " << e.text << "\n" << SimulatorUsage;
        return 2;
    }
    if (o.Has("--help")) {
        out << SimulatorUsage;
        return 0;
    }
    const Language lang = o.Value("--lang") == std::string("fr") ? Language::French : Language::English;
    MotorDataSet ds;
    PresetStartInputs(ds);
    ds.LanguageEnglish = lang == Language::English;
    ds.LanguageFrench = !ds.LanguageEnglish;
    CurveBuffer timePoints, staticPoints;
    try {
        if (o.Has("--catalogue")) ReadCatalogueMotor(o, ds);
        else ReadMotor(o, ds);
        ReadSoftStarter(o, ds);
        ReadLoad(o, ds);
        ds.ShowStaticCurves = o.Has("--static");
        if (Refusal e = RunStartComputation(ds, &timePoints, &staticPoints)) throw e;
    } catch (const Refusal& r) {
        err << "error " << r.number << ": " << ErrorText(r, lang) << "\n";
        return 1;
    } catch (const EConvertError& e) {
        err << "error: " << e.what() << "\n";
        return 1;
    } catch (const ListFileError& e) {
        if (e.Number() != 0)
            err << "error " << e.Number() << ": " << e.Message(lang) << "\n";
        else
            err << "error: " << e.Message(lang) << "\n";
        return 1;
    } catch (const UsageError& e) {
        err << "tarvello-sim: " << e.text << "\n" << SimulatorUsage;
        return 2;
    }

    if (auto file = o.Value("--curves")) {
        if (*file == "-") {
            out << CurveFileText(ds);
        } else {
            try {
                WriteCurveFile(ds, *file);
            } catch (const CurveFileError& e) {
                err << "error: " << e.what() << "\n";
                return 1;
            }
        }
    }
    if (auto png = o.Value("--png")) {
#ifdef TARVELLO_CHART_IMAGES
        const std::string problem =
            SaveChartImage(timePoints.points, ds.ShowStaticCurves ? &staticPoints.points : nullptr, lang, *png);
        if (!problem.empty()) {
            err << "error: " << problem << "\n";
            return 1;
        }
#else
        err << "error: this tarvello-sim was built without the chart component\n";
        return 1;
#endif
    }
    if (o.Has("--json")) PrintJson(ds, out);
    if (!o.Has("--json") && !o.Has("--curves") && !o.Has("--png")) PrintPanels(ds, lang, out);
    return 0;
}
