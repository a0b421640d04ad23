#pragma once
// One start integrated in time: the equation of motion with the rotor and stator energies and the
// integral of the squared line current, by an error-controlled Dormand-Prince 5(4) stepper with
// dense output (Boost.Odeint), or from where the start turns out stiff (a tiny inertia) by the
// Rosenbrock stepper of StiffStepper.h. The law changes (end of the ramp, the current-limit cap taking
// over or letting go, a resting rotor breaking away or coming to rest, the changeover of a
// starting method) restart the stepper at the exact instant, located on the dense output, so
// that every segment integrates a smooth right-hand side. Extremes are located on the dense
// output within each step.

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "Dynamics.h"
#include "RelayImage.h"
#include "StartModel.h"

enum class Controller { None, Ramp, RampWithCap };
enum class MinTorqueEnd { AtStart, AtBreakdownSpeed, AtRunUp };

struct StartInput {
    const StartModel* model = nullptr;
    std::array<Stage, 2> stages{}; // the reduced stage first when there are two; the last one runs
    int stageCount = 1;
    double changeoverSpeed = 0; // rev/s: the switch to the running stage

    Controller controller = Controller::None; // on the running stage
    double preset = 0, rampTime = 0;          // controller output preset + (1 - preset) t / rampTime
    double lineLimit = 0;                     // A, supply line current held by the cap

    double inertia = 0;           // kg m2
    double rs = 0;                // stator resistance per winding
    double ratedTorque = 0;       // Nm
    double ratedLineCurrent = 0;  // A
    double ratedPhaseVoltage = 0; // V

    std::optional<double> runUpSpeed; // 0.98 n_op, rev/s; unset: not looked for
    MinTorqueEnd minTorqueEnd = MinTorqueEnd::AtRunUp;
    double breakdownSpeed = 0; // rev/s, for AtBreakdownSpeed
    bool trackMinTorque = true;

    double tolerance = 1e-9;
    std::optional<RelayInput> relay; // follow the overload relay's thermal image
    bool record = false;      // keep the steps for curves
    bool stiffStepper = true; // false: the explicit stepper throughout, however many steps
};

// What a start gives over [0, t_a] (or up to where it stopped when it never ran up).
struct StartTrack {
    std::optional<double> runUpTime;
    double peakLineCurrent = 0;
    double maxDip = 0;            // fraction of the source phase voltage
    double minWindingVoltage = 0; // V
    double minAccelerating = 0;   // Nm, over [0, t_b]
    double rotorEnergy = 0, statorEnergy = 0, currentSquareIntegral = 0; // at t_a
    double startingTorque = 0;                                           // Nm at t = 0
    std::optional<double> changeoverTime;
    // Where the peak current, the largest dip and the lowest winding voltage were reached (the
    // first instant of an equal value), s.
    double peakTime = 0, maxDipTime = 0, minVoltageTime = 0;
};

// Thrown when a start needs more steps than any reasonable one. The stiff stepper takes over
// where a tiny inertia would need them, so this is a guard against what nothing valid reaches.
class StartTooStiff : public std::runtime_error {
  public:
    StartTooStiff() : std::runtime_error("start too stiff") {}
};

class StartIntegrator {
  public:
    explicit StartIntegrator(const StartInput& input);
    ~StartIntegrator();

    // Integrates on to tStop, or only until the run-up when stopAtRunUp is set, or only until the
    // relay's image needs no more (its t_e found) when untilRelayClear is set. Throws
    // StartTooStiff after too many steps, std::runtime_error when the state is no longer finite.
    void Run(double tStop, bool stopAtRunUp, bool untilRelayClear = false);
    // The relay's image so far; nullptr when input.relay is not set.
    const RelayTrack* Relay() const;
    double Time() const;
    double Speed() const; // rev/s
    const StartTrack& Track() const;
    // Whether the start went on with the stiff stepper, and the steps taken so far.
    bool Stiff() const;
    long Steps() const;

    // Curves at these times, all at or before Time(); needs input.record.
    void Sample(const std::vector<double>& times, StartCurves& out) const;
    // What a chart draws over [0, tEnd] (tEnd at or before Time(); needs input.record): `points`
    // evenly spaced times merged with the instants of the track's extremes within it and both
    // sides of each changeover (its time then appears twice, the old connection first). At those
    // instants the values are exactly the track's, so that a chart never shows less than them.
    void ChartSample(double tEnd, int points, std::vector<double>& times, StartCurves& out) const;

    // The integration behind this interface (StartEngineCore.h).
    struct Impl;

  private:
    // One for each kind of rotor, each made in a file of its own.
    template <bool TwoCages> static std::unique_ptr<Impl> MakeEngine(const StartInput& input);
    std::unique_ptr<Impl> impl_;
};
