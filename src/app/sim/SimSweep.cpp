#include "SimSweep.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "ListFileError.h"
#include "SimFiles.h"
#include "TextToReal.h"

namespace {

Refusal BadSweep(const std::string& text) {
    return {ErrSweepSyntax, {Excerpt(text), Excerpt(text)}};
}

SweepDimension ParseSweep(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) throw BadSweep(text);
    SweepDimension d;
    d.name = text.substr(0, equals);
    const auto id = FindOption("--" + d.name);
    if (!id || OptionOf(*id).kind != OptKind::Number)
        throw Refusal{ErrSweepName, {"--" + Excerpt(d.name), "--" + Excerpt(d.name)}};
    d.option = *id;

    const std::string range = text.substr(equals + 1);
    const std::size_t first = range.find(':');
    const std::size_t second = first == std::string::npos ? first : range.find(':', first + 1);
    if (second == std::string::npos || range.find(':', second + 1) != std::string::npos) throw BadSweep(text);
    double from = 0, to = 0;
    try {
        from = TextToReal(range.substr(0, first));
        to = TextToReal(range.substr(first + 1, second - first - 1));
    } catch (const EConvertError&) {
        throw BadSweep(text);
    }
    const std::string countText = range.substr(second + 1);
    std::size_t count = 0;
    const auto [end, ec] = std::from_chars(countText.data(), countText.data() + countText.size(), count);
    if (ec != std::errc() || end != countText.data() + countText.size() || count < 1 ||
        !std::isfinite(from) || !std::isfinite(to))
        throw BadSweep(text);
    if (count > MaxSweepCases)
        throw Refusal{ErrSweepTooLarge, {std::to_string(MaxSweepCases), std::to_string(MaxSweepCases)}};

    d.values.resize(count);
    const double last = static_cast<double>(count > 1 ? count - 1 : 1);
    for (std::size_t i = 0; i < count; ++i) {
        double& v = d.values[i];
        v = i + 1 == count && count > 1 ? to : from + (to - from) * static_cast<double>(i) / last;
        // Where TO - FROM (or its multiple) overflows, FROM and TO have opposite signs: weighed
        // instead, each value lies between them and they follow each other in order, FROM exact.
        if (!std::isfinite(v)) v = std::lerp(from, to, static_cast<double>(i) / last);
    }
    // A value that is not finite gets no text; its case is refused before any text is read.
    d.texts.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        d.texts[i] = CsvNumber(d.values[i]);
    return d;
}

// One thread's reusable state.
struct Worker {
    BuiltCase built;
    CaseResults results;
    std::vector<ResultValue> values;
};

// The result cells of one case after its swept values.
class RowBuilder {
  public:
    explicit RowBuilder(const SweepSettings& settings) : settings_(settings) {}

    void Values(int error, const BuiltCase* c, const CaseResults* r, std::vector<ResultValue>& v) const {
        v.clear();
        v.push_back(ResultValue::Of(static_cast<double>(error)));
        auto add = [&](const char*, const ResultValue& value) { v.push_back(error ? ResultValue{} : value); };
        add("SoftStarterTime", error ? ResultValue{} : ResultValue::Of(c->ds.SoftStarterTime));
        add("ImaxIn", error ? ResultValue{} : ResultValue::Of(c->ds.ImaxIn));
        // A refused case has only its error: every result cell of its row is empty.
        static const StartOutcome none{};
        static const ComparisonResults noComparison{};
        static const StarterDutyResult noDuty{};
        static const ProtectionResults noProtection{};
        if (settings_.dynamic) {
            VisitStart(error ? none : r->dynamic.Dol, add);
            VisitStart(error ? none : r->dynamic.SoftStarter, add);
            if (settings_.protection) {
                const bool given = !error && r->dynamic.Protection;
                VisitProtection(given ? *r->dynamic.Protection : noProtection,
                                [&](const std::string&, const ResultValue& value) {
                                    v.push_back(given ? value : ResultValue{});
                                });
            }
        }
        if (settings_.compare) {
            for (const MethodOutcome& m : (error ? noComparison : r->comparison).Methods) {
                VisitMethod(m, add);
                if (settings_.protection) VisitMethodRelay(m, add);
            }
            if (settings_.duty) VisitDuty(error || !r->comparison.Duty ? noDuty : *r->comparison.Duty, add);
        }
    }

  private:
    const SweepSettings& settings_;
};

} // namespace

std::vector<SweepDimension> ParseSweeps(const SimOptions& options) {
    std::vector<SweepDimension> dimensions;
    std::array<bool, OptCount> seen{};
    std::size_t cases = 1;
    for (const std::string& text : options.sweeps) {
        SweepDimension d = ParseSweep(text);
        const std::size_t i = static_cast<std::size_t>(d.option);
        if (seen[i] || options.Has(d.option))
            throw Refusal{ErrSweepTwice, {"--" + Excerpt(d.name), "--" + Excerpt(d.name)}};
        seen[i] = true;
        if (d.values.size() > MaxSweepCases / cases)
            throw Refusal{ErrSweepTooLarge, {std::to_string(MaxSweepCases), std::to_string(MaxSweepCases)}};
        cases *= d.values.size();
        dimensions.push_back(std::move(d));
    }
    return dimensions;
}

std::array<bool, OptCount> SweptOptions(const std::vector<SweepDimension>& dimensions) {
    std::array<bool, OptCount> swept{};
    for (const SweepDimension& d : dimensions)
        swept[static_cast<std::size_t>(d.option)] = true;
    return swept;
}

std::vector<std::string> SweepHeader(const std::vector<SweepDimension>& dimensions,
                                     const SweepSettings& settings) {
    std::vector<std::string> header;
    for (const SweepDimension& d : dimensions)
        header.push_back(d.name);
    header.insert(header.end(), {"Error", "SoftStarterTime", "ImaxIn"});
    const StartOutcome start;
    if (settings.dynamic) {
        for (const char* prefix : {"Dol.", "SoftStarter."})
            VisitStart(start, [&](const char* key, const ResultValue&) {
                header.push_back(prefix + std::string(key));
            });
        if (settings.protection)
            VisitProtection(ProtectionResults{}, [&](const std::string& path, const ResultValue&) {
                header.push_back("Protection." + path);
            });
    }
    if (settings.compare) {
        const ComparisonResults c;
        for (int i = 0; i < StartingMethodCount; ++i) {
            const std::string prefix = MethodKey(static_cast<StartingMethod>(i)) + std::string(".");
            auto name = [&](const char* key, const ResultValue&) { header.push_back(prefix + key); };
            VisitMethod(c.Methods[i], name);
            if (settings.protection) VisitMethodRelay(c.Methods[i], name);
        }
        if (settings.duty)
            VisitDuty(StarterDutyResult{}, [&](const char* key, const ResultValue&) {
                header.push_back("StarterDuty." + std::string(key));
            });
    }
    return header;
}

bool RunSweep(const CaseSource& source, const std::vector<SweepDimension>& dimensions,
              const SweepSettings& settings, const std::function<bool(const std::string&)>& write,
              std::ostream& progress, Language language, std::vector<double>* plotValues) {
    std::size_t total = 1;
    for (const SweepDimension& d : dimensions)
        total *= d.values.size();
    const std::vector<std::string> header = SweepHeader(dimensions, settings);
    std::string headerText;
    for (std::size_t k = 0; k < header.size(); ++k)
        (headerText += k ? ";" : "") += header[k];
    if (!write(headerText + "\r\n")) return false;

    CaseNeeds needs;
    needs.staticCurves = false; // no output of a sweep draws them
    needs.dynamic = settings.dynamic;
    needs.compare = settings.compare;
    const RowBuilder rows(settings);
    const std::size_t plotIndex = settings.plotColumn >= static_cast<int>(dimensions.size())
                                      ? settings.plotColumn - dimensions.size()
                                      : SIZE_MAX;
    if (plotValues)
        plotValues->assign(plotIndex == SIZE_MAX ? 0 : total, std::numeric_limits<double>::quiet_NaN());

    // One case: its swept texts in place of the options', then exactly a single run's path.
    auto runCase = [&](std::size_t index, Worker& w, std::string& row) {
        CaseTexts texts(*source.options);
        std::size_t rest = index;
        std::array<std::size_t, OptCount> digit{};
        for (std::size_t k = dimensions.size(); k-- > 0;) {
            digit[k] = rest % dimensions[k].values.size();
            rest /= dimensions[k].values.size();
        }
        int error = 0;
        row.clear();
        for (std::size_t k = 0; k < dimensions.size(); ++k) {
            const double v = dimensions[k].values[digit[k]];
            // A value beyond the doubles is no text an option takes.
            if (!std::isfinite(v))
                error = ErrSweepValueRefused;
            else
                row += dimensions[k].texts[digit[k]];
            row += ';';
            texts.Replace(dimensions[k].option, &dimensions[k].texts[digit[k]]);
        }
        if (!error) {
            try {
                BuildCase(source, texts, w.built);
                error = ComputeCase(w.built, needs, w.results).number;
            } catch (const Refusal& r) {
                error = r.number;
            } catch (const EConvertError&) {
                error = ErrSweepValueRefused;
            } catch (const UsageError&) {
                error = ErrSweepValueRefused;
            }
        }
        rows.Values(error, &w.built, &w.results, w.values);
        for (std::size_t k = 0; k < w.values.size(); ++k) {
            if (k) row += ';';
            AppendCsvCell(row, w.values[k]);
        }
        row += "\r\n";
        if (plotIndex != SIZE_MAX && plotValues) {
            const ResultValue& v = w.values[plotIndex];
            (*plotValues)[index] = v.kind == ResultValue::Kind::Number ? v.number
                                   : v.kind == ResultValue::Kind::Bool
                                       ? (v.flag ? 1.0 : 0.0)
                                       : std::numeric_limits<double>::quiet_NaN();
        }
    };

    const std::size_t threadCount =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(1, settings.threads)), total);
    std::vector<Worker> workers(threadCount);
    constexpr std::size_t BlockSize = 16384, ChunkSize = 16;
    std::vector<std::string> block(std::min(BlockSize, total));
    for (std::string& r : block)
        r.reserve(256);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    Clock::time_point lastReport = started;
    bool reported = false;
    std::atomic<std::size_t> done{0};
    auto report = [&](bool last) {
        const Clock::time_point now = Clock::now();
        if (!last && (now - started < settings.progressAfter ||
                      (reported && now - lastReport < std::chrono::milliseconds(250))))
            return;
        if (last && !reported) return;
        lastReport = now;
        reported = true;
        const std::string n = std::to_string(done.load()), of = std::to_string(total);
        progress << "\r"
                 << (language == Language::French ? "tarvello-sim : cas " + n + " sur " + of
                                                  : "tarvello-sim: case " + n + " of " + of)
                 << (last ? "\n" : "") << std::flush;
    };

    for (std::size_t start = 0; start < total; start += BlockSize) {
        const std::size_t n = std::min(BlockSize, total - start);
        std::atomic<std::size_t> next{0};
        std::exception_ptr failure;
        std::mutex failureMutex;
        auto work = [&](Worker& w, bool reporting) {
            try {
                for (;;) {
                    const std::size_t k = next.fetch_add(ChunkSize);
                    if (k >= n) break;
                    const std::size_t end = std::min(k + ChunkSize, n);
                    for (std::size_t j = k; j < end; ++j)
                        runCase(start + j, w, block[j]);
                    done += end - k;
                    if (reporting) report(false);
                }
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureMutex);
                if (!failure) failure = std::current_exception();
                next = n; // the others stop at their next chunk
            }
        };
        std::vector<std::thread> threads;
        for (std::size_t t = 1; t < threadCount; ++t)
            threads.emplace_back(work, std::ref(workers[t]), false);
        work(workers[0], true);
        for (std::thread& t : threads)
            t.join();
        if (failure) std::rethrow_exception(failure);
        std::string text;
        std::size_t size = 0;
        for (std::size_t j = 0; j < n; ++j)
            size += block[j].size();
        text.reserve(size);
        for (std::size_t j = 0; j < n; ++j)
            text += block[j];
        if (!write(text)) return false;
    }
    report(true);
    return true;
}

SweepPlot MakeSweepPlot(const std::vector<SweepDimension>& dimensions, const std::string& column,
                        const std::vector<double>& values) {
    SweepPlot plot;
    const SweepDimension& x = dimensions.back();
    plot.xName = x.name;
    plot.yName = column;
    const std::size_t perSeries = x.values.size();
    const std::size_t seriesCount = values.size() / perSeries;
    plot.seriesInSweep = seriesCount;
    // Evenly chosen combinations, the first and the last among them.
    std::vector<std::size_t> chosen;
    if (seriesCount <= MaxPlotSeries) {
        for (std::size_t s = 0; s < seriesCount; ++s)
            chosen.push_back(s);
    } else {
        for (std::size_t k = 0; k < MaxPlotSeries; ++k)
            chosen.push_back(static_cast<std::size_t>(std::llround(
                static_cast<double>(k) * static_cast<double>(seriesCount - 1) / (MaxPlotSeries - 1))));
    }
    for (std::size_t s : chosen) {
        SweepPlot::Series series;
        // The other swept values of this combination, outermost first.
        std::size_t rest = s;
        std::vector<std::string> parts(dimensions.size() - 1);
        for (std::size_t k = dimensions.size() - 1; k-- > 0;) {
            const double v = dimensions[k].values[rest % dimensions[k].values.size()];
            rest /= dimensions[k].values.size();
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.6g", v);
            parts[k] = dimensions[k].name + " = " + buf;
        }
        for (const std::string& p : parts)
            series.name += (series.name.empty() ? "" : ", ") + p;
        if (series.name.empty()) series.name = column;
        for (std::size_t i = 0; i < perSeries; ++i) {
            const double xv = x.values[i], yv = values[s * perSeries + i];
            if (std::isfinite(xv) && std::isfinite(yv)) series.points.emplace_back(xv, yv);
        }
        plot.series.push_back(std::move(series));
    }
    return plot;
}
