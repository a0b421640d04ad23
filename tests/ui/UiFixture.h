#pragma once
// A fresh program for every test: the windows created anew in their start-up order, the data set
// in its start state, the main window shown and active. Helpers drive the windows as a user does.

#include "Aff_Err.h"
#include "Forms.h"
#include "Load.h"
#include "Main.h"
#include "SoftStar.h"
#include "UiCommon.h"
#include "ValNom.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <string>

// The rated values typed in the dialog; the defaults are the 4 kW, 400 V star motor.
struct Motor {
    QString power = "4000", voltage = "400", frequency = "50", current = "8.5", powerFactor = "0.82",
            speed = "1440", noLoad = "4.5";
    bool star = true;
    bool approximate = false;
};

// A data sheet typed in the rated values dialog's group: Ia/In, Ta/Tn, Tk/Tn and the fit priority.
struct Sheet {
    QString ia, ta, tk;
    bool current = false;
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RestartForms();
        Form1->show();
        Form1->activateWindow();
        Pump();
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w))
                delete w;
        DestroyForms();
        MotorData.Reset();
        Pump();
    }

    // Lets the window system deliver what it has queued (activations above all).
    static void Pump()
    {
        for (int i = 0; i < 5; ++i) {
            QApplication::sendPostedEvents();
            QApplication::processEvents();
        }
    }

    static void Click(QPushButton* button)
    {
        button->click();
        Pump();
    }

    static void Trigger(QAction* action)
    {
        action->trigger();
        Pump();
    }

    // The text a number of the panels shows, with this system's decimal separator.
    static QString Dec(const char* text)
    {
        return QString::fromLatin1(text).replace(QLatin1Char('.'), QLatin1Char(SystemDecimalSeparator()));
    }

    static void ChooseLanguage(bool french)
    {
        (french ? Form1->RadioButton2 : Form1->RadioButton1)->setChecked(true);
        Click(Form1->Button7);
    }


    // Types the motor into the open rated values dialog (fields as given, even empty) and presses OK.
    static void TypeMotor(const Motor& m)
    {
        Form2->Edit1->setText(m.power);
        Form2->Edit2->setText(m.voltage);
        Form2->Edit5->setText(m.frequency);
        Form2->Edit3->setText(m.current);
        Form2->Edit4->setText(m.powerFactor);
        Form2->Edit7->setText(m.speed);
        Form2->Edit6->setText(m.noLoad);
        (m.star ? Form2->RadioButton1 : Form2->RadioButton2)->setChecked(true);
        Form2->CheckBox1->setChecked(m.approximate);
        Click(Form2->Button1);
    }

    // The 4 kW motor of the data sheets: 1430 rpm, its no-load current left empty.
    static Motor SheetMotor() { return {.speed = "1430", .noLoad = ""}; }

    // Opens the rated values dialog, types the data sheet and the motor, and presses OK.
    static void EnterSheet(const Sheet& s, const Motor& m = SheetMotor())
    {
        Trigger(Form1->RatedValues);
        Form2->LockedCurrentEdit->setText(s.ia);
        Form2->LockedTorqueEdit->setText(s.ta);
        Form2->BreakdownTorqueEdit->setText(s.tk);
        (s.current ? Form2->CurrentPriorityRadio : Form2->TorquePriorityRadio)->setChecked(true);
        TypeMotor(m);
    }

    static void EnterMotor(const Motor& m = Motor())
    {
        Trigger(Form1->RatedValues);
        TypeMotor(m);
    }

    static void SetLimitMode(const QString& imax, const QString& preset = "10", const QString& estimated = "10")
    {
        Form6->RadioButton1->setChecked(true);
        Form6->Edit1->setText(estimated);
        Form6->Edit2->setText(preset);
        Form6->Edit3->setText(imax);
        Click(Form6->Button1);
    }

    static void SetTimeMode(const QString& time, const QString& preset = "10", const QString& estimated = "10")
    {
        Form6->RadioButton2->setChecked(true);
        Form6->Edit1->setText(estimated);
        Form6->Edit4->setText(preset);
        Form6->Edit5->setText(time);
        Click(Form6->Button1);
    }

    enum class LoadKind { None, Constant, Proportional, Squared };
    static void SetLoad(LoadKind kind, const QString& t0 = "0", const QString& t1 = "0", const QString& t2 = "0")
    {
        QRadioButton* radio[] = {Form5->RadioButton1, Form5->RadioButton2, Form5->RadioButton3, Form5->RadioButton4};
        radio[static_cast<int>(kind)]->setChecked(true);
        Form5->Edit1->setText(t0);
        Form5->Edit2->setText(t1);
        Form5->Edit3->setText(t2);
        Click(Form5->Button1);
    }

    // The guided order after the motor: soft-starter in current-limit mode, no load, results view.
    static void ToResults(const QString& imax = "3")
    {
        Click(Form1->Button2);
        SetLimitMode(imax);
        Click(Form1->Button3);
        SetLoad(LoadKind::None);
    }

    // The guided order: language, typed motor, soft-starter, load, ending in the results view.
    static void RunWorkflow(bool french = false, const QString& imax = "3")
    {
        ChooseLanguage(french);
        EnterMotor();
        ToResults(imax);
    }

    static QString ErrorText() { return OKBottomDlg->Label1->text(); }
    static bool ErrorShown() { return OKBottomDlg->isVisible(); }
    static void AcknowledgeError() { Click(OKBottomDlg->OKBtn); }

    static QMessageBox* OpenMessageBox(const char* name)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible() && box->objectName() == name)
                return box;
        return nullptr;
    }
};
