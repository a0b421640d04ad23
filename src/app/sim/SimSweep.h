#pragma once
// Sweeps: every combination of the values of one or more number options, each case built and
// computed exactly as a single run given the value's CSV text as the option's text, in parallel,
// one CSV row per case in a fixed order (plain C++, no Qt).

#include <array>
#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "SimCase.h"
#include "SimValues.h"

// The most cases one command may sweep.
constexpr std::size_t MaxSweepCases = 1000000;

// One --sweep NAME=FROM:TO:COUNT.
struct SweepDimension {
    Opt option = Opt::Power;
    std::string name;               // as typed, e.g. "load-inertia": the column's heading
    std::vector<double> values;     // v_i = FROM + (TO - FROM) i / (COUNT - 1), the last exactly TO
                                    // (where that overflows, lerp(FROM, TO, i / (COUNT - 1)))
    std::vector<std::string> texts; // each value's text as CsvNumber writes it, which the case reads
};

// The --sweep texts read, the first outermost. Throws Refusal: 165 a text not of the form, 166 a
// name that is no number option, 167 an option swept twice or also given, 169 too many cases.
std::vector<SweepDimension> ParseSweeps(const SimOptions& options);

// Which options the sweeps replace.
std::array<bool, OptCount> SweptOptions(const std::vector<SweepDimension>& dimensions);

struct SweepSettings {
    int threads = 1;
    bool dynamic = false; // Dol.<key> and SoftStarter.<key> columns
    bool compare = false; // <method>.<key> columns
    bool protection = false; // Protection.<path> columns, and the relay's in each method's
    bool duty = false;    // StarterDuty.<key> columns
    int plotColumn = -1;  // a column whose values are kept for a plot (index into the header)
    // A sweep that runs longer than this says how far it has gotten, now and then.
    std::chrono::milliseconds progressAfter{1000};
};

// The CSV header's cells: the swept names, Error, SoftStarterTime, ImaxIn, then the results.
std::vector<std::string> SweepHeader(const std::vector<SweepDimension>& dimensions,
                                     const SweepSettings& settings);

// Runs every case and hands the CSV text (header first, then the rows in case order, in blocks)
// to write, which returns false to stop. progress receives a line now and then once the sweep
// has run for settings.progressAfter ("\r" before each, "\n" after the last). Returns false when write
// stopped it. plotValues, when a plot column is set, receives that column's value of every case (NaN for an
// empty cell).
bool RunSweep(const CaseSource& source, const std::vector<SweepDimension>& dimensions,
              const SweepSettings& settings, const std::function<bool(const std::string&)>& write,
              std::ostream& progress, Language language, std::vector<double>* plotValues);

// What a plot of one result column against the last swept option shows: one series per
// combination of the other swept values (at most MaxPlotSeries of them, evenly chosen).
constexpr std::size_t MaxPlotSeries = 10;
struct SweepPlot {
    std::string xName, yName;
    struct Series {
        std::string name; // e.g. "preset = 5, t0 = 2"; the column's name alone for one sweep
        std::vector<std::pair<double, double>> points; // the cases whose x and y are numbers
    };
    std::vector<Series> series;
    std::size_t seriesInSweep = 0; // combinations of the other swept values
};
SweepPlot MakeSweepPlot(const std::vector<SweepDimension>& dimensions, const std::string& column,
                        const std::vector<double>& values);
