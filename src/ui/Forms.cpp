#include "Forms.h"

#include "About.h"
#include "Aff_Err.h"
#include "Characteristics.h"
#include "Compare.h"
#include "DynStart.h"
#include "Init_Mot.h"
#include "Load.h"
#include "Main.h"
#include "Mechanical.h"
#include "MethodSettings.h"
#include "Network.h"
#include "Print.h"
#include "RelaySettings.h"
#include "ProtectionWindow.h"
#include "SchemEqu.h"
#include "SelMot.h"
#include "SoftStar.h"
#include "ValNom.h"
#include "xyGraph.h"

MotorDataSet MotorData;
DynamicSettings DynamicData;
DialogChoices ChoicesData;

TForm1* Form1 = nullptr;
TAboutBox* AboutBox = nullptr;
TForm2* Form2 = nullptr;
TOKBottomDlg* OKBottomDlg = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TOKBottomDlg1* OKBottomDlg1 = nullptr;
TForm5* Form5 = nullptr;
TForm6* Form6 = nullptr;
TOKBottomDlg2* OKBottomDlg2 = nullptr;
TCompareForm* CompareForm = nullptr;
TMethodSettingsForm* MethodSettingsForm = nullptr;
TMechanicalForm* MechanicalForm = nullptr;
TDynamicStartForm* DynamicStartForm = nullptr;
TNetworkForm* NetworkForm = nullptr;
TCharacteristicsForm* CharacteristicsForm = nullptr;
TProtectionForm* ProtectionForm = nullptr;
TProtectionChartForm* ProtectionChartForm = nullptr;

void CreateForms()
{
    Form1 = new TForm1;
    // The main window has preset the start inputs: the ramp the soft-starter dialog first offers.
    ChoicesData = DialogChoices{};
    ChoicesData.RampTime = MotorData.SoftStarterTime;
    AboutBox = new TAboutBox;
    Form2 = new TForm2;
    OKBottomDlg = new TOKBottomDlg;
    Form3 = new TForm3;
    Form4 = new TForm4;
    OKBottomDlg1 = new TOKBottomDlg1;
    Form5 = new TForm5;
    Form6 = new TForm6;
    OKBottomDlg2 = new TOKBottomDlg2;
    CompareForm = new TCompareForm;
    MethodSettingsForm = new TMethodSettingsForm;
    MechanicalForm = new TMechanicalForm;
    DynamicStartForm = new TDynamicStartForm;
    NetworkForm = new TNetworkForm;
    CharacteristicsForm = new TCharacteristicsForm;
    ProtectionForm = new TProtectionForm;
    ProtectionChartForm = new TProtectionChartForm;
}

void StartUp()
{
    RegisterxyGraphClipboardFormat();
    CreateForms();
}

template <class T>
static void Destroy(T*& form)
{
    delete form;
    form = nullptr;
}

void DestroyForms()
{
    Destroy(ProtectionForm);
    Destroy(ProtectionChartForm);
    Destroy(CharacteristicsForm);
    Destroy(MethodSettingsForm);
    Destroy(CompareForm);
    Destroy(NetworkForm);
    Destroy(DynamicStartForm);
    Destroy(MechanicalForm);
    Destroy(OKBottomDlg2);
    Destroy(Form6);
    Destroy(Form5);
    Destroy(OKBottomDlg1);
    Destroy(Form4);
    Destroy(Form3);
    Destroy(OKBottomDlg);
    Destroy(Form2);
    Destroy(AboutBox);
    Destroy(Form1);
}

void RestartForms()
{
    DestroyForms();
    MotorData.Reset();
    DynamicData = DynamicSettings{};
    CreateForms();
}
