#pragma once
// The direct-on-line and soft-starter start curves, the ramp-time search of the current-limit
// mode, the curves against n/ns, and the whole computation behind the results view.

#include "ErrorMessages.h"
#include "MotorDataSet.h"

#include <vector>

// Receives the computed points in order of k: x is the time (time curves) or n/ns (static curves).
class CurvePointSink {
public:
    virtual ~CurvePointSink() = default;
    virtual void AddPoints(double x, double dolCurrent, double dolTorque, double ssCurrent, double ssTorque) = 0;
};

struct CurvePoint {
    double x, dolCurrent, dolTorque, ssCurrent, ssTorque;
};

// Keeps the points for later plotting.
class CurveBuffer : public CurvePointSink {
public:
    void AddPoints(double x, double dolCurrent, double dolTorque, double ssCurrent, double ssTorque) override {
        points.push_back({x, dolCurrent, dolTorque, ssCurrent, ssTorque});
    }
    std::vector<CurvePoint> points;
};

double PeakValue(const Curve& curve);

// Fills the five time curves and sets ImaxIn to the achieved peak of the soft-starter current.
void ComputeStartCurves(MotorDataSet& ds, CurvePointSink* sink = nullptr);

// Longest ramp the search tries, in seconds; beyond it the desired limit counts as unreachable.
constexpr double MaxSearchedRampTime = 3600.0;

// Shortest multiple of 0.05 s whose peak stays strictly below DesiredImaxIn; sets SoftStarterTime.
// Returns false (SoftStarterTime unchanged) when no ramp up to MaxSearchedRampTime does.
bool SearchRampTime(MotorDataSet& ds);

// Fills SpeedAxis and hands the static points to the sink.
void ComputeStaticCurves(MotorDataSet& ds, CurvePointSink* sink = nullptr);

// The whole results computation: the checks of Checks.h, the identification when the circuit is not
// given, the search in current-limit mode, the time curves and, with ShowStaticCurves, the static
// curves. Returns 0 or an error number; on error the data set and the sinks are left untouched.
Refusal RunStartComputation(MotorDataSet& ds, CurvePointSink* timeSink, CurvePointSink* staticSink);
