#include "SimCli.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>

#include "CurveFile.h"
#include "ErrorMessages.h"
#include "ListFileError.h"
#include "SimCase.h"
#include "SimFiles.h"
#include "SimJson.h"
#include "SimOptions.h"
#include "SimPanels.h"
#include "SimSweep.h"
#include "Study.h"
#include "TextToReal.h"
#ifdef TARVELLO_CHART_IMAGES
#include "ChartImage.h"
#include "SweepChart.h"
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
                                      (a coefficient the kind in force does not use is refused)
 dynamic start (the motor accelerates by its torque balance):
   --dynamic                          compute the direct-on-line and soft-starter starts
   --motor-inertia KGM2               rotor inertia, kg m2 (default: a typical value for the
                                      motor's power and poles, said on standard error)
   --load-inertia KGM2                load inertia referred to the motor shaft, kg m2 (default 0)
   --start-time-limit S               a start not run up by then is too long (default 60 s)
   --dynamic-curves FILE              write both starts' curves against time, 201 lines ("-" for
                                      standard output)
 supply network between source and motor (with --dynamic; any of these puts it in place):
   --supply-power VA                  short-circuit power of the source (default: infinite)
   --supply-rx R/X                    R/X ratio of the source (default 0.1)
   --supply-voltage V                 line voltage of the source (default: the motor's)
   --transformer-power VA --transformer-uk PCT --transformer-ur PCT
                                      a transformer: rated power, short-circuit voltage u_k and its
                                      resistive part u_R, % (u_R default 0)
   --cable-length M --cable-section MM2
                                      a cable: length and cross-section
   --cable-material copper|aluminium  (default copper)
   --cable-parallel N                 parallel runs (default 1)
   --cable-reactance OHM_PER_KM       (default 0.08)
   --dip-limit PCT                    a larger busbar voltage dip is flagged (default 10 %)
 starting methods side by side (with --dynamic):
   --compare                          direct-on-line, star-delta (a motor running in delta),
                                      autotransformer, primary reactor, soft-starter ramp and
                                      current limit, each started dynamically
   --changeover-speed FRACTION        switch to full voltage at this fraction of synchronous speed
                                      (default 0.9; earlier when the reduced stage stops accelerating)
   --autotransformer-tap K            motor voltage over supply voltage on the tap (default 0.65)
   --reactor-voltage K                motor voltage at standstill over rated that sizes the reactor
                                      (default 0.65)
   --compare-current-limit RATIO      Imax/In of the soft-starter start with current limit, above 1
                                      and at most 10 (default: the soft-starter's in current-limit
                                      mode, else 3)
   --compare-csv FILE                 write the comparison table ("-" for standard output)
 the starter's duty check (with --compare; the three together):
   --starter-current A                the starter's rated current Ie
   --starter-rating X-TX:F-S          its AC-53a rating, e.g. "AC-53a: 3.5-17: 90-5": start current
                                      X times Ie for TX s, on-load factor F %, S starts per hour
   --starts-per-hour N                the starts per hour the application needs
                                      The soft-starter start passes when its rms current over the
                                      run-up is at most X Ie, its run-up time at most TX, N at most
                                      S and the motor's rated current at most Ie; F is not judged.
 study files (JSON, suffix .tarvello; the schema is in src/study/README.md):
   --study FILE                       start from this study; the options given override it (a
                                      rated value makes the motor typed and identified again unless
                                      --circuit is given; a mode option switches the mode)
   --save-study FILE                  write the study the options describe; alone (without --json,
                                      --curves, --png, --dynamic-curves, --compare-csv) nothing is
                                      computed or printed
 sweeps (one CSV row per case; no other output):
   --sweep NAME=FROM:TO:COUNT         vary the number option --NAME (e.g. t2, preset,
                                      load-inertia, supply-power) over COUNT values from FROM to TO;
                                      repeat for every combination, the first outermost
   --sweep-csv FILE                   write the rows to FILE (default standard output)
   --threads N                        cases computed in parallel (default: all cores)
   --sweep-png FILE                   draw one column against the last swept option, one series per
                                      value of the others (at most 10), into a PNG image
   --sweep-y COLUMN                   the column drawn (default SoftStarter.RunUpTime with --dynamic,
                                      else SoftStarterTime)
 output:
   --static                           also compute the curves against n/ns
   --curves FILE                      write the curve file ("-" for standard output)
   --json                             print the motor data set after the computation as one JSON object
                                      (with --dynamic and --compare their results too)
   --png FILE                         draw the charts (with --static all four) into a PNG image
   --lang en|fr                       language of messages (default en)
   --help
)";

namespace {

void PrintRefusal(const Refusal& r, Language lang, std::ostream& err) {
    err << "error " << r.number << ": " << ErrorText(r, lang) << "\n";
}

int UsageFailure(const UsageError& e, std::ostream& err) {
    err << "tarvello-sim: " << e.text << "\n" << SimulatorUsage;
    return 2;
}

// The errors of reading a case, as a single run reports them; returns the exit status.
int ReportFailure(std::exception_ptr failure, Language lang, std::ostream& err) {
    try {
        std::rethrow_exception(failure);
    } catch (const Refusal& r) {
        PrintRefusal(r, lang, err);
    } catch (const StudyLoadError& e) {
        err << "error " << e.refusal.number() << ": " << StudyRefusalText(e.refusal, e.language) << "\n";
    } catch (const EConvertError& e) {
        err << "error: " << e.what() << "\n";
    } catch (const ListFileError& e) {
        if (e.Number() != 0)
            err << "error " << e.Number() << ": " << e.Message(lang) << "\n";
        else
            err << "error: " << e.Message(lang) << "\n";
    } catch (const UsageError& e) {
        return UsageFailure(e, err);
    } catch (const std::exception& e) {
        // Nothing expected comes here; whatever does is said, never a crash.
        err << "error: " << e.what() << "\n";
    }
    return 1;
}

std::string Significant(double v, Language lang) {
    char value[32];
    std::snprintf(value, sizeof value, "%.4g", v);
    std::string text = value;
    if (lang == Language::French) std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// What the typical inertia is, said when the user gave none.
std::string TypicalInertiaNote(const MotorDataSet& ds, const DynamicResults& r, Language lang) {
    const std::string power = FormatFixed(ds.MechanicalPower, 0), poles = FormatFixed(ds.PairOfPoles, 0);
    if (lang == Language::French)
        return "tarvello-sim : inertie du moteur non donnée : la valeur typique d'un moteur de " + power +
               " W à " + poles + " paire(s) de pôles est utilisée, " + Significant(r.MotorInertia, lang) +
               " kg m2\n";
    return "tarvello-sim: no motor inertia given: the typical value of a " + power + " W motor with " +
           poles + " pair(s) of poles is used, " + Significant(r.MotorInertia, lang) + " kg m2\n";
}

int RunSweepCommand(const SimOptions& o, CaseSource& source, std::ostream& out, std::ostream& err) {
    const Language lang = source.language;
    std::vector<SweepDimension> dimensions;
    try {
        dimensions = ParseSweeps(o);
        CheckSharedTexts(o, SweptOptions(dimensions));
    } catch (...) {
        return ReportFailure(std::current_exception(), lang, err);
    }
    const std::array<bool, OptCount> swept = SweptOptions(dimensions);
    ShareMotor(source, swept);
    auto given = [&](Opt id) { return o.Has(id) || swept[static_cast<std::size_t>(id)]; };

    SweepSettings settings;
    settings.threads = o.Has(Opt::Threads)
                           ? std::stoi(*o.Text(Opt::Threads))
                           : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    settings.dynamic = o.Has(Opt::Dynamic);
    settings.compare = o.Has(Opt::Compare);
    settings.duty =
        settings.compare && (given(Opt::StarterCurrent) || given(Opt::StarterRating) ||
                             given(Opt::StartsPerHour) || (source.study && source.study->Dynamic.Starter));
    const std::vector<std::string> header = SweepHeader(dimensions, settings);
    if (o.Has(Opt::SweepPng)) {
        const std::string column = o.Has(Opt::SweepY) ? *o.Text(Opt::SweepY)
                                   : settings.dynamic ? "SoftStarter.RunUpTime"
                                                      : "SoftStarterTime";
        const auto at =
            std::find(header.begin() + static_cast<std::ptrdiff_t>(dimensions.size()), header.end(), column);
        if (at == header.end())
            return UsageFailure({"--sweep-y names no result column of this sweep: " + column}, err);
        settings.plotColumn = static_cast<int>(at - header.begin());
    } else if (o.Has(Opt::SweepY)) {
        return UsageFailure({"--sweep-y goes with --sweep-png"}, err);
    }
    if (settings.dynamic && !given(Opt::MotorInertia) &&
        !(source.study && source.study->Dynamic.Mechanical.MotorInertia))
        err << (lang == Language::French ? "tarvello-sim : inertie du moteur non donnée : chaque cas prend "
                                           "la valeur typique de son "
                                           "moteur\n"
                                         : "tarvello-sim: no motor inertia given: each case uses the typical "
                                           "value of its motor\n");

    CheckedFile file;
    const std::string* csv = o.Text(Opt::SweepCsv);
    const bool toFile = csv && *csv != "-";
    if (toFile)
        if (const std::string problem = file.Open(*csv); !problem.empty()) {
            err << "error: " << problem << "\n";
            return 1;
        }
    std::string problem;
    auto write = [&](const std::string& text) {
        if (toFile) {
            problem = file.Write(text);
            return problem.empty();
        }
        out << text;
        return static_cast<bool>(out);
    };
    std::vector<double> plotValues;
    bool written = false;
    try {
        written = RunSweep(source, dimensions, settings, write, err, lang, &plotValues);
    } catch (...) {
        return ReportFailure(std::current_exception(), lang, err);
    }
    if (written && toFile) {
        problem = file.Close();
        written = problem.empty();
    }
    if (!written) {
        err << "error: " << (problem.empty() ? std::string("the standard output cannot be written") : problem)
            << "\n";
        return 1;
    }
    if (const std::string* png = o.Text(Opt::SweepPng)) {
#ifdef TARVELLO_CHART_IMAGES
        const SweepPlot plot =
            MakeSweepPlot(dimensions, header[static_cast<std::size_t>(settings.plotColumn)], plotValues);
        if (const std::string failure = SaveSweepChart(plot, lang, *png); !failure.empty()) {
            err << "error: " << failure << "\n";
            return 1;
        }
#else
        (void)png;
        err << "error: this tarvello-sim was built without the chart component\n";
        return 1;
#endif
    }
    if (!toFile && !out.flush()) {
        err << "error: the standard output cannot be written\n";
        return 1;
    }
    return 0;
}

} // namespace

int RunSimulatorCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    SimOptions o;
    try {
        o = ParseSimOptions(args);
    } catch (const UsageError& e) {
        return UsageFailure(e, err);
    }
    if (o.Has(Opt::Help)) {
        out << SimulatorUsage;
        return 0;
    }
    const std::string* langOption = o.Text(Opt::Lang);
    Language lang = langOption && *langOption == "fr" ? Language::French : Language::English;
    CaseSource source;
    try {
        source = PrepareCases(o);
    } catch (...) {
        return ReportFailure(std::current_exception(), lang, err);
    }
    lang = source.language;
    if (!o.sweeps.empty()) return RunSweepCommand(o, source, out, err);

    // The outputs asked for; without any the panels are printed. A study to save alone is neither
    // computed nor printed.
    const bool outputs = o.Has(Opt::Json) || o.Has(Opt::Curves) || o.Has(Opt::Png) ||
                         o.Has(Opt::DynamicCurves) || o.Has(Opt::CompareCsv);
    const bool computing = outputs || !o.Has(Opt::SaveStudy);
    CaseNeeds needs;
    needs.points = o.Has(Opt::Png);
    needs.dynamic = o.Has(Opt::Dynamic);
    needs.dynamicSamples = o.Has(Opt::DynamicCurves) ? 201 : 0;
    needs.compare = o.Has(Opt::Compare);
    BuiltCase c;
    CaseResults results;
    Study study;
    try {
        BuildCase(source, CaseTexts(o), c);
        if (o.Has(Opt::SaveStudy)) study = CaseStudy(source, c);
        if (computing)
            if (Refusal e = ComputeCase(c, needs, results)) throw e;
    } catch (...) {
        return ReportFailure(std::current_exception(), lang, err);
    }
    if (const std::string* file = o.Text(Opt::SaveStudy)) {
        // What is saved must open again: the study is judged as a reader judges it first. Its
        // refusal names no line, since the text judged is not a file the user has.
        Study reread;
        if (StudyRefusal r = ParseStudy(StudyText(study), reread, CheckDynamicSettings)) {
            PrintRefusal(r.refusal, lang, err);
            return 1;
        }
        if (Refusal r = SaveStudyFile(*file, study)) {
            PrintRefusal(r, lang, err);
            return 1;
        }
        if (!computing) return 0;
    }
    const MotorDataSet& ds = c.ds;
    const DynamicResults* dynamic = needs.dynamic ? &results.dynamic : nullptr;
    const ComparisonResults* comparison = needs.compare ? &results.comparison : nullptr;

    if (const std::string* file = o.Text(Opt::Curves)) {
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
    // The files written here: to standard output for "-", else checked, and removed when cut short.
    auto writeFile = [&](const std::string& file, const std::string& text) {
        if (file == "-") {
            out << text;
            return true;
        }
        const std::string problem = WriteTextFile(file, text);
        if (!problem.empty()) err << "error: " << problem << "\n";
        return problem.empty();
    };
    if (const std::string* file = o.Text(Opt::DynamicCurves))
        if (!writeFile(*file, DynamicCurveFileText(*dynamic, c.settings.Network.Enabled))) return 1;
    if (const std::string* file = o.Text(Opt::CompareCsv))
        if (!writeFile(*file, ComparisonCsvText(*comparison))) return 1;
    if (const std::string* png = o.Text(Opt::Png)) {
#ifdef TARVELLO_CHART_IMAGES
        const std::string problem =
            SaveChartImage(results.timePoints.points,
                           ds.ShowStaticCurves ? &results.staticPoints.points : nullptr, lang, *png);
        if (!problem.empty()) {
            err << "error: " << problem << "\n";
            return 1;
        }
#else
        (void)png;
        err << "error: this tarvello-sim was built without the chart component\n";
        return 1;
#endif
    }
    if (o.Has(Opt::Json)) out << SimulationJson(ds, dynamic, comparison);
    if (!outputs) {
        out << PanelText(ds, lang);
        if (dynamic) out << DynamicPanelText(c.settings, *dynamic, lang);
        if (comparison) out << ComparisonPanelText(c.settings, *comparison, lang);
    }
    if (!out.flush()) {
        err << "error: the standard output cannot be written\n";
        return 1;
    }
    if (dynamic && dynamic->TypicalInertia) err << TypicalInertiaNote(ds, *dynamic, lang);
    return 0;
}
