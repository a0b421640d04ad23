#pragma once
// The program-wide motor data set and the ten windows, created once in the start-up order.

#include "Dynamics.h"
#include "MotorDataSet.h"
#include "Study.h"

class TForm1;
class TAboutBox;
class TForm2;
class TOKBottomDlg;
class TForm3;
class TForm4;
class TOKBottomDlg1;
class TForm5;
class TForm6;
class TOKBottomDlg2;
class TCompareForm;
class TMethodSettingsForm;
class TMechanicalForm;
class TDynamicStartForm;
class TNetworkForm;
class TCharacteristicsForm;
class TProtectionForm;
class TProtectionChartForm;

extern MotorDataSet MotorData;
// The settings of the dynamic start, the supply network, the starting methods and the starter.
extern DynamicSettings DynamicData;

// What the user chose that the data set cannot tell, kept for the study file; each dialog records
// its part at OK. Source: where a circuit used as it stands came from (list or diagram; a typed
// motor is one whose MotorFromList is false). RampTime: the ramp typed for the selected-time mode,
// which in current-limit mode SoftStarterTime does not keep (it holds the searched ramp there).
struct DialogChoices {
    MotorSource Source = MotorSource::Typed;
    LoadKind Kind = LoadKind::None;
    double RampTime = 0;
};
extern DialogChoices ChoicesData;

extern TForm1* Form1;
extern TAboutBox* AboutBox;
extern TForm2* Form2;
extern TOKBottomDlg* OKBottomDlg;
extern TForm3* Form3;
extern TForm4* Form4;
extern TOKBottomDlg1* OKBottomDlg1;
extern TForm5* Form5;
extern TForm6* Form6;
extern TOKBottomDlg2* OKBottomDlg2;
extern TCompareForm* CompareForm;               // comparison of starting methods
extern TMethodSettingsForm* MethodSettingsForm; // starting methods and starter settings
// The dynamic start: mechanical data, the window of both starts, the supply network.
extern TMechanicalForm* MechanicalForm;
extern TDynamicStartForm* DynamicStartForm;
extern TNetworkForm* NetworkForm;
// Torque and current against speed, with the data sheet's points.
extern TCharacteristicsForm* CharacteristicsForm;
// The overload relay and the motor's locked-rotor withstand times.
extern TProtectionForm* ProtectionForm;
// The start against the overload relay: the time-current chart and the verdicts.
extern TProtectionChartForm* ProtectionChartForm;

// Creates the windows in the order main window, About box, rated values, error, equivalent diagram,
// motor selection, motor-list confirmation, load, soft-starter, print, then the comparison's and the
// dynamic start's windows and the motor characteristics. Needs a QApplication.
void CreateForms();
// The program's start-up: the chart component's clipboard format registered, then CreateForms.
void StartUp();
// Destroys them (in reverse order) and sets the pointers back to null.
void DestroyForms();
// Starts a fresh session: windows destroyed, data set back to its program-start state, windows
// created again (the main window presets the start inputs as at start-up).
void RestartForms();
