#pragma once
// The start against the motor's overload relay and its thermal limit: the relay's thermal image
// (IEC 60947-4-1 trip classes, the earliest and the latest relay of each class), the motor's
// locked-rotor withstand times, the verdicts and the time-current chart's curves.
//
// The relay: x(t) = I(t) / Ir, dθ/dt = (x² − θ) / τ, θ(0) = 0 cold or (In / Ir)² hot; it trips
// when θ reaches k², k = RelayTripLevel. A class gives the band of the cold trip time at 7.2 Ir;
// τ = t7.2 / ln(7.2² / (7.2² − k²)). The motor: a permitted time t_LR (I_LR / I)² at a current I
// (equal I²t), and the thermal capacity a start uses, ∫ I² dt / (I_LR² t_LR).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ErrorMessages.h"

struct MotorDataSet;

enum class TripClass { Class10A, Class10, Class20, Class30 };
constexpr int TripClassCount = 4;
// "10A", "10", "20", "30".
const char* TripClassKey(TripClass tripClass);
// The class of a key as above (exactly); none for anything else.
std::optional<TripClass> TripClassOfKey(std::string_view key);

// The relay trips when its thermal image reaches k² (k between the 1.05 Ir it must carry and the
// 1.2 Ir at which it must trip).
constexpr double RelayTripLevel = 1.125;
// The multiple of Ir at which a class's cold trip time is given.
constexpr double ClassCurrentMultiple = 7.2;
// Longest locked-rotor withstand time accepted, s.
constexpr double MaxWithstandTime = 3600;
// The relay setting's range: Ir at least LineCurrent / MinRelayFactor (the relay carries the rated
// current), at most MaxRelayFactor LineCurrent.
constexpr double MinRelayFactor = 1.05;
constexpr double MaxRelayFactor = 10;
// Starts in succession are shown up to this many ("10 or more").
constexpr int MaxStartsShown = 10;

// The band of the cold trip time at 7.2 Ir, s: the earliest and the latest relay of the class.
struct TripBand {
    double Earliest = 0, Latest = 0;
};
TripBand ClassBand(TripClass tripClass);
// τ of a relay whose cold trip time at 7.2 Ir is t72, s.
double RelayTimeConstant(double t72);
// Trip time at a constant x = I / Ir from θ(0) = theta0, τ ln((x² − θ0) / (x² − k²)); none when
// x <= k (it never trips). theta0 below k².
std::optional<double> RelayTripTime(double tau, double x, double theta0);

struct ProtectionSettings {
    TripClass Class = TripClass::Class10;
    std::optional<double> RelaySetting;  // Ir, A; unset: the motor's LineCurrent
    std::optional<double> WithstandCold; // tLRcold, s; both or neither
    std::optional<double> WithstandHot;  // tLRhot, s
};

// Ir as used: the setting, else the data set's LineCurrent.
double UsedRelaySetting(const ProtectionSettings& protection, const MotorDataSet& ds);

// The fields of the protection dialog and options; each named in both languages.
enum class ProtectionField { RelaySetting, WithstandCold, WithstandHot };
ErrorArgument ProtectionFieldName(ProtectionField field);

// Refusals 170-174: Ir below LineCurrent / 1.05 (170) or above 10 LineCurrent (171), a withstand
// time not above 0 or above 3600 s (172), hot above cold (173), only one of the two given (174).
Refusal CheckProtection(const ProtectionSettings& protection, const MotorDataSet& ds);

// ---- Results ---------------------------------------------------------------------------------------

// One start from one thermal state (cold or hot).
struct RelayStart {
    // When the earliest and the latest relay trip, s from the start; none when they do not
    // within [0, t_e] (up to the start-time limit for a start that does not run up).
    std::optional<double> EarliestTripTime, LatestTripTime;
    double TripLevel = 0;       // %, the earliest relay's largest θ / k² over [0, t_e]
    bool PassesStart = false;   // the earliest relay does not trip; never for a start that does not run up
    std::optional<double> Tcu;  // %, the thermal capacity used; none without withstand times
};

struct StartProtection {
    RelayStart Cold, Hot;
    // floor(100 % / Tcu cold); none without withstand times. Shown up to MaxStartsShown.
    std::optional<long long> StartsInSuccession;
    // t_e, s: the first time at or after the run-up with x <= k (the start-time limit when there is
    // none); after it θ cannot reach k².
    double ClearTime = 0;
};

// The relay against a locked rotor, from one thermal state.
struct LockedRotorCheck {
    std::optional<double> LatestTripTime; // s, the latest relay at I_LRnet; none: it never trips
    double WithstandTime = 0;             // t_LR, s
    double PermittedTime = 0;             // t_LR (I_LR / I_LRnet)², s
    bool Protects = false;                // the latest relay trips within the permitted time
    std::optional<double> Margin;         // permitted / trip time − 1; none when it never trips
};

struct ProtectionResults {
    TripClass Class = TripClass::Class10;
    double RelaySetting = 0;              // Ir, A
    double LockedRotorCurrent = 0;        // I_LR, A: stiff supply, rated voltage (the data sheet's Ia/In In)
    double LockedRotorCurrentNetwork = 0; // I_LRnet, A: at standstill through the network in place
    double TauEarliest = 0, TauLatest = 0; // s
    double HotStart = 0;                   // θ(0) of a hot start, (LineCurrent / Ir)²
    std::optional<LockedRotorCheck> LockedRotorCold, LockedRotorHot; // none without withstand times
    StartProtection Dol, SoftStarter;
};

// ---- The time-current chart ------------------------------------------------------------------------

// A curve of the chart: current in multiples of In against time in s, both above 0.
struct TimeCurrentCurve {
    std::vector<double> Current, Time;
};

struct TimeCurrentCurves {
    TimeCurrentCurve DolStart, SoftStarterStart; // the starts' (I/In, t), t > 0
    TimeCurrentCurve EarliestCold, EarliestHot, LatestCold, LatestHot; // the relays' trip curves
    TimeCurrentCurve MotorCold, MotorHot; // t_LR (I_LR/I)² from I_LR down to 2 In; empty without
    // The locked-rotor points (I_LR/In, t_LR) cold and hot; none without withstand times.
    std::optional<std::pair<double, double>> MotorColdPoint, MotorHotPoint;
    // The axes' ranges: current from 0.5 to 20 In, time from 0.1 to 10 000 s, widened to the data.
    double CurrentMin = 0.5, CurrentMax = 20, TimeMin = 0.1, TimeMax = 1e4;
};
