#include "Datasheet.h"

#include <cmath>

datasheet::Targets DatasheetTargets(const MotorDataValues& ds) {
    datasheet::Targets t;
    t.U = ds.PhaseVoltage;
    t.I = ds.PhaseCurrent;
    t.cosPhi = ds.PowerFactor;
    t.sinPhi = std::sqrt((1 - ds.PowerFactor) * (1 + ds.PowerFactor));
    t.sN = 1 - ds.RatedSpeed / (60 * ds.SynchronousSpeed);
    t.TN = ds.RatedTorque;
    t.omegaS = 2 * M_PI * ds.SynchronousSpeed;
    t.Ia = ds.LockedRotorCurrentRatio * ds.PhaseCurrent;
    t.Ta = ds.LockedRotorTorqueRatio * ds.RatedTorque;
    t.Tk = ds.BreakdownTorqueRatio * ds.RatedTorque;
    t.Pin = ds.ElectricalPower;
    t.Pmech = ds.MechanicalPower;
    return t;
}
