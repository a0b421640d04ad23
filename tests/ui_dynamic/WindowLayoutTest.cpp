// The windows of the dynamic start, the comparison, the motor characteristics and the protection,
// each in English and in French, for a motor with a data sheet (its marks and tolerance corners
// shown, a relay with withstand times): they open at their size hint (and again at it when
// reopened), do not shrink below their minimum, and at the minimum as at a large size every widget
// a layout places lies inside its parent, over no other, and at least at its own minimum, its
// wrapped texts whole and its values readable.

#include "DynamicFixture.h"

#include "Characteristics.h"
#include "Compare.h"
#include "MethodSettings.h"
#include "RelaySettings.h"
#include "ProtectionWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QSizeGrip>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// A window by its object name and the menu entry that opens it.
using WindowCase = std::pair<const char*, QAction* TForm1::*>;
const WindowCase Windows[] = {{"DynamicStartForm", &TForm1::DisplayDynamic},
                              {"NetworkForm", &TForm1::Network1},
                              {"MechanicalForm", &TForm1::Mechanical1},
                              {"ProtectionForm", &TForm1::Protection1},
                              {"MethodSettingsForm", &TForm1::StartingMethods},
                              {"CompareForm", &TForm1::CompareMethods},
                              {"CharacteristicsForm", &TForm1::MotorCharacteristics},
                              {"ProtectionChartForm", &TForm1::DisplayProtection}};

std::string Name(const QWidget* w) { return ToStd(w->objectName()) + " (" + w->metaObject()->className() + ")"; }

bool Holds(const QLayout* layout, const QWidget* w)
{
    for (int i = 0; i < layout->count(); ++i)
        if (layout->itemAt(i)->widget() == w || (layout->itemAt(i)->layout() && Holds(layout->itemAt(i)->layout(), w)))
            return true;
    return false;
}

void ExpectLaidOutCleanly(QWidget* window, const std::string& where)
{
    // Every visible widget that a layout places; one placed by hand beside a layout is reported.
    std::vector<QWidget*> widgets;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window) || !w->parentWidget()->layout() || qobject_cast<QSizeGrip*>(w))
            continue;
        EXPECT_TRUE(Holds(w->parentWidget()->layout(), w)) << Name(w) << " is placed by hand";
        widgets.push_back(w);
    }
    ASSERT_GE(widgets.size(), 5u) << where;
    for (QWidget* w : widgets) {
        const std::string name = where + " " + Name(w);
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name << " sticks out of its parent";
        // Its minimum size where one is set, else its minimum size hint, as the layouts take them.
        const QSize hint = w->minimumSizeHint();
        const QSize least(w->minimumWidth() > 0 ? w->minimumWidth() : hint.width(),
                          w->minimumHeight() > 0 ? w->minimumHeight() : hint.height());
        EXPECT_GE(w->width(), least.width()) << name;
        EXPECT_GE(w->height(), least.height()) << name;
        if (const auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap() && !label->text().isEmpty()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name << " cuts its lines";
        } else if (const auto* edit = qobject_cast<QLineEdit*>(w)) {
            // The frame and the text margins take 4 px on each side.
            const QString shown = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
            EXPECT_LE(edit->fontMetrics().horizontalAdvance(shown) + 8, edit->width()) << name << " cuts its value";
        }
    }
    for (std::size_t i = 0; i < widgets.size(); ++i)
        for (std::size_t j = i + 1; j < widgets.size(); ++j) {
            QWidget *a = widgets[i], *b = widgets[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a))
                continue;
            EXPECT_FALSE(QRect(a->mapTo(window, QPoint()), a->size())
                             .intersects(QRect(b->mapTo(window, QPoint()), b->size())))
                << where << ": " << Name(a) << " overlaps " << Name(b);
        }
}

class WindowLayoutTest : public DynamicUiTest, public ::testing::WithParamInterface<std::tuple<WindowCase, bool>> {};

} // namespace

TEST_P(WindowLayoutTest, OpensAtItsHintKeepsItsMinimumAndNoWidgetOverlapsAnother)
{
    const auto& [window, french] = GetParam();
    // Every part the windows can show: a fan load, a network, a starter whose duty is checked.
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.1"), french);
    SetWeakTransformer();
    Trigger(Form1->StartingMethods);
    MethodSettingsForm->StarterGroup->setChecked(true);
    MethodSettingsForm->RatedCurrentEdit->setText("25");
    MethodSettingsForm->RatingEdit->setText("AC-53a: 3.5-17: 90-5");
    MethodSettingsForm->StartsEdit->setText("5");
    Click(MethodSettingsForm->OkButton);
    ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
    // An overload relay with withstand times: the panel's relay lines, the comparison's columns.
    Trigger(Form1->Protection1);
    ProtectionForm->ClassBox->setCurrentIndex(2);
    ProtectionForm->ColdEdit->setText("15");
    ProtectionForm->HotEdit->setText("12");
    Click(ProtectionForm->Button1);
    ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
    UseDatasheet();
    // A relay with the motor's withstand times: every verdict of the protection window.
    DynamicData.Protection = ProtectionSettings{TripClass::Class10, std::nullopt, 12.0, 10.0};
    Form1->NotifyDynamicInputsChanged();
    // The corners' lines in the dynamic start's panel, from its first showing.
    DynamicStartForm->CornersBox->setChecked(true);
    Trigger(Form1->*window.second);
    TModelessForm* w = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == window.first)
            w = qobject_cast<TModelessForm*>(top);
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_TRUE(w != DynamicStartForm || DynamicStartForm->CornersDol->isVisible());
    EXPECT_TRUE(w != DynamicStartForm || DynamicStartForm->RelayDol->isVisible());
    EXPECT_TRUE(w != CharacteristicsForm || CharacteristicsForm->LegendMarks->isVisible());
    EXPECT_TRUE(w != ProtectionChartForm || ProtectionChartForm->TcuHeading->isVisible());
    const QSize opened = w->size();
    EXPECT_EQ(opened, w->sizeHint());
    ExpectLaidOutCleanly(w, "opened");

    // Reopened, it has the same size, whatever it was given meanwhile.
    w->resize(opened + QSize(120, 80));
    Pump();
    w->CloseForm();
    Pump();
    Trigger(Form1->*window.second);
    EXPECT_EQ(w->size(), opened);

    w->resize(10, 10);
    Pump();
    EXPECT_EQ(w->size(), w->minimumSize());
    EXPECT_GE(w->width(), w->layout()->totalMinimumSize().width());
    EXPECT_GE(w->height(), w->layout()->totalMinimumSize().height());
    ExpectLaidOutCleanly(w, "at its minimum");

    w->resize(1700, 1250);
    Pump();
    EXPECT_EQ(w->size(), QSize(1700, 1250));
    ExpectLaidOutCleanly(w, "enlarged");
}

INSTANTIATE_TEST_SUITE_P(NewWindows, WindowLayoutTest,
                         ::testing::Combine(::testing::ValuesIn(Windows), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).first) +
                                    (std::get<1>(info.param) ? "_French" : "_English");
                         });
