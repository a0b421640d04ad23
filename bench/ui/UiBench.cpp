// The desktop program's two waits a user notices: from the load dialog's OK to the results
// drawn (computation, panels, four charts), and from start-up to the language panel shown.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "Forms.h"
#include "Load.h"
#include "Main.h"
#include "SoftStar.h"
#include "ValNom.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdlib>

namespace {

void Pump()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// Language, the 4 kW motor, current limit 3, a squared load, static curves on: the results view
// with all four charts, as a user reaches it.
void PrepareResultsView()
{
    RestartForms();
    Form1->show();
    Form1->activateWindow();
    Pump();
    Form1->Button7->click();
    Form1->RatedValuesClick();
    Pump();
    Form2->Edit1->setText("4000");
    Form2->Edit2->setText("400");
    Form2->Edit5->setText("50");
    Form2->Edit3->setText("8.5");
    Form2->Edit4->setText("0.82");
    Form2->Edit7->setText("1440");
    Form2->Edit6->setText("4.5");
    Form2->Button1->click();
    Pump();
    Form1->Button2->click();
    Pump();
    Form6->RadioButton1->setChecked(true);
    Form6->Edit3->setText("3");
    Form6->Button1->click();
    Pump();
    Form1->DisplayStatic->setChecked(true);
    MotorData.ShowStaticCurves = true;
    Form1->Button3->click();
    Pump();
    Form5->RadioButton4->setChecked(true);
    Form5->Edit1->setText("2");
    Form5->Edit2->setText("0.1");
    Form5->Edit3->setText("0.01");
    Form5->Button1->click();
    Pump();
}

void BM_LoadOkToResultsDrawn(benchmark::State& state)
{
    PrepareResultsView();
    if (!Form1->Panel1->isVisible()) {
        state.SkipWithError("the results view was not reached");
        return;
    }
    for (auto _ : state) {
        Form5->Button1Click(); // stores, checks the load, asks for a computation
        Form1->FormActivate(); // what the main window's activation runs
        Form1->centralWidget()->repaint();
    }
    DestroyForms();
}
BENCHMARK(BM_LoadOkToResultsDrawn)->Unit(benchmark::kMillisecond);

void BM_StartUpToLanguagePanel(benchmark::State& state)
{
    for (auto _ : state) {
        CreateForms();
        Form1->show();
        Pump();
        Form1->repaint();
        benchmark::DoNotOptimize(Form1->Panel4->isVisible());
        state.PauseTiming();
        DestroyForms();
        MotorData.Reset();
        Pump();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToLanguagePanel)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
