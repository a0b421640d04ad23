// The keyboard: Enter on the language panel, the menu shortcuts in every view of the main window,
// read-only fields that take no focus, OK as the default button of reopened dialogs; and the look
// of the soft-starter results and of the diagram's load resistor label.

#include "UiFixture.h"

#include "SchemEqu.h"
#include "SelMot.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace {

// A key as the user presses it: to the widget that has the keyboard focus, else the active window.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// The line edits of the main window's two result panels.
QList<QLineEdit*> PanelFields()
{
    return Form1->Panel1->findChildren<QLineEdit*>() + Form1->Panel2->findChildren<QLineEdit*>();
}

} // namespace

TEST_F(UiTest, LanguagePanelAnswersEnterAtStart)
{
    EXPECT_EQ(QApplication::focusWidget(), Form1->RadioButton1);
    Press(Qt::Key_Return);
    EXPECT_TRUE(MotorData.LanguageEnglish);
    EXPECT_FALSE(Form1->Panel4->isVisible());
    EXPECT_TRUE(Form1->Panel3->isVisible());
}

TEST_F(UiTest, LanguagePanelArrowThenEnterChoosesFrench)
{
    Press(Qt::Key_Right);
    EXPECT_TRUE(Form1->RadioButton2->isChecked());
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(MotorData.LanguageFrench);
    EXPECT_FALSE(MotorData.LanguageEnglish);
    EXPECT_EQ(Form1->windowTitle(), "Tarvello : Simulateur de Soft-Starter pour moteur asynchrone");
    // Enter is the language panel's only: once it is gone, the start menu does not take it.
    Press(Qt::Key_Return);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_FALSE(Form6->isVisible());
}

TEST_F(UiTest, MenuShortcutsWorkInTheLanguageAndStartMenuViews)
{
    Press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(Form2->isVisible());
    Click(Form2->Button2);
    ASSERT_EQ(QApplication::activeWindow(), Form1);
    Press(Qt::Key_Return);
    ASSERT_TRUE(Form1->Panel3->isVisible());
    Press(Qt::Key_M, Qt::ControlModifier);
    EXPECT_TRUE(Form4->isVisible());
    Click(Form4->Button2);
    ASSERT_EQ(QApplication::activeWindow(), Form1);
    Press(Qt::Key_C, Qt::ControlModifier); // no motor yet: error 100
    EXPECT_EQ(MotorData.ErrorNumber, 100);
}

TEST_F(UiTest, MenuShortcutsWorkInTheResultsView)
{
    RunWorkflow();
    ASSERT_TRUE(Form1->Panel1->isVisible());
    ASSERT_EQ(QApplication::activeWindow(), Form1);
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);

    Press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(Form2->isVisible());
    Click(Form2->Button2);
    ASSERT_EQ(QApplication::activeWindow(), Form1);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_FALSE(ErrorShown());
    Click(Form3->Cancel);
    ASSERT_EQ(QApplication::activeWindow(), Form1);
    Press(Qt::Key_M, Qt::ControlModifier);
    EXPECT_TRUE(Form4->isVisible());
    Click(Form4->Button2);
    ASSERT_EQ(QApplication::activeWindow(), Form1);
    QSignalSpy closed(Form1, &TForm1::Closed);
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(UiTest, ReadOnlyPanelFieldsTakeNoKeyboardFocus)
{
    RunWorkflow();
    const QList<QLineEdit*> fields = PanelFields();
    ASSERT_EQ(fields.size(), 17);
    for (QLineEdit* e : fields) {
        EXPECT_EQ(e->focusPolicy(), Qt::NoFocus) << e->objectName().toStdString();
        EXPECT_TRUE(e->isReadOnly()) << e->objectName().toStdString();
    }
    // Tab goes round the window without ever stopping in a panel field.
    for (int i = 0; i < 10; ++i) {
        Press(Qt::Key_Tab);
        EXPECT_FALSE(fields.contains(qobject_cast<QLineEdit*>(QApplication::focusWidget())));
    }
    // A click into a field does not take the focus either; Ctrl+E still opens the dialog.
    QTest::mouseClick(Form1->Edit14, Qt::LeftButton);
    Pump();
    EXPECT_FALSE(Form1->Edit14->hasFocus());
    Press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(Form2->isVisible());
}

TEST_F(UiTest, ReopenedSoftStarterHasOkAsItsDefaultButton)
{
    ChooseLanguage(false);
    EnterMotor();
    Click(Form1->Button2);
    ASSERT_TRUE(Form6->isVisible());
    QTest::mouseClick(Form6->Button2, Qt::LeftButton); // Cancel by mouse: it takes the focus
    Pump();
    ASSERT_FALSE(Form6->isVisible());
    Click(Form1->Button2);
    ASSERT_TRUE(Form6->isVisible());
    EXPECT_TRUE(Form6->Button1->isDefault());
    EXPECT_FALSE(Form6->Button2->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), Form6->Edit1);
    Form6->RadioButton2->setChecked(true);
    Press(Qt::Key_Return);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_EQ(MotorData.StartStep, 2);
}

TEST_F(UiTest, ReopenedLoadDialogHasOkAsItsDefaultButton)
{
    ChooseLanguage(false);
    EnterMotor();
    Trigger(Form1->Load);
    QTest::mouseClick(Form5->Button2, Qt::LeftButton);
    Pump();
    ASSERT_FALSE(Form5->isVisible());
    Trigger(Form1->Load);
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_TRUE(Form5->Button1->isDefault());
    EXPECT_FALSE(Form5->Button2->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), Form5->RadioButton1); // the kind chosen
    Press(Qt::Key_Return);
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(MotorData.ResultsMode);
}

TEST_F(UiTest, SoftStarterResultsAreNormalTextNotGreyedOut)
{
    RunWorkflow();
    for (QLineEdit* e : {Form1->Edit16, Form1->Edit17, Form1->Edit18, Form1->Edit19}) {
        EXPECT_TRUE(e->isEnabled()) << e->objectName().toStdString();
        // Drawn with the text colour of the rated values, not the disabled one.
        EXPECT_EQ(e->palette().color(e->foregroundRole()), Form1->Edit1->palette().color(Form1->Edit1->foregroundRole()));
    }
}

TEST_F(UiTest, LoadResistorLabelIsClearOfTheFractionBar)
{
    ChooseLanguage(false);
    EnterMotor();
    Trigger(Form1->EquivalentDiagram);
    ASSERT_TRUE(Form3->isVisible());
    const QRect label = Form3->Label17->geometry();
    const QRect bar = Form3->Shape19->geometry();
    // Beside the bar, at its height.
    EXPECT_LT(label.right(), bar.left());
    EXPECT_LE(label.top(), bar.top());
    EXPECT_GE(label.bottom(), bar.bottom());
    // As drawn: the last dark column of "R'r" leaves clear pixels before the bar.
    const QRect area(label.left(), label.top(), bar.left() - label.left(), label.height());
    const QImage image = Form3->Panel1->grab(area).toImage();
    int lastInk = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128)
                lastInk = x;
    ASSERT_GE(lastInk, 0); // the label is drawn
    EXPECT_GE(image.width() - 1 - lastInk, 2);
}
