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
#include "SimJson.h"
#include "SimPanels.h"
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

// The motor, as the rated values dialog confirms it: presence (1 to 7; an empty value is missing,
// as an empty field is), then the plausibility checks.
void ReadMotor(const Options& o, MotorDataSet& ds) {
    auto missing = [&](const char* name) { return o.Value(name).value_or("").empty(); };
    const std::pair<const char*, int> required[] = {{"--power", 1},     {"--voltage", 2},      {"--frequency", 5},
                                                    {"--current", 3},   {"--power-factor", 4}, {"--speed", 7}};
    for (const auto& [name, error] : required)
        if (missing(name)) throw Refusal{error};
    ds.ApproximationWithoutNoLoadCurrent = o.Has("--approximate");
    if (!ds.ApproximationWithoutNoLoadCurrent && missing("--no-load-current")) throw Refusal{6};

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
        // As the equivalent diagram dialog: a value empty or not a number is refused naming its
        // element, and the circuit is judged before the computation.
        double* const elements[] = {&ds.Rs, &ds.Rr, &ds.Xssigma, &ds.Xrsigma, &ds.Xh, &ds.Riron};
        for (int i = 0; i < 6; ++i) {
            try {
                if (v[i].empty()) throw Refusal{ErrRsField + i};
                *elements[i] = TextToReal(v[i]);
            } catch (const EConvertError&) {
                throw Refusal{ErrRsField + i};
            }
        }
        if (Refusal e = CheckCircuit(ds)) throw e;
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
    // A list may hold any circuit; the one of the chosen motor must be usable.
    if (Refusal e = CheckCircuit(ds)) throw e;
    DeriveRatedValues(ds);
    ds.MotorIdentified = true;
}

void ReadSoftStarter(const Options& o, MotorDataSet& ds) {
    ds.EstimatedStartTime = TextToReal(o.Value("--estimated-time").value_or("10"));
    const double preset = TextToReal(o.Value("--preset").value_or("10"));
    if (!(preset >= 0 && preset <= 100)) throw Refusal{ErrPresetRange};
    ds.Preset = static_cast<double>(static_cast<Extended>(preset) * 0.01L);
    // Only the selected mode's values are read and checked.
    if (auto limit = o.Value("--current-limit")) {
        ds.LimitCurrentMode = true;
        ds.SelectedTimeMode = false;
        ds.DesiredImaxIn = TextToReal(*limit);
    } else {
        const double ramp = TextToReal(o.Value("--ramp-time").value_or("5"));
        if (ramp > 30) throw Refusal{51};
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
    if (o.Has("--json")) out << MotorDataSetJson(ds);
    if (!o.Has("--json") && !o.Has("--curves") && !o.Has("--png")) out << PanelText(ds, lang);
    return 0;
}
