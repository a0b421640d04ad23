#include "SimCli.h"

#include <cstdio>

#include "CurveFile.h"
#include "ErrorMessages.h"
#include "ListFileError.h"
#include "SimCase.h"
#include "SimFiles.h"
#include "SimJson.h"
#include "SimOptions.h"
#include "SimPanels.h"
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
   --compare-csv FILE                 write the comparison table ("-" for standard output)
 the starter's duty check (with --compare; the three together):
   --starter-current A                the starter's rated current Ie
   --starter-rating X-TX:F-S          its AC-53a rating, e.g. "AC-53a: 3.5-17: 90-5": start current
                                      X times Ie for TX s, on-load factor F %, S starts per hour
   --starts-per-hour N                the starts per hour the application needs
                                      The soft-starter start passes when its rms current over the
                                      run-up is at most X Ie, its run-up time at most TX, N at most
                                      S and the motor's rated current at most Ie; F is not judged.
 output:
   --static                           also compute the curves against n/ns
   --curves FILE                      write the curve file ("-" for standard output)
   --json                             print the motor data set after the computation as one JSON object
   --png FILE                         draw the charts (with --static all four) into a PNG image
   --lang en|fr                       language of messages (default en)
   --help
)";

namespace {

void PrintRefusal(const Refusal& r, Language lang, std::ostream& err) {
    err << "error " << r.number << ": " << ErrorText(r, lang) << "\n";
}

// What the typical inertia is, said when the user gave none.
std::string TypicalInertiaNote(const MotorDataSet& ds, const DynamicResults& r, Language lang) {
    char value[32];
    std::snprintf(value, sizeof value, "%.4g", r.MotorInertia);
    const std::string power = FormatFixed(ds.MechanicalPower, 0), poles = FormatFixed(ds.PairOfPoles, 0);
    if (lang == Language::French) {
        std::string v = value;
        for (char& c : v)
            if (c == '.') c = ',';
        return "tarvello-sim : inertie du moteur non donnée : la valeur typique d'un moteur de " + power +
               " W à " + poles + " paire(s) de pôles est utilisée, " + v + " kg m2\n";
    }
    return "tarvello-sim: no motor inertia given: the typical value of a " + power + " W motor with " +
           poles + " pair(s) of poles is used, " + value + " kg m2\n";
}

} // namespace

int RunSimulatorCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    SimOptions o;
    try {
        o = ParseSimOptions(args);
    } catch (const UsageError& e) {
        err << "tarvello-sim: " << e.text << "\n" << SimulatorUsage;
        return 2;
    }
    if (o.Has(Opt::Help)) {
        out << SimulatorUsage;
        return 0;
    }
    const Language lang =
        o.Text(Opt::Lang) && *o.Text(Opt::Lang) == "fr" ? Language::French : Language::English;

    CaseNeeds needs;
    needs.points = o.Has(Opt::Png);
    needs.dynamic = o.Has(Opt::Dynamic);
    needs.dynamicSamples = o.Has(Opt::DynamicCurves) ? 201 : 0;
    needs.compare = o.Has(Opt::Compare);
    BuiltCase c;
    CaseResults results;
    try {
        const CaseSource source = PrepareCases(o, lang);
        BuildCase(source, CaseTexts(o), c);
        if (Refusal e = ComputeCase(c, needs, results)) throw e;
    } catch (const Refusal& r) {
        PrintRefusal(r, lang, err);
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
        err << "error: this tarvello-sim was built without the chart component\n";
        return 1;
#endif
    }
    if (o.Has(Opt::Json)) out << SimulationJson(ds, dynamic, comparison);
    if (!o.Has(Opt::Json) && !o.Has(Opt::Curves) && !o.Has(Opt::Png) && !o.Has(Opt::DynamicCurves) &&
        !o.Has(Opt::CompareCsv)) {
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
