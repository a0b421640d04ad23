#include "SimCli.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <thread>

#include "CurveFile.h"
#include "ErrorMessages.h"
#include "ListFileError.h"
#include "SimBatch.h"
#include "SimCase.h"
#include "SimFiles.h"
#include "SimJson.h"
#include "SimOptions.h"
#include "SimOutputs.h"
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
   --circuit RS,RR,XSSIGMA,XRSIGMA,XH,RIRON,RR2,XR2SIGMA    the same with a second rotor cage
                                      (separate with ";" to write decimal commas)
 or with the data sheet too (a double-cage circuit is identified from it; the no-load current is
 then optional):
   --locked-rotor-current IA/IN --locked-rotor-torque TA/TN --breakdown-torque TK/TN   (all three)
   --fit-priority torque|current      what a best fit keeps closest when no circuit meets the data
                                      sheet exactly (default torque; current for voltage-dip studies)
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
 the overload relay and the motor's thermal limit (with --dynamic, also judged for --compare):
   --relay-class 10A|10|20|30         the relay's trip class (IEC 60947-4-1); without it nothing
                                      is judged
   --relay-setting A                  its current setting Ir, from In/1.05 to 10 In (default In)
   --locked-rotor-time-cold S --locked-rotor-time-hot S
                                      the motor's locked-rotor withstand times, above 0 and at most
                                      3600 s, hot at most cold (both or neither; without them only
                                      the relay is judged)
   --tcc-png FILE                     draw the time-current chart into a PNG image
   --tcc-csv FILE                     write the time-current chart's curves as a table
                                      ("-" for standard output, for both)
 study files (JSON, suffix .tarvello; the schema is in src/study/README.md):
   --study FILE                       start from this study; the options given override it (a
                                      rated value makes the motor typed and identified again unless
                                      --circuit is given; a mode option switches the mode)
   --save-study FILE                  write the study the options describe; alone (without --json,
                                      --curves, --png, --dynamic-curves, --compare-csv, --tcc-csv,
                                      --tcc-png) nothing is computed or printed ("-" for standard
                                      output)
 sweeps (one CSV row per case; no other output):
   --sweep NAME=FROM:TO:COUNT         vary the number option --NAME (e.g. t2, preset,
                                      load-inertia, supply-power) over COUNT values from FROM to TO;
                                      repeat for every combination, the first outermost
   --sweep-csv FILE                   write the rows to FILE (default standard output)
   --threads N                        cases computed in parallel (default: all cores)
   --sweep-png FILE                   draw one column against the last swept option, one series per
                                      value of the others (at most 10), into a PNG image
                                      ("-" for standard output, with --sweep-csv FILE)
   --sweep-y COLUMN                   the column drawn (default SoftStarter.RunUpTime with --dynamic,
                                      else SoftStarterTime)
 data sheets of a plant's motors (one row each; no other output):
   --fit-datasheets FILE              a table with the header Maker;Size;Power;Voltage;Current;
                                      PowerFactor;Frequency;Speed;Coupling;LockedRotorCurrent;
                                      LockedRotorTorque;BreakdownTorque (";" or ","; W, V, A, Hz, rpm,
                                      Star or Delta): each row's double cage and fit
   --fit-out FILE                     write the rows to FILE (default standard output)
   --threads N                        rows identified in parallel (default: all cores)
   --row N                            instead, take row N as the motor of one run (e.g. with
                                      --save-study FILE)
   --tolerance-corners                with --dynamic and a data sheet: also the starts of the motors
                                      at the IEC 60034-1 tolerance corners, "weak" (Ta/Tn x 0.85,
                                      Tk/Tn x 0.90) and "heavy" (Ia/In x 1.20)
 output:
   --static                           also compute the curves against n/ns
   --curves FILE                      write the curve file ("-" for standard output)
   --json                             print the motor data set after the computation as one JSON object
                                      (with --dynamic and --compare their results too, with
                                      --relay-class the protection's)
   --png FILE                         draw the charts (with --static all four) into a PNG image
                                      ("-" for standard output)
   --lang en|fr                       language of messages (default en)
   --help
 Every file is written whole or not at all: into a temporary file beside it, put in place once
 every output of the command is complete; a command that fails, or is interrupted, leaves every
 file as it was. No two of the files given (--study, --catalogue and the outputs) may be the same
 file, but --save-study may name the --study read.
)";

namespace {

// Points of the time-current chart's start paths, as many as the desktop's dynamic start charts.
constexpr int TimeCurrentChartPoints = 600;

// The cells of one row of a data-sheet table as the texts of the motor's options.
class RowTexts {
  public:
    // Throws the row's refusal (189) when it has no such row or cannot be read.
    void Take(const DatasheetTable& table, std::size_t row, CaseTexts& texts) {
        if (row < 1 || row > table.rows.size()) {
            const std::string n = std::to_string(row);
            const std::string count = std::to_string(table.rows.size());
            throw Refusal{ErrDatasheetRow,
                          {n, n, "the table has " + count + " rows", "le tableau a " + count + " lignes"}};
        }
        MotorDataSet probe;
        // Judges the cells first as the batch does: which cell is missing or no number.
        if (Refusal e = DatasheetRowMotor(table, row - 1, FitPriority::Torque, probe);
            e.number == ErrDatasheetRow || e.number == ErrOptionNotANumber)
            throw e;
        const std::vector<std::string>& cells = table.rows[row - 1];
        const Opt options[] = {Opt::Maker, Opt::Size, Opt::Power, Opt::Voltage, Opt::Current, Opt::PowerFactor,
                               Opt::Frequency, Opt::Speed};
        for (std::size_t i = 0; i < std::size(options); ++i)
            texts.Replace(options[i], &cells[table.column[i]]);
        for (std::size_t i = 0; i < std::size(DatasheetOptions); ++i)
            texts.Replace(DatasheetOptions[i], &cells[table.column[9 + i]]);
        texts.Replace(cells[table.column[8]] == "Delta" ? Opt::Delta : Opt::Star, &flag_);
        texts.Replace(Opt::Approximate, &flag_);
    }

  private:
    std::string flag_; // a flag's text
};

void PrintRefusal(const Refusal& r, Language lang, std::ostream& err) {
    err << "error " << r.number << ": " << ErrorText(r, lang) << "\n";
}

int UsageFailure(const UsageError& e, std::ostream& err) {
    err << "tarvello-sim: " << e.text << "\n" << SimulatorUsage;
    return 2;
}

// A catalogue record that cannot be read: the file (223) or the record (224), naming the option.
Refusal CatalogueRefusal(const ListFileError& e, const SimOptions& o) {
    using Kind = ListFileError::Kind;
    if (e.GetKind() == Kind::RecordNotFound || e.GetKind() == Kind::MalformedRecord) {
        ErrorArgument a{"--record " + Excerpt(*o.Text(Opt::Record)), ""};
        a.french = a.english;
        if (e.GetKind() == Kind::MalformedRecord) {
            a.english += " (" + e.Detail(Language::English) + ")";
            a.french += " (" + e.Detail(Language::French) + ")";
        }
        return {ErrCatalogueRecord, a};
    }
    const std::string path = Excerpt(e.File().string());
    const std::string reason = e.SystemText().empty() ? "" : " (" + e.SystemText() + ")";
    return {ErrCatalogueUnreadable,
            {"--catalogue \"" + path + "\"" + reason, "--catalogue « " + path + " »" + reason}};
}

// The errors of reading a case, as a single run reports them; returns the exit status.
int ReportFailure(std::exception_ptr failure, const SimOptions& o, Language lang, std::ostream& err) {
    try {
        std::rethrow_exception(failure);
    } catch (const Refusal& r) {
        PrintRefusal(r, lang, err);
    } catch (const StudyLoadError& e) {
        err << "error " << e.refusal.number() << ": " << StudyRefusalText(e.refusal, e.language) << "\n";
    } catch (const ListFileError& e) {
        // Only the catalogue is read as a list here.
        if (e.Number() != 0)
            err << "error " << e.Number() << ": " << e.Message(lang) << "\n";
        else
            PrintRefusal(CatalogueRefusal(e, o), lang, err);
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

// Why an image was not written, when it could not be drawn or this build cannot draw.
[[maybe_unused]] ErrorArgument ImageNotDrawn() {
    return {"the image could not be drawn", "l'image n'a pas pu être dessinée"};
}
[[maybe_unused]] ErrorArgument WithoutCharts() {
    return {"this tarvello-sim was built without the chart component",
            "ce tarvello-sim a été construit sans le composant des graphiques"};
}

int RunSweepCommand(const SimOptions& o, CaseSource& source, std::ostream& out, std::ostream& err) {
    const Language lang = source.language;
    std::vector<SweepDimension> dimensions;
    try {
        dimensions = ParseSweeps(o);
        CheckSharedTexts(o, SweptOptions(dimensions));
    } catch (...) {
        return ReportFailure(std::current_exception(), o, lang, err);
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
    settings.protection =
        settings.dynamic && (o.Has(Opt::RelayClass) || (source.study && source.study->Dynamic.Protection));
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

    // The table and the image are made in their temporary files (the image's before the sweep,
    // so that a folder that cannot take it is said before the cases run) and put in place at the end.
    CommandOutput csv(Opt::SweepCsv, o.Has(Opt::SweepCsv) ? *o.Text(Opt::SweepCsv) : "-", out);
    std::optional<CommandOutput> png;
    if (const std::string* file = o.Text(Opt::SweepPng)) png.emplace(Opt::SweepPng, *file, out);
    Refusal problem = csv.Open();
    if (!problem && png) problem = png->Open();
    if (problem) {
        PrintRefusal(problem, lang, err);
        return 1;
    }
    auto write = [&](const std::string& text) { return !(problem = csv.Write(text)); };
    std::vector<double> plotValues;
    bool written = false;
    try {
        written = RunSweep(source, dimensions, settings, write, err, lang, &plotValues);
    } catch (...) {
        return ReportFailure(std::current_exception(), o, lang, err);
    }
    if (written) problem = csv.Finish();
    if (problem) {
        PrintRefusal(problem, lang, err);
        return 1;
    }
    if (png) {
#ifdef TARVELLO_CHART_IMAGES
        const std::string& column = header[static_cast<std::size_t>(settings.plotColumn)];
        const SweepPlot plot = MakeSweepPlot(dimensions, column, plotValues);
        const bool anyPoint = std::any_of(plot.series.begin(), plot.series.end(),
                                          [](const SweepPlot::Series& s) { return !s.points.empty(); });
        if (!anyPoint) {
            // The table of refused cases is still a table: it says why each case was refused.
            problem = csv.Commit(true);
            PrintRefusal(problem ? problem : Refusal{ErrSweepChartEmpty, {Excerpt(column), Excerpt(column)}},
                         lang, err);
            return 1;
        }
        const std::string image = SweepChartPng(plot, lang);
        problem = image.empty() ? png->Failure(ErrCannotWrite, ImageNotDrawn()) : png->Write(image);
        if (!problem) problem = png->Finish();
#else
        problem = png->Failure(ErrCannotWrite, WithoutCharts());
#endif
    }
    if (!problem) problem = csv.Commit(true);
    if (!problem && png) problem = png->Commit(!csv.Replacement());
    if (problem) {
        PrintRefusal(problem, lang, err);
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
        return ReportFailure(std::current_exception(), o, lang, err);
    }
    lang = source.language;
    // The time-current chart shows the dynamic start.
    for (Opt tcc : {Opt::TccCsv, Opt::TccPng})
        if (o.Has(tcc) && !o.Has(Opt::Dynamic)) {
            PrintRefusal({ErrTimeCurrentWithoutDynamic, {OptionOf(tcc).name, OptionOf(tcc).name}}, lang, err);
            return 1;
        }
    if (Refusal r = CheckDistinctFiles(o)) {
        PrintRefusal(r, lang, err);
        return 1;
    }
    if (!o.sweeps.empty()) return RunSweepCommand(o, source, out, err);
    const FitPriority priority = o.Has(Opt::FitPriority) && *o.Text(Opt::FitPriority) == "current"
                                     ? FitPriority::Current
                                     : FitPriority::Torque;
    std::optional<DatasheetTable> table;
    if (const std::string* file = o.Text(Opt::FitDatasheets)) {
        try {
            table = ReadDatasheetTable(*file);
        } catch (...) {
            return ReportFailure(std::current_exception(), o, lang, err);
        }
        if (!o.Has(Opt::Row)) {
            const int threads = o.Has(Opt::Threads)
                                    ? std::stoi(*o.Text(Opt::Threads))
                                    : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
            std::vector<OutputText> texts;
            texts.push_back({Opt::FitOut, o.Has(Opt::FitOut) ? *o.Text(Opt::FitOut) : "-",
                             FitDatasheetTable(*table, priority, threads)});
            if (Refusal r = WriteOutputs(texts, out)) {
                PrintRefusal(r, lang, err);
                return 1;
            }
            return 0;
        }
    }

    // The outputs asked for; without any the panels are printed. A study to save alone is neither
    // computed nor printed.
    const bool timeCurrent = o.Has(Opt::TccCsv) || o.Has(Opt::TccPng);
    const bool outputs = o.Has(Opt::Json) || o.Has(Opt::Curves) || o.Has(Opt::Png) ||
                         o.Has(Opt::DynamicCurves) || o.Has(Opt::CompareCsv) || timeCurrent;
    const bool computing = outputs || !o.Has(Opt::SaveStudy);
    CaseNeeds needs;
    needs.points = o.Has(Opt::Png);
    needs.dynamic = o.Has(Opt::Dynamic);
    needs.dynamicSamples = o.Has(Opt::DynamicCurves) ? 201 : 0;
    // The time-current chart draws the starts' paths as the desktop's charts sample them, with
    // their exact peaks.
    needs.chartPoints = timeCurrent ? TimeCurrentChartPoints : 0;
    needs.compare = o.Has(Opt::Compare);
    BuiltCase c;
    CaseResults results;
    Study study;
    std::optional<ToleranceCorners> corners;
    try {
        CaseTexts texts(o);
        RowTexts row;
        if (table) row.Take(*table, std::stoul(*o.Text(Opt::Row)), texts);
        BuildCase(source, texts, c);
        if (o.Has(Opt::SaveStudy)) study = CaseStudy(source, c);
        if (computing)
            if (Refusal e = ComputeCase(c, needs, results)) throw e;
        if (o.Has(Opt::ToleranceCorners)) {
            if (!HasDatasheet(c.ds)) throw UsageError{"--tolerance-corners needs a motor with a data sheet"};
            corners = ComputeToleranceCorners(c.ds, c.settings);
        }
    } catch (...) {
        return ReportFailure(std::current_exception(), o, lang, err);
    }
    const MotorDataSet& ds = c.ds;
    const DynamicResults* dynamic = needs.dynamic ? &results.dynamic : nullptr;
    const ComparisonResults* comparison = needs.compare ? &results.comparison : nullptr;

    // Everything is made before anything is written, in the order the files are put in place.
    std::vector<OutputText> texts;
    if (const std::string* file = o.Text(Opt::Curves))
        texts.push_back({Opt::Curves, *file, CurveFileText(ds)});
    if (const std::string* file = o.Text(Opt::DynamicCurves))
        texts.push_back(
            {Opt::DynamicCurves, *file, DynamicCurveFileText(*dynamic, c.settings.Network.Enabled)});
    if (const std::string* file = o.Text(Opt::CompareCsv))
        texts.push_back({Opt::CompareCsv, *file, ComparisonCsvText(*comparison)});
    // An image that could not be drawn, or that this build cannot draw, is refused.
    auto imageRefused = [&](Opt id, const std::string& file, const ErrorArgument& reason) {
        PrintRefusal(CommandOutput(id, file, out).Failure(ErrCannotWrite, reason), lang, err);
        return 1;
    };
    if (const std::string* file = o.Text(Opt::Png)) {
#ifdef TARVELLO_CHART_IMAGES
        std::string image = ChartImagePng(results.timePoints.points,
                                          ds.ShowStaticCurves ? &results.staticPoints.points : nullptr, lang);
        if (image.empty()) return imageRefused(Opt::Png, *file, ImageNotDrawn());
        texts.push_back({Opt::Png, *file, std::move(image)});
#else
        return imageRefused(Opt::Png, *file, WithoutCharts());
#endif
    }
    std::optional<TimeCurrentCurves> curves;
    if (timeCurrent) curves = ComputeTimeCurrentCurves(*dynamic, ds.LineCurrent);
    if (const std::string* file = o.Text(Opt::TccCsv))
        texts.push_back({Opt::TccCsv, *file, TimeCurrentCsvText(*curves)});
    if (const std::string* file = o.Text(Opt::TccPng)) {
#ifdef TARVELLO_CHART_IMAGES
        std::string image = TimeCurrentChartPng(*curves, lang);
        if (image.empty()) return imageRefused(Opt::TccPng, *file, ImageNotDrawn());
        texts.push_back({Opt::TccPng, *file, std::move(image)});
#else
        return imageRefused(Opt::TccPng, *file, WithoutCharts());
#endif
    }
    if (const std::string* file = o.Text(Opt::SaveStudy)) {
        // What cannot be written faithfully is refused first, by the value; then what is saved
        // must open again: the study is judged as a reader judges it. Its refusal names no line,
        // since the text judged is not a file the user has.
        if (Refusal r = CheckStudyWritable(study)) {
            PrintRefusal(r, lang, err);
            return 1;
        }
        std::string text = StudyText(study);
        Study reread;
        if (StudyRefusal r = ParseStudy(text, reread, CheckDynamicSettings)) {
            PrintRefusal(r.refusal, lang, err);
            return 1;
        }
        texts.push_back({Opt::SaveStudy, *file, std::move(text)});
    }
    const ToleranceCorners* cornerResults = corners ? &*corners : nullptr;
    if (o.Has(Opt::Json))
        texts.push_back({Opt::Json, "-", SimulationJson(ds, dynamic, comparison, cornerResults)});
    if (computing && !outputs) {
        std::string panels = PanelText(ds, lang);
        if (dynamic) panels += DynamicPanelText(c.settings, *dynamic, lang, &ds, cornerResults);
        if (comparison) panels += ComparisonPanelText(c.settings, *comparison, lang);
        texts.push_back({std::nullopt, "-", std::move(panels)});
    }
    if (Refusal r = WriteOutputs(texts, out)) {
        PrintRefusal(r, lang, err);
        return 1;
    }
    if (dynamic && dynamic->TypicalInertia) err << TypicalInertiaNote(ds, *dynamic, lang);
    return 0;
}
