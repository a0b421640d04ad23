// The windows of the dynamic start and the comparison, each in English and in French: they open at
// their size hint (and again at it when reopened), do not shrink below their minimum, and at the
// minimum as at a large size every widget a layout places lies inside its parent, over no other,
// and at least at its own minimum, its wrapped texts whole and its values readable.

#include "DynamicFixture.h"

#include "Compare.h"
#include "MethodSettings.h"

#include <QGroupBox>
#include <QLayout>
#include <QSizeGrip>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct WindowCase {
    const char* name;
    QAction* TForm1::*open;
    TModelessForm* (*window)();
};

const WindowCase Windows[] = {
    {"DynamicStart", &TForm1::DisplayDynamic, [] { return static_cast<TModelessForm*>(DynamicStartForm); }},
    {"SupplyNetwork", &TForm1::Network1, [] { return static_cast<TModelessForm*>(NetworkForm); }},
    {"MechanicalData", &TForm1::Mechanical1, [] { return static_cast<TModelessForm*>(MechanicalForm); }},
    {"StartingMethods", &TForm1::StartingMethods, [] { return static_cast<TModelessForm*>(MethodSettingsForm); }},
    {"CompareMethods", &TForm1::CompareMethods, [] { return static_cast<TModelessForm*>(CompareForm); }},
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

std::string Name(const QWidget* w)
{
    return ToStd(w->objectName()) + " (" + w->metaObject()->className() + ")";
}

bool Holds(const QLayout* layout, const QWidget* w)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w || (item->layout() && Holds(item->layout(), w)))
            return true;
    }
    return false;
}

// The size below which the layout does not shrink the widget (as Qt's layouts judge it).
QSize LeastSize(const QWidget* w)
{
    const QSize hint = w->sizeHint(), least = w->minimumSizeHint();
    const QSizePolicy p = w->sizePolicy();
    auto side = [](int set, QSizePolicy::Policy policy, int leastHint, int hint) {
        if (set > 0 || policy == QSizePolicy::Ignored)
            return set;
        return (policy & QSizePolicy::ShrinkFlag) ? leastHint : hint;
    };
    return {side(w->minimumWidth(), p.horizontalPolicy(), least.width(), hint.width()),
            side(w->minimumHeight(), p.verticalPolicy(), least.height(), hint.height())};
}

// Every visible widget a layout of the window places; a visible child of a laid-out widget
// that its layout does not hold would be placed by hand, and is reported.
std::vector<QWidget*> LaidOut(QWidget* window)
{
    std::vector<QWidget*> widgets;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QWidget* parent = w->parentWidget();
        if (w->isWindow() || !w->isVisibleTo(window) || !parent->layout() || qobject_cast<QSizeGrip*>(w))
            continue;
        EXPECT_TRUE(Holds(parent->layout(), w)) << Name(w) << " is placed by hand";
        widgets.push_back(w);
    }
    return widgets;
}

void ExpectLaidOutCleanly(QWidget* window, const std::string& where)
{
    const std::vector<QWidget*> widgets = LaidOut(window);
    ASSERT_GT(widgets.size(), 5u) << where;
    for (QWidget* w : widgets) {
        const std::string name = where + " " + Name(w);
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name << " sticks out of its parent";
        const QSize least = LeastSize(w);
        EXPECT_GE(w->width(), least.width()) << name;
        EXPECT_GE(w->height(), least.height()) << name;
        if (const auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap() && !label->text().isEmpty()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name << " cuts its lines";
        }
        if (const auto* edit = qobject_cast<QLineEdit*>(w)) {
            const QString shown = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
            // The frame and the text margins take 4 px on each side.
            EXPECT_LE(edit->fontMetrics().horizontalAdvance(shown) + 8, edit->width()) << name << " cuts its value";
        }
    }
    for (std::size_t i = 0; i < widgets.size(); ++i)
        for (std::size_t j = i + 1; j < widgets.size(); ++j) {
            QWidget *a = widgets[i], *b = widgets[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a))
                continue;
            const QRect ra(a->mapTo(window, QPoint(0, 0)), a->size());
            const QRect rb(b->mapTo(window, QPoint(0, 0)), b->size());
            EXPECT_FALSE(ra.intersects(rb)) << where << ": " << Name(a) << " overlaps " << Name(b);
        }
}

class WindowLayoutTest : public DynamicUiTest, public ::testing::WithParamInterface<std::tuple<WindowCase, bool>> {
  protected:
    // A start with every part the windows can show: a fan load, a network with a transformer and
    // a cable, and a starter whose duty is checked.
    static void FillEverything(bool french)
    {
        RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.1"), french);
        SetWeakTransformer();
        Trigger(Form1->Network1);
        NetworkForm->CableBox->setChecked(true);
        NetworkForm->LengthEdit->setText("20");
        NetworkForm->SectionEdit->setText("4");
        Click(NetworkForm->Button1);
        Trigger(Form1->StartingMethods);
        MethodSettingsForm->StarterGroup->setChecked(true);
        MethodSettingsForm->RatedCurrentEdit->setText("25");
        MethodSettingsForm->RatingEdit->setText("AC-53a: 3.5-17: 90-5");
        MethodSettingsForm->StartsEdit->setText("5");
        Click(MethodSettingsForm->OkButton);
        ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
    }
};

} // namespace

TEST_P(WindowLayoutTest, OpensAtItsHintKeepsItsMinimumAndNoWidgetOverlapsAnother)
{
    const auto& [c, french] = GetParam();
    FillEverything(french);
    Trigger(Form1->*c.open);
    TModelessForm* w = c.window();
    ASSERT_TRUE(w->isVisible());
    const QSize opened = w->size();
    EXPECT_EQ(opened, w->sizeHint());
    ExpectLaidOutCleanly(w, "opened");

    // Reopened, it has the same size, whatever it was given meanwhile.
    w->resize(opened + QSize(120, 80));
    Pump();
    w->CloseForm();
    Pump();
    Trigger(Form1->*c.open);
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
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_French" : "_English");
                         });
