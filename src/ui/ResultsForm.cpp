#include "ResultsForm.h"

#include "Main.h"

void TResultsForm::FollowMainWindow()
{
    if (!Form1) return;
    connect(Form1, &TForm1::ResultsComputed, this, &TResultsForm::ResultsChanged);
    connect(Form1, &TForm1::DynamicInputsChanged, this, &TResultsForm::InputsChanged);
}
