#include "AxisScaling.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Hard cap on produced ticks: a sequence never grows beyond this, whatever the range and step.
constexpr int kMaxTicks = 10000;

bool Finite(double v) {
    return std::isfinite(v);
}

// The lowest decade whose power of ten is still a positive double (1e-323, a subnormal): below
// it 10^k rounds to 0, and a decade of 0 never reaches the value it should start from.
constexpr int kLowestDecade = -323;

// Exponent of the decade of v > 0, tolerant of rounding in log10, never below kLowestDecade.
int DecadeOf(double v) {
    int e = static_cast<int>(std::floor(std::log10(v)));
    if (e > kLowestDecade && std::pow(10.0, e) > v) --e;
    return std::max(e, kLowestDecade);
}

// Splits v > 0 into decade d = 10^k and mantissa m in [1, 10), tolerant of rounding in log10.
// Below the lowest decade the mantissa stays below 1.
void SplitDecade(double v, double& d, double& m) {
    int e = std::max(static_cast<int>(std::floor(std::log10(v))), kLowestDecade);
    d = std::pow(10.0, e);
    m = v / d;
    if (m < 1.0 - 1e-12 && e > kLowestDecade) {
        d = std::pow(10.0, --e);
        m = v / d;
    } else if (m >= 10.0 - 1e-12) {
        d = std::pow(10.0, ++e);
        m = v / d;
    }
}

double LargestSubdivisionAtMost(const std::vector<double>& table, double m) {
    double best = table.front();
    for (double t : table)
        if (t <= m * (1.0 + 1e-9)) best = t;
    return best;
}

double SmallestSubdivisionAtLeast(const std::vector<double>& table, double m) {
    for (double t : table)
        if (t >= m * (1.0 - 1e-9)) return t;
    return table.back();
}

// --- calendar -----------------------------------------------------------------------------

// Day number of 1 Jan 1970.
constexpr long kUnixEpochDay = 25569;

struct Civil {
    long y;
    int m; // 1..12
    int d; // 1..31
};

long DaysFromCivil(long y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Civil CivilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = yoe + era * 400;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {y + (m <= 2), m, d};
}

int DaysInMonth(long y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return days[m - 1];
}

// Days beyond this from the epoch are no calendar date; they are held there so that the
// day arithmetic stays within its integers.
constexpr double kCalendarLimit = 1e15;

// Days since 1 Jan 1970 of the day that holds v.
long UnixDay(double v) {
    return static_cast<long>(std::clamp(std::floor(v), -kCalendarLimit, kCalendarLimit)) - kUnixEpochDay;
}

Civil CivilOf(double v) {
    return CivilFromDays(UnixDay(v));
}
double DayOf(const Civil& c) {
    return static_cast<double>(DaysFromCivil(c.y, c.m, c.d) + kUnixEpochDay);
}

// Months per unit for the calendar units, 0 for the fixed-length ones.
int MonthsPerUnit(Dateticks t) {
    switch (t) {
    case dt_monthly:
        return 1;
    case dt_2monthly:
        return 2;
    case dt_quarterly:
        return 3;
    case dt_annually:
        return 12;
    case dt_decade:
        return 120;
    case dt_century:
        return 1200;
    default:
        return 0;
    }
}

double AddMonths(double v, int months) {
    Civil c = CivilOf(v);
    const double time = v - std::floor(v);
    long total = c.y * 12 + (c.m - 1) + months;
    long y = total >= 0 ? total / 12 : (total - 11) / 12;
    int m = static_cast<int>(total - y * 12) + 1;
    Civil r{y, m, std::min(c.d, DaysInMonth(y, m))};
    return DayOf(r) + time;
}

const char* const kMonthShort[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kMonthLong[] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};
const char* const kDayShort[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kDayLong[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string TwoDigits(long v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02ld", v);
    return buf;
}

// Replaces '.' by the wanted separator and drops the sign of a printed zero.
std::string Localise(std::string s, char decimalPoint) {
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    if (decimalPoint != '.')
        for (char& c : s)
            if (c == '.') c = decimalPoint;
    return s;
}

// "1.2E+4": two significant digits, exponent without padding.
std::string ExponentText(double v, int significant) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*E", std::max(0, significant - 1), v);
    std::string s(buf);
    const auto e = s.find('E');
    if (e == std::string::npos) return s;
    std::string mant = s.substr(0, e);
    const char sign = s[e + 1];
    const int exp = std::atoi(s.c_str() + e + 2);
    return mant + "E" + sign + std::to_string(exp);
}

} // namespace

// --- steps ------------------------------------------------------------------------------------

double GetStep(int minSteps, double lo, double hi) {
    const double r = hi - lo;
    if (!(r > 0.0) || !Finite(r)) throw ChartError(kGetStepBadRange);
    double L = std::log10(r);
    if (L < 0.0) L -= 1.0;
    const double e = std::trunc(L * 1.001);
    const double h = std::pow(10.0, e);
    for (double div : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0}) {
        const double step = h / div;
        if (r / step >= minSteps) return step;
    }
    return h / 100.0;
}

std::vector<double> LogSubdivisions(int divisions) {
    if (divisions <= 0) return {1, 10};
    if (divisions == 1) return {1, 5, 10};
    if (divisions <= 3) return {1, 2, 5, 10};
    if (divisions <= 6) return {1, 1.5, 2, 3, 5, 7, 10};
    if (divisions <= 8) return {1, 1.5, 2, 3, 4, 5, 6, 8, 10};
    return {1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10};
}

void SetLogCycleDivisions(AxisScale& a, int divisions) {
    a.LogCycleDivisions = std::clamp(divisions, 0, 9);
    a.LogTable = LogSubdivisions(a.LogCycleDivisions);
}

int LogIntermediateCount(const AxisScale& a) {
    return std::max(0, static_cast<int>(a.LogTable.size()) - 2);
}

// --- fits -------------------------------------------------------------------------------------

void LinearFit(AxisScale& a, const StepLimits& lim) {
    const double oMin = a.oMin;
    const double oMax = a.oMax;
    if (oMin > oMax) throw ChartError(kOMinAboveOMax);
    if (!Finite(oMin) || !Finite(oMax)) throw ChartError(kSetMinMaxFailed);

    if (oMin == 0.0 && oMax == 0.0) {
        a.Min = -1.0;
        a.Max = 1.0;
        a.StepSize = GetStep(lim.MinSteps, -1.0, 1.0);
        return;
    }
    if (oMin == oMax) {
        if (oMax > 0.0) {
            a.Min = 0.0;
            a.Max = 1.2 * oMax;
        } else {
            a.Min = 1.2 * oMin;
            a.Max = 0.0;
        }
        const double s = GetStep(lim.MinSteps, a.Min, a.Max);
        a.StepSize = s;
        a.Max = std::trunc(a.Max / s) * s;
        return;
    }

    double s = a.StepSize;
    if (a.AutoStepping || !(s > 0.0) || (oMax - oMin) / s > lim.MaxSteps)
        s = GetStep(lim.MinSteps, oMin, oMax);
    a.StepSize = s;

    double mn = std::trunc(oMin / s) * s;
    if (oMin < 0.0) mn -= s;
    if (oMin - 0.01 * s < mn) mn -= s;

    double mx = (std::trunc(oMax / s) + 1.0) * s;
    if (oMax < 0.0) mx -= s;
    if (oMax + 0.01 * s > mx) mx += s;

    if (oMin > 0.0 && oMin / (mx - mn) < 0.25)
        mn = 0.0;
    else if (oMax < 0.0 && -oMax / (mx - mn) < 0.25)
        mx = 0.0;

    if (!(mn < mx)) throw ChartError(kSetMinMaxFailed);
    a.Min = mn;
    a.Max = mx;
}

void LogFit(AxisScale& a, const StepLimits& lim) {
    double mn = a.oMin == a.oMax ? 0.5 * a.oMax : a.oMin;
    double mx = a.oMax;
    if (!(mn > 0.0) || !Finite(mn) || !Finite(mx)) return; // cannot be fitted; keeps its range

    if (mx / mn >= 4.0) {
        a.ShortRange = false;
        double dMin, mMin, dMax, mMax;
        SplitDecade(mn, dMin, mMin);
        SplitDecade(mx, dMax, mMax);
        // A maximum of 1 closes the decade below rather than opening a new one; other powers of
        // ten open their decade.
        if (mx == 1.0) {
            dMax = 0.1;
            mMax = 10.0;
        }
        if (mx / mn >= 30.0) {
            a.Min = dMin;
            a.Max = 10.0 * dMax;
        } else {
            a.Min = dMin * LargestSubdivisionAtMost(a.LogTable, mMin);
            a.Max = dMax * SmallestSubdivisionAtLeast(a.LogTable, mMax);
        }
    } else {
        a.ShortRange = true;
        AxisScale lin = a;
        lin.oMin = mn;
        lin.oMax = mx;
        LinearFit(lin, lim);
        // A logarithmic axis must stay positive: the zero snap or the extra step below the data
        // may not take it to 0 or below.
        if (!(lin.Min > 0.0)) {
            const double s = lin.StepSize;
            const double onStep = std::floor(mn / s) * s;
            lin.Min = onStep > 0.0 ? onStep : 0.5 * mn;
        }
        a.Min = lin.Min;
        a.Max = lin.Max;
        a.StepSize = lin.StepSize;
    }
    a.LabelAll = a.ShortRange || std::log10(a.Max / a.Min) * LogIntermediateCount(a) < 10.0;
}

void AutoLogDivisions(AxisScale& a, int minSteps) {
    if (!(a.Min > 0.0) || !(a.Max > a.Min)) return;
    const double n = minSteps / std::log10(a.Max / a.Min);
    int d = 0;
    if (n > 10)
        d = 9;
    else if (n > 8)
        d = 7;
    else if (n > 6)
        d = 5;
    else if (n > 3)
        d = 2;
    else if (n > 2)
        d = 1;
    SetLogCycleDivisions(a, d);
}

// --- dates ------------------------------------------------------------------------------------

double DateStepDays(Dateticks t) {
    switch (t) {
    case dt_minute:
        return 1.0 / 1440.0;
    case dt_5minute:
        return 5.0 / 1440.0;
    case dt_halfhourly:
        return 1.0 / 48.0;
    case dt_hourly:
        return 1.0 / 24.0;
    case dt_daily:
        return 1.0;
    case dt_weekly:
        return 7.0;
    case dt_monthly:
        return 30.0;
    case dt_2monthly:
        return 61.0;
    case dt_quarterly:
        return 91.0;
    case dt_annually:
        return 365.0;
    case dt_decade:
        return 3654.0;
    case dt_century:
        return 36540.0;
    case dt_custom:
        break;
    }
    return 1.0;
}

double DateFloor(double v, Dateticks t) {
    if (!Finite(v)) return v;
    switch (t) {
    case dt_minute:
    case dt_5minute:
    case dt_halfhourly:
    case dt_hourly: {
        const double per = 1.0 / DateStepDays(t);
        return std::floor(v * per + 1e-6) / per;
    }
    case dt_daily:
        return std::floor(v + 1e-9);
    case dt_weekly: {
        const double day = std::floor(v + 1e-9);
        const long unixDay = UnixDay(day);
        const long mondayBased = ((unixDay + 3) % 7 + 7) % 7; // weeks start on Monday
        return day - static_cast<double>(mondayBased);
    }
    case dt_custom:
        return v;
    default:
        break;
    }
    Civil c = CivilOf(v + 1e-9);
    const int months = MonthsPerUnit(t);
    if (months < 12) {
        c.m = ((c.m - 1) / months) * months + 1;
    } else {
        const long years = months / 12;
        c.y = (c.y >= 0 ? c.y / years : (c.y - years + 1) / years) * years;
        c.m = 1;
    }
    c.d = 1;
    return DayOf(c);
}

double DateAdvance(double v, Dateticks t, int units) {
    const int months = MonthsPerUnit(t);
    if (months > 0) return AddMonths(v, months * units);
    return v + DateStepDays(t) * units;
}

double DateCeil(double v, Dateticks t) {
    const double f = DateFloor(v, t);
    if (std::fabs(v - f) < 1e-7) return f;
    return DateAdvance(f, t, 1);
}

void DateFit(AxisScale& a) {
    if (!(a.oMin >= 1.0) || !Finite(a.oMax) || a.oMax < a.oMin) return;
    const Dateticks t = a.DateTickType == dt_custom ? dt_daily : a.DateTickType;
    a.Min = DateFloor(a.oMin, t);
    a.Max = DateCeil(a.oMax, t);
    if (!(a.Max > a.Min)) a.Max = DateAdvance(a.Min, t, 1);
}

double DateNow() {
    using namespace std::chrono;
    const double secs = duration<double>(system_clock::now().time_since_epoch()).count();
    return kUnixEpochDay + secs / 86400.0;
}

std::string FormatDateTime(const std::string& format, double v) {
    if (!Finite(v)) return "";
    // Round to the millisecond so that 12:00 does not print as 11:59.
    v = std::round(v * 86400000.0) / 86400000.0;
    const Civil c = CivilOf(v);
    const long unixDay = UnixDay(v);
    const int weekday = static_cast<int>(((unixDay + 4) % 7 + 7) % 7); // 0 = Sunday
    const long msOfDay = std::lround((v - std::floor(v)) * 86400000.0);
    const long hour = msOfDay / 3600000;
    const long minute = (msOfDay / 60000) % 60;
    const long second = (msOfDay / 1000) % 60;

    std::string out;
    bool lastWasHour = false;
    std::size_t i = 0;
    auto run = [&](char ch) {
        std::size_t n = 0;
        while (i + n < format.size() && std::tolower(static_cast<unsigned char>(format[i + n])) == ch)
            ++n;
        return n;
    };
    while (i < format.size()) {
        const char raw = format[i];
        const char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(raw)));
        if (raw == '\'' || raw == '"') {
            const auto end = format.find(raw, i + 1);
            out += format.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            i = end == std::string::npos ? format.size() : end + 1;
            continue;
        }
        std::size_t n = 0;
        switch (ch) {
        case 'd':
            n = run('d');
            if (n == 1)
                out += std::to_string(c.d);
            else if (n == 2)
                out += TwoDigits(c.d);
            else if (n == 3)
                out += kDayShort[weekday];
            else
                out += kDayLong[weekday];
            lastWasHour = false;
            break;
        case 'm':
            n = run('m');
            if (lastWasHour && n <= 2) // "hh:mm" means minutes
                out += n == 1 ? std::to_string(minute) : TwoDigits(minute);
            else if (n == 1)
                out += std::to_string(c.m);
            else if (n == 2)
                out += TwoDigits(c.m);
            else if (n == 3)
                out += kMonthShort[c.m - 1];
            else
                out += kMonthLong[c.m - 1];
            lastWasHour = false;
            break;
        case 'y':
            n = run('y');
            out += n <= 2 ? TwoDigits(((c.y % 100) + 100) % 100) : std::to_string(c.y);
            lastWasHour = false;
            break;
        case 'h':
            n = run('h');
            out += n == 1 ? std::to_string(hour) : TwoDigits(hour);
            lastWasHour = true;
            break;
        case 'n':
            n = run('n');
            out += n == 1 ? std::to_string(minute) : TwoDigits(minute);
            lastWasHour = false;
            break;
        case 's':
            n = run('s');
            out += n == 1 ? std::to_string(second) : TwoDigits(second);
            lastWasHour = false;
            break;
        default:
            n = 1;
            out += raw;
            if (raw != ':' && raw != ' ') lastWasHour = false;
            break;
        }
        i += n;
    }
    return out;
}

// --- per-draw scaling -------------------------------------------------------------------------

bool AutoSize(AxisScale& a, bool hasData, const StepLimits& lim, double now) {
    if (a.oMax - a.oMin < a.MinScaleLength) a.oMax = a.oMin + a.MinScaleLength;

    if (!hasData) {
        // Nothing to fit: only make sure the current range can be drawn.
        if (!Finite(a.Min) || !Finite(a.Max)) {
            a.Min = 0.0;
            a.Max = 1.0;
        }
        if (a.Min > a.Max) std::swap(a.Min, a.Max);
        if (a.LogScale) {
            if (a.Max > 0.0 && !(a.Min > 0.0)) a.Min = a.Max * 0.1;
            if (!(a.Max > 0.0)) {
                a.Min = 1.0;
                a.Max = 10.0;
            }
            if (a.Min == a.Max) a.Min = a.Max * 0.1;
        } else if (a.ShowAsTime && a.DateTickType != dt_custom) {
            a.Max = now;
            a.Min = a.Max - 5.0 * DateStepDays(a.DateTickType);
        } else {
            if (a.Min == a.Max) {
                // An equal pair starts from 0. A negative pair so becomes 0 ... Min, a reversed
                // range that has no step and is shown as inconsistent.
                if (a.Max != 0.0) {
                    a.Min = 0.0;
                } else {
                    a.Min = -1.0;
                    a.Max = 1.0;
                }
            }
            if (a.Min < a.Max) a.StepSize = GetStep(lim.MinSteps, a.Min, a.Max);
        }
        return false;
    }

    if (a.LogScale) {
        if (a.oMin > 0.0) {
            LogFit(a, lim);
            if (a.AutoStepping && a.oMin < a.oMax && !a.ShortRange) {
                AutoLogDivisions(a, lim.MinSteps);
                LogFit(a, lim);
            }
        }
    } else if (a.ShowAsTime && a.DateTickType != dt_custom) {
        DateFit(a);
    } else {
        LinearFit(a, lim);
        if (a.AutoStepping && a.oMin < a.oMax) {
            a.StepSize = GetStep(lim.MinSteps, a.Min, a.Max);
            LinearFit(a, lim);
        }
    }
    return a.Min != a.oMin || a.Max != a.oMax;
}

bool RangeIsValid(const AxisScale& a) {
    if (!Finite(a.Min) || !Finite(a.Max) || !(a.Min < a.Max)) return false;
    if (a.LogScale && !(a.Min > 0.0)) return false;
    if (a.ShowAsTime && !(a.Min >= 1.0)) return false;
    return true;
}

bool ScaleAxis(AxisScale& a, bool hasData, const StepLimits& lim, double now) {
    bool changed = false;
    if (a.AutoSizing) changed = AutoSize(a, hasData, lim, now);
    a.Valid = RangeIsValid(a);
    if (a.Valid && a.AutoStepping) {
        if (a.LogScale) {
            // The short-range flag stays as the last logarithmic fit left it.
            AutoLogDivisions(a, lim.MinSteps);
            a.LabelAll = a.ShortRange || std::log10(a.Max / a.Min) * LogIntermediateCount(a) < 10.0;
        } else if (!a.ShowAsTime || a.DateTickType == dt_custom) {
            a.StepSize = GetStep(lim.MinSteps, a.Min, a.Max);
        }
    }
    return changed;
}

void ComputeScaleFactor(AxisScale& a, int pixels, const std::string& title) {
    if (!(a.Min < a.Max)) throw ChartError(title + " " + kCalcMetricsFailed);
    const double span = a.LogScale ? std::log(a.Max) - std::log(a.Min) : a.Max - a.Min;
    if (!(span > 0.0) || !Finite(span)) throw ChartError(title + " " + kCalcMetricsFailed);
    // A plot squeezed below one pixel still gets a usable, positive scale.
    a.Scale = std::max(pixels, 1) / span;
}

double DrawStep(AxisScale& a, const StepLimits& lim, int pixels, const std::string& title) {
    const double range = a.Max - a.Min;
    if (a.ShowAsTime && a.DateTickType != dt_custom && !a.LogScale) {
        while (range / DateStepDays(a.DateTickType) > lim.MaxSteps && a.DateTickType < dt_century) {
            a.DateTickType = static_cast<Dateticks>(a.DateTickType + 1);
            if (a.AutoSizing) {
                DateFit(a);
                ComputeScaleFactor(a, pixels, title);
            }
        }
        const double step = DateStepDays(a.DateTickType);
        if ((a.Max - a.Min) / step > lim.MaxSteps) return GetStep(lim.MinSteps, a.Min, a.Max);
        return step;
    }
    double s = a.StepSize;
    if (!(s > 0.0) || range / s > lim.MaxSteps) s = GetStep(lim.MinSteps, a.Min, a.Max);
    return s;
}

std::vector<Tick> TickSequence(const AxisScale& a, double step) {
    std::vector<Tick> ticks;
    if (!RangeIsValid(a)) return ticks;

    if (a.LogScale && !a.ShortRange) {
        const std::vector<double>& m = a.LogTable;
        const std::size_t k = m.size() - 1; // m[k] == 10 is the next decade's 1
        // Decades go by their exponent: a running product would drift, and one below the lowest
        // positive power of ten would be 0 for ever.
        int e = DecadeOf(a.Min);
        double dec = std::pow(10.0, e);
        std::size_t i = 0;
        auto next = [&] {
            if (++i == k) {
                i = 0;
                dec = std::pow(10.0, ++e);
            }
        };
        // The first tick lies within the decade of Min or the next one.
        for (std::size_t n = 0; n < 2 * k && m[i] * dec < 0.999 * a.Min; ++n)
            next();
        const double end = a.Max * 1.001;
        for (int n = 0; n < kMaxTicks; ++n) {
            const double t = m[i] * dec;
            if (!(t <= end) || !Finite(t)) break;
            // Subnormal decades may round two subdivisions to one value.
            if (ticks.empty() || t > ticks.back().Value) ticks.push_back({t, i == 0 || a.LabelAll});
            next();
        }
        return ticks;
    }

    // A span of more calendar units than ticks can be drawn (more than a million years when
    // counted in centuries) is stepped like a linear axis.
    if (a.ShowAsTime && a.DateTickType != dt_custom &&
        (a.Max - a.Min) / DateStepDays(a.DateTickType) <= kMaxTicks) {
        const Dateticks t = a.DateTickType;
        const double end = a.Max + 0.001 * (a.Max - a.Min);
        double v = DateCeil(a.Min, t);
        while (v < end && static_cast<int>(ticks.size()) < kMaxTicks) {
            ticks.push_back({v, true});
            const double next = DateAdvance(v, t, 1);
            if (!(next > v)) break;
            v = next;
        }
        return ticks;
    }

    if (!(step > 0.0) || !Finite(step)) return ticks;
    const double s = step;
    double first = std::trunc((a.Min + 0.01 * s) / s) * s;
    if (a.Min < 0.0) first -= s;
    if (a.Min > first + 0.01 * s) first += s;
    const double end = a.Max + 0.001 * (a.Max - a.Min);
    for (int n = 0; n < kMaxTicks; ++n) {
        // Multiplying rather than accumulating keeps long sequences on their grid.
        const double t = first + n * s;
        if (!(t < end)) break;
        if (n > 0 && !(t > ticks.back().Value)) break; // step lost below the values' precision
        ticks.push_back({t, true});
    }
    return ticks;
}

int AutoDecimals(double step) {
    if (!(step > 0.0) || !Finite(step)) return 0;
    const double a = std::log10(1.0201 * step);
    const double t = std::trunc(a);
    const int d = static_cast<int>(a >= 0.0 ? -t : 1.0 - t);
    return std::clamp(d, 0, 15);
}

int LogDecimals(const AxisScale& a, double firstTick) {
    return std::min(15, AutoDecimals(firstTick) + (LogIntermediateCount(a) > 4 ? 1 : 0));
}

std::string FormatLabel(double v, int decimals, double range, char decimalPoint) {
    if (!Finite(v)) return "";
    const double av = std::fabs(v);
    if (av >= 0.001 * range && (av <= 0.000999 || av >= 9999.0))
        return Localise(ExponentText(v, 2), decimalPoint);

    // Fixed point with five significant digits; more integer digits than that need an exponent.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4e", v);
    const double r = std::strtod(buf, nullptr);
    if (std::fabs(r) >= 1e5) return Localise(ExponentText(v, 5), decimalPoint);
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 15), r);
    return Localise(buf, decimalPoint);
}

double AxisCrossValue(TAxisOffsetType type, double offset, const AxisScale& other) {
    switch (type) {
    case ao_Minimum:
        return other.Min;
    case ao_Maximum:
        return other.Max;
    case ao_percentage:
        return other.Min + (other.Max - other.Min) * offset / 100.0;
    case ao_absolute:
        return offset;
    }
    return other.Min;
}

int ValueToPixel(const AxisScale& a, double v, bool vertical, int margin, int offset) {
    double d;
    if (a.LogScale) {
        const double bound = vertical ? a.Max : a.Min;
        if (!(v > 0.0) || !(bound > 0.0)) return vertical ? kPixelLimit : -kPixelLimit;
        d = vertical ? std::log(bound) - std::log(v) : std::log(v) - std::log(bound);
    } else {
        d = vertical ? a.Max - v : v - a.Min;
    }
    const double px = d * a.Scale;
    if (std::isnan(px)) return kPixelLimit;
    // Keep the side of the plot the value lies on, so lines to far-off points head the right way.
    if (std::fabs(px) > kPixelLimit) return px < 0.0 ? -kPixelLimit : kPixelLimit;
    return static_cast<int>(std::lround(px)) + margin + offset;
}

double PixelToValue(const AxisScale& a, int px, bool vertical, int margin, int offset) {
    if (!(a.Scale > 0.0) || !Finite(a.Scale)) return vertical ? a.Max : a.Min;
    const double d = (px - margin - offset) / a.Scale;
    if (a.LogScale) return vertical ? a.Max * std::exp(-d) : a.Min * std::exp(d);
    return vertical ? a.Max - d : a.Min + d;
}

std::vector<bool> SelectXLabels(const std::vector<std::pair<int, int>>& extents) {
    std::vector<bool> draw(extents.size(), false);
    bool any = false;
    int lastRight = 0;
    for (std::size_t i = 0; i < extents.size(); ++i) {
        const bool last = i + 1 == extents.size();
        if (last || !any || extents[i].first > lastRight) {
            draw[i] = true;
            any = true;
            lastRight = extents[i].second;
        }
    }
    return draw;
}
