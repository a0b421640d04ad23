#pragma once
// A fresh program in a temporary working folder holding the delivered catalogue, with no recent
// studies, and helpers that drive the study entries and answer the file dialogs and questions as a
// user does.

#include "DialogFixture.h"
#include "StudyFixtures.h"

#include "MainCharts.h"
#include "MethodSettings.h"
#include "RelaySettings.h"
#include "StudyFiles.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <vector>

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline const QString EnglishCaption = QStringLiteral("Tarvello : Soft-Starter Simulator for Induction Motor");
inline const QString FrenchCaption = QStringLiteral("Tarvello : Simulateur de Soft-Starter pour moteur asynchrone");

// What the results view shows: the panels' texts and the points of every series of the charts.
struct ShownResults {
    std::vector<QString> panels;
    std::vector<std::vector<std::pair<double, double>>> series; // charts 3, 4, 1, 2; series 1, 2 each
    bool operator==(const ShownResults&) const = default;
};

class StudyUiTest : public DialogTest {
  protected:
    void SetUp() override
    {
        QSettings().remove(QStringLiteral("RecentStudies"));
        DialogTest::SetUp();
    }

    static TStudyFiles* Studies() { return Form1->Studies; }

    // The program closed and started again: new windows, the data set as at start; the settings stay.
    static void Restart()
    {
        RestartForms();
        Form1->show();
        Form1->activateWindow();
        Pump();
    }

    using Answer = std::function<void(QWidget*)>;

    // Runs the action and answers the modal windows it opens, in turn, one answer each. A modal
    // window beyond the answers fails the test and is closed. Returns how many were answered.
    static int Answering(const std::vector<Answer>& answers, const std::function<void()>& action)
    {
        std::size_t next = 0;
        QPointer<QWidget> answered;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == answered || !modal->isVisible())
                return;
            answered = modal;
            if (next < answers.size()) {
                // Answered from an event of its own: a window the answer opens in turn (a question of
                // the file dialog) runs its own event loop, in which this timer must fire again.
                QTimer::singleShot(0, modal, [answer = answers[next++], modal] { answer(modal); });
                return;
            }
            ADD_FAILURE() << "an unexpected " << modal->metaObject()->className()
                          << " was shown: " << modal->windowTitle().toStdString();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        timer.start();
        action();
        timer.stop();
        Pump();
        return static_cast<int>(next);
    }

    // The file dialog: the name typed, then Enter.
    static Answer TypeFileName(const QString& name)
    {
        return [name](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << "not a file dialog";
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(name);
            QTest::keyClick(edit, Qt::Key_Return);
        };
    }

    // A question answered with one of its buttons; the question's name and text are handed over.
    static Answer Press(QMessageBox::StandardButton button, QString* name = nullptr, QString* text = nullptr)
    {
        return [=](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) {
                ADD_FAILURE() << "not a question: " << modal->metaObject()->className();
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                return;
            }
            if (name)
                *name = box->objectName();
            if (text)
                *text = box->text();
            ASSERT_NE(box->button(button), nullptr);
            box->button(button)->click();
        };
    }

    static Answer Cancel()
    {
        return [](QWidget* modal) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        };
    }

    // File > Save Study As..., the name typed in the dialog.
    static void SaveAs(const QString& path)
    {
        EXPECT_EQ(Answering({TypeFileName(path)}, [] { Trigger(Studies()->SaveStudyAs); }), 1);
    }

    // File > Open Study..., the name typed in the dialog.
    static void Open(const QString& path)
    {
        EXPECT_EQ(Answering({TypeFileName(path)}, [] { Trigger(Studies()->OpenStudy); }), 1);
    }

    static std::string FileBytes(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll().toStdString();
    }

    static void WriteFile(const QString& path, const std::string& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
    }

    static std::string CurrentText() { return StudyText(Studies()->CurrentStudy()); }

    static ShownResults Shown()
    {
        ShownResults r;
        for (QLineEdit* e : {Form1->Edit14, Form1->Edit13, Form1->Edit1, Form1->Edit2, Form1->Edit3, Form1->Edit4,
                             Form1->Edit15, Form1->Edit5, Form1->Edit6, Form1->Edit7, Form1->Edit8, Form1->Edit9,
                             Form1->Edit10, Form1->Edit16, Form1->Edit17, Form1->Edit18, Form1->Edit19})
            r.panels.push_back(e->text());
        for (TxyGraph* chart : {Form1->xyGraph3, Form1->xyGraph4, Form1->xyGraph1, Form1->xyGraph2})
            for (int series : {1, 2})
                r.series.push_back(AsWidget(chart)->isVisible() ? SeriesPoints(chart, series)
                                                                : std::vector<std::pair<double, double>>{});
        return r;
    }

    // The settings of the dynamic start, the network, the methods and the starter.
    static DynamicSettings ExampleDynamic()
    {
        DynamicSettings d;
        d.Mechanical.MotorInertia = 0.012;
        d.Mechanical.LoadInertia = 0.05;
        d.Mechanical.StartTimeLimit = 45;
        d.Network.Enabled = true;
        d.Network.ShortCircuitPower = 50e6;
        d.Network.SourceRX = 0.15;
        d.Network.HasTransformer = true;
        d.Network.TransformerPower = 100e3;
        d.Network.TransformerUk = 4;
        d.Network.TransformerUr = 1.5;
        d.Network.HasCable = true;
        d.Network.CableLength = 80;
        d.Network.CableSection = 2.5;
        d.Network.Material = CableMaterial::Aluminium;
        d.Network.CableParallel = 2;
        d.Network.CableReactance = 0.07;
        d.DipLimit = 12.5;
        d.Methods.ChangeoverSpeed = 0.85;
        d.Methods.AutotransformerTap = 0.7;
        d.Methods.ReactorVoltage = 0.6;
        d.Methods.CurrentLimit = 2.5;
        d.Starter = StarterDuty{9.0, "AC-53a: 3.5-17: 90-5", 6};
        d.Protection = ProtectionSettings{TripClass::Class20, 9.1, 14.5, 11.0};
        return d;
    }

    // Stored and announced as a window does (the mechanical data and the network have no window in
    // this program yet).
    static void SetDynamic(const DynamicSettings& settings)
    {
        DynamicData = settings;
        Form1->NotifyDynamicInputsChanged();
        Pump();
    }

    // A typed 4 kW delta motor with maker and size, a soft-starter whose ramp of 7.25 s was typed
    // before the current-limit mode was chosen, a fan load, the static curves and every dynamic
    // setting (the methods and the starter through their dialog): the program in its results view.
    static void SetUpTypedCase()
    {
        ChooseLanguage(false);
        Trigger(Form1->RatedValues);
        Form2->Edit9->setText(QStringLiteral("Tarvello Moteurs"));
        Form2->Edit8->setText(QStringLiteral("112M-4"));
        Motor m;
        m.star = false;
        TypeMotor(m);
        Trigger(Form1->SoftStarter);
        SetTimeMode("7.25", "25", "2.5");
        Trigger(Form1->SoftStarter);
        SetLimitMode("3", "30", "2.5");
        Trigger(Form1->Load);
        SetLoad(LoadKind::Squared, "0.5", "0.01", "0.02");
        Trigger(Form1->DisplayStatic);
        const DynamicSettings wanted = ExampleDynamic();
        DynamicSettings mechanicalAndNetwork;
        mechanicalAndNetwork.Mechanical = wanted.Mechanical;
        mechanicalAndNetwork.Network = wanted.Network;
        mechanicalAndNetwork.DipLimit = wanted.DipLimit;
        SetDynamic(mechanicalAndNetwork);
        Trigger(Form1->StartingMethods);
        MethodSettingsForm->ChangeoverEdit->setText(QStringLiteral("0.85"));
        MethodSettingsForm->TapEdit->setText(QStringLiteral("0.7"));
        MethodSettingsForm->ReactorEdit->setText(QStringLiteral("0.6"));
        MethodSettingsForm->LimitEdit->setText(QStringLiteral("2.5"));
        MethodSettingsForm->StarterGroup->setChecked(true);
        MethodSettingsForm->RatedCurrentEdit->setText(QStringLiteral("9"));
        MethodSettingsForm->RatingEdit->setText(QStringLiteral("AC-53a: 3.5-17: 90-5"));
        MethodSettingsForm->StartsEdit->setText(QStringLiteral("6"));
        Click(MethodSettingsForm->OkButton);
        ASSERT_FALSE(MethodSettingsForm->isVisible()) << ErrorText().toStdString();
        ASSERT_EQ(Bits(DynamicData.Methods.ChangeoverSpeed), Bits(wanted.Methods.ChangeoverSpeed));
        ASSERT_EQ(Bits(DynamicData.Methods.ReactorVoltage), Bits(wanted.Methods.ReactorVoltage));
        ASSERT_EQ(DynamicData.Methods.CurrentLimit, wanted.Methods.CurrentLimit);
        ASSERT_TRUE(DynamicData.Starter.has_value());
        ASSERT_EQ(DynamicData.Starter->RatingCode, wanted.Starter->RatingCode);
        // An overload relay above the rated current, with withstand times.
        Trigger(Form1->Protection1);
        ProtectionForm->ClassBox->setCurrentIndex(3);
        ProtectionForm->SettingEdit->setText(QStringLiteral("9.1"));
        ProtectionForm->ColdEdit->setText(QStringLiteral("14.5"));
        ProtectionForm->HotEdit->setText(QStringLiteral("11"));
        Click(ProtectionForm->Button1);
        ASSERT_EQ(DynamicData.Protection->RelaySetting, wanted.Protection->RelaySetting);
    }

    // The doubles of the data set that the settings and the results computation give, bit for bit,
    // and its flags.
    static void ExpectSameData(const MotorDataSet& a, const MotorDataSet& b)
    {
        for (double MotorDataSet::*field : {&MotorDataSet::MechanicalPower,
                                            &MotorDataSet::LineVoltage,
                                            &MotorDataSet::LineCurrent,
                                            &MotorDataSet::PowerFactor,
                                            &MotorDataSet::Frequency,
                                            &MotorDataSet::RatedSpeed,
                                            &MotorDataSet::NoLoadLineCurrent,
                                            &MotorDataSet::PairOfPoles,
                                            &MotorDataSet::SynchronousSpeed,
                                            &MotorDataSet::PhaseVoltage,
                                            &MotorDataSet::PhaseCurrent,
                                            &MotorDataSet::NoLoadPhaseCurrent,
                                            &MotorDataSet::ElectricalPower,
                                            &MotorDataSet::RatedTorque,
                                            &MotorDataSet::Efficiency,
                                            &MotorDataSet::Rs,
                                            &MotorDataSet::Xssigma,
                                            &MotorDataSet::Rr,
                                            &MotorDataSet::Xrsigma,
                                            &MotorDataSet::Xh,
                                            &MotorDataSet::Riron,
                                            &MotorDataSet::EstimatedStartTime,
                                            &MotorDataSet::Preset,
                                            &MotorDataSet::ImaxIn,
                                            &MotorDataSet::DesiredImaxIn,
                                            &MotorDataSet::SoftStarterTime,
                                            &MotorDataSet::T0,
                                            &MotorDataSet::T1,
                                            &MotorDataSet::T2})
            EXPECT_EQ(Bits(a.*field), Bits(b.*field)) << a.*field << " vs " << b.*field;
        for (bool MotorDataSet::*flag :
             {&MotorDataSet::StarCoupling, &MotorDataSet::ApproximationWithoutNoLoadCurrent,
              &MotorDataSet::LimitCurrentMode, &MotorDataSet::SelectedTimeMode, &MotorDataSet::MotorIdentified,
              &MotorDataSet::MotorFromList, &MotorDataSet::ShowStaticCurves, &MotorDataSet::ResultsMode})
            EXPECT_EQ(a.*flag, b.*flag);
        EXPECT_EQ(a.ConstructorName, b.ConstructorName);
        EXPECT_EQ(a.MotorSize, b.MotorSize);
        EXPECT_EQ(a.TimeAxis, b.TimeAxis);
        EXPECT_EQ(a.SpeedAxis, b.SpeedAxis);
    }
};
