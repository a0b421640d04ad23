#include "MotorDataSet.h"

void PresetStartInputs(MotorDataSet& ds) {
    ds.Preset = 0.1;
    ds.SoftStarterTime = 5;
    ds.ImaxIn = 1.5;
    ds.DesiredImaxIn = 1.5;
    ds.EstimatedStartTime = 10;
    ds.T0 = 0;
    ds.T1 = 0;
    ds.T2 = 0;
}
