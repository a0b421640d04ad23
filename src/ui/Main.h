#pragma once
// The main window: language panel, start menu of three ordered steps, results view with four
// charts and two result panels, and the main menu that opens every dialog.

#include <QMainWindow>
#include <QPointer>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class TxyGraph;
class TPicture;
class TStudyFiles;
#include "HelpWindow.h"

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1();
    ~TForm1() override;

    // Form events
    void FormCreate();
    void FormActivate();

    // Start menu, results view and language panel
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click(); // RETURN
    void Button5Click(); // Help
    void Button6Click(); // Exit
    void Button7Click(); // language OK

    // Main menu
    void ChooseMotorKnowed1Click();
    void SaveMotorClick();
    void InitializeClick();
    void SaveCurvesClick();
    void Print1Click();
    void Exit1Click();
    void RatedValuesClick();
    void EnterEquivalentDiagram1Click();
    void SoftStarterClick();
    void LoadClick();
    void DisplayStaticClick(); // reads the check mark the entry has just been given or lost
    void CompareMethodsClick();
    void MethodSettingsClick();
    void MechanicalClick();
    void NetworkClick();
    void ProtectionClick();
    void DisplayDynamicClick();
    void MotorCharacteristicsClick();
    void DisplayProtectionClick();
    void Help2Click();
    void About1Click();

    // Results (computation, panels, charts); false when the computation refused the data.
    bool ComputeAndShowResults();
    void FillResultPanels();
    void SetUpCharts();
    // Prints one chart (1 to 4, by its designer number) on a page of its own.

    // The help window, once opened (for tests).
    THelpWindow* HelpWindow() const { return helpWindow_; }

    // Components, by their designer names
    TxyGraph *xyGraph1, *xyGraph2, *xyGraph3, *xyGraph4;
    QLabel *Label41, *Label42, *Label43, *Label44; // "DOL" on xyGraph3, 4, 1, 2
    QLabel *Label47, *Label49, *Label52, *Label53; // "With Soft-Starter" on xyGraph3, 4, 1, 2
    QFrame* Panel1;
    QLabel *Label7, *Label26, *Label27, *Label1, *Label2, *Label3, *Label4, *Label28, *Label5, *Label6, *Label8,
        *label50, *Label9, *Label19;
    QLabel *Label10, *Label11, *Label12, *Label13, *Label29, *Label14, *Label15, *Label16, *Label51, *Label17,
        *Label18; // units
    QLineEdit *Edit14, *Edit13, *Edit1, *Edit2, *Edit3, *Edit4, *Edit15, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9,
        *Edit10;
    // Under the rated values, for a circuit with a second cage: "double cage", or how its data sheet was fitted.
    QLabel* CircuitLabel;
    QFrame* Panel2;
    QLabel *Label21, *Label22, *Label23, *Label24, *Label33, *Label25, *Label30, *Label31, *Label32;
    QLineEdit *Edit16, *Edit17, *Edit18, *Edit19;
    TPicture* Image2;
    QLabel *Label35, *Label36;
    QPushButton* Button4;
    QFrame* Panel3;
    QLabel* Label34;
    QPushButton *Button1, *Button2, *Button3, *Button5, *Button6;
    TPicture* Image1;
    QFrame* Panel4;
    QLabel *Label45, *Label46;
    QRadioButton *RadioButton1, *RadioButton2;
    QPushButton* Button7;

    QMenu *File1, *Parameters, *Options1, *Help1;
    QAction *SelectMotor, *SaveMotor, *Initialize, *N1, *SaveCurves, *Print1, *N4, *Exit1;
    QAction *RatedValues, *EquivalentDiagram, *N2, *SoftStarter, *Load;
    QAction* DisplayStatic;
    QAction *CompareMethods, *StartingMethods; // comparison of starting methods, its settings
    QAction* MotorCharacteristics;             // torque and current against speed, data-sheet marks
    QAction* DisplayProtection;                // the start against the overload relay, the time-current chart
    QAction *NDynamics, *Mechanical1, *Network1, *DisplayDynamic; // the dynamic start's entries
    QAction* Protection1; // the overload relay and the motor's withstand times
    QAction *Help2, *N3, *About1;
    // The study entries of the File menu, the recent studies, the caption and the question on Exit.
    TStudyFiles* Studies = nullptr;

    // A dialog changed the settings of the dynamic start (mechanical data, network, methods, starter).
    void NotifyDynamicInputsChanged() { emit DynamicInputsChanged(); }

signals:
    // The window was closed: the program ends.
    void Closed();
    // A computation succeeded: MotorData holds new results (circuit, ramp time, curves).
    void ResultsComputed();
    // The dynamic start's own settings changed; the results of the data set did not.
    void DynamicInputsChanged();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void CreateCharts(QWidget* client);
    void CreateResultPanels(QWidget* client);
    void CreateStartMenu(QWidget* client);
    void CreateLanguagePanel(QWidget* client);
    void CreateMenu();
    void ApplyTexts();
    void OpenHelp();

    QPointer<THelpWindow> helpWindow_;
    QString lastCurveFile_;
};
