#pragma once
// The program as in the window tests, with helpers for the dynamic start's windows: the
// mechanical data and supply network dialogs filled in as a user does, the dynamic start window
// opened from its menu entry, and the computation the window must agree with.

#include "UiFixture.h"

#include "DatasheetMotor.h"
#include "DynStart.h"
#include "DynamicCharts.h"
#include "DynamicTexts.h"
#include "Dynamics.h"
#include "Mechanical.h"
#include "Network.h"

#include <QGroupBox>
#include <QTest>

#include <cmath>

class DynamicUiTest : public UiTest {
  protected:
    // The guided workflow with a load of the given kind (the 4 kW star motor, current limit 3).
    static void RunWorkflowWithLoad(LoadKind kind, const QString& t0 = "0", const QString& t1 = "0",
                                    const QString& t2 = "0", bool french = false)
    {
        ChooseLanguage(french);
        EnterMotor();
        Click(Form1->Button2);
        SetLimitMode("3");
        Click(Form1->Button3);
        SetLoad(kind, t0, t1, t2);
        ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
        ASSERT_TRUE(Form1->Panel1->isVisible());
    }

    // The data sheet of the motor in memory, as the rated values dialog's data sheet group gives
    // it (the 4 kW motor's at 1430 rpm by default, exact with Ia/In 5.5), then computed as the main
    // window does after that dialog.
    static void UseDatasheet(double ia = 5.5, double ta = 2.5, double tk = 2.9, double speed = 1430,
                             FitPriority priority = FitPriority::Torque)
    {
        MotorData.RatedSpeed = speed;
        MotorData.LockedRotorCurrentRatio = ia;
        MotorData.LockedRotorTorqueRatio = ta;
        MotorData.BreakdownTorqueRatio = tk;
        MotorData.Priority = priority;
        ASSERT_EQ(ConfirmDatasheetMotor(MotorData).number, 0);
        MotorData.DataChanged = true;
        ASSERT_TRUE(Form1->ComputeAndShowResults());
        Pump();
    }

    // Parameters > Mechanical Data, the three fields as given (a null text: left as shown), OK.
    static void SetMechanical(const QString& motor, const QString& load = {}, const QString& limit = {})
    {
        Trigger(Form1->Mechanical1);
        ASSERT_TRUE(MechanicalForm->isVisible());
        if (!motor.isNull())
            MechanicalForm->Edit1->setText(motor);
        if (!load.isNull())
            MechanicalForm->Edit2->setText(load);
        if (!limit.isNull())
            MechanicalForm->Edit3->setText(limit);
        Click(MechanicalForm->Button1);
    }

    static void OpenDynamicWindow()
    {
        Trigger(Form1->DisplayDynamic);
        ASSERT_TRUE(DynamicStartForm->isVisible());
    }

    // What the window must show: the computation on the data set and settings in memory, with the
    // chart samples it asks for.
    static DynamicResults Expected()
    {
        DynamicResults r;
        const Refusal refusal = ComputeDynamicStart(MotorData, DynamicData, r, 0, DynamicChartPoints);
        EXPECT_EQ(refusal.number, 0);
        return r;
    }

    // The network of the worked example: 10 MVA source, 25 kVA transformer with u_k 4 %, u_R 2 %.
    static void SetWeakTransformer(const QString& dipLimit = "10")
    {
        Trigger(Form1->Network1);
        ASSERT_TRUE(NetworkForm->isVisible());
        NetworkForm->StiffSupply->setChecked(false);
        NetworkForm->PowerEdit->setText("10");
        NetworkForm->TransformerBox->setChecked(true);
        NetworkForm->TPowerEdit->setText("25");
        NetworkForm->UkEdit->setText("4");
        NetworkForm->UrEdit->setText("2");
        NetworkForm->DipEdit->setText(dipLimit);
        Click(NetworkForm->Button1);
    }

    static QString Value(const std::optional<double>& v, int decimals) { return ResultText(v, decimals); }
    static QColor TextColour(QLineEdit* e) { return e->palette().color(QPalette::Text); }
    static QColor TextColour(QLabel* l) { return l->palette().color(QPalette::WindowText); }

    // What the window system does when the user clicks into a window that stays open.
    static void ComeBackTo(QWidget* window)
    {
        window->raise();
        window->activateWindow();
        Pump();
    }
};
