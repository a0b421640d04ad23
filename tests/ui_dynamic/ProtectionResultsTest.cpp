// The relay set in Parameters › Protection reaches the open windows: the dynamic start's panel
// gains each start's cold verdict (green or red) and thermal capacity, the comparison its two
// columns; a long start fails; without withstand times the capacity is a dash and the panel says
// why; "none" takes the lines and the columns away again.

#include "DynamicFixture.h"

#include "Compare.h"
#include "Protection.h"

#include <QComboBox>
#include <QTableWidget>

namespace {

const QColor Green(0, 120, 0), Red(200, 0, 0);

void SetRelay(int classIndex, const QString& cold, const QString& hot)
{
    ProtectionForm->ShowForm();
    ProtectionForm->ClassBox->setCurrentIndex(classIndex);
    ProtectionForm->SettingEdit->clear();
    ProtectionForm->ColdEdit->setText(cold);
    ProtectionForm->HotEdit->setText(hot);
    ProtectionForm->Button1->click();
    QApplication::processEvents();
}

} // namespace

TEST_F(DynamicUiTest, RelayVerdictsFollowInThePanelAndTheComparison)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.01"));
    OpenDynamicWindow();
    Trigger(Form1->CompareMethods);
    TDynamicStartForm* d = DynamicStartForm;
    QTableWidget* table = CompareForm->Table;
    EXPECT_FALSE(d->RelayDol->isVisible());
    EXPECT_TRUE(table->isColumnHidden(TCompareForm::ColRelay));

    struct Case {
        int classIndex;         // 1 10A ... 4 class 30
        const char* loadInertia; // kg·m²: a heavy one makes the direct-on-line start long
        const char *cold, *hot;
        bool dolPasses;
    };
    const Case cases[] = {
        {2, "0", "15", "12", true},
        {4, "0", "", "", true},
        // About 20 s at several times In: every class 10A relay trips.
        {1, "3", "15", "12", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loadInertia + std::string(" class ") + std::to_string(c.classIndex));
        SetMechanical("0.012", Dec(c.loadInertia), "60");
        SetRelay(c.classIndex, c.cold, c.hot);
        ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
        ComeBackTo(d);
        ASSERT_TRUE(d->HasResults() && d->Results().Protection.has_value());
        const ProtectionResults& p = *d->Results().Protection;
        EXPECT_EQ(p.Dol.Cold.PassesStart, c.dolPasses);
        const bool withstand = *c.cold != '\0';
        for (const auto& [start, verdict, tcu] :
             {std::tuple{&p.Dol, d->RelayDol, d->TcuDol}, std::tuple{&p.SoftStarter, d->RelaySoft, d->TcuSoft}}) {
            const RelayStart& cold = start->Cold;
            ASSERT_TRUE(verdict->isVisible());
            const int decimals = cold.TripLevel < 100 ? 1 : 0;
            EXPECT_EQ(verdict->text(), (cold.PassesStart ? "PASS " : "FAIL ") + Value(cold.TripLevel, decimals) + " %");
            EXPECT_EQ(TextColour(verdict), cold.PassesStart ? Green : Red);
            EXPECT_EQ(cold.PassesStart, cold.TripLevel < 100);
            EXPECT_EQ(cold.Tcu.has_value(), withstand);
            EXPECT_EQ(tcu->text(), Value(cold.Tcu, 1));
            EXPECT_LE(verdict->fontMetrics().horizontalAdvance(verdict->text()) + 8, verdict->width());
        }
        EXPECT_EQ(d->ProtectionText->text().contains("No withstand times"), !withstand);

        // The comparison: its direct-on-line and soft-starter rows carry the same verdicts.
        CompareForm->ShowForm();
        Pump();
        ASSERT_FALSE(table->isColumnHidden(TCompareForm::ColRelay));
        ASSERT_FALSE(table->isColumnHidden(TCompareForm::ColTcu));
        const ComparisonResults& r = CompareForm->Results();
        ASSERT_TRUE(r.Protection.has_value());
        for (int row = 0; row < StartingMethodCount; ++row) {
            const std::optional<StartProtection>& m = r.Methods[row].Protection;
            // Star-delta does not apply to this star motor: no relay verdict either.
            EXPECT_EQ(m.has_value(), r.Methods[row].Applicable);
            EXPECT_EQ(table->item(row, TCompareForm::ColRelay)->text(),
                      m ? (m->Cold.PassesStart ? "PASS " : "FAIL ") +
                              Value(m->Cold.TripLevel, m->Cold.TripLevel < 100 ? 1 : 0) + " %"
                        : QString());
            EXPECT_EQ(table->item(row, TCompareForm::ColTcu)->text(), m ? Value(m->Cold.Tcu, 1) : QString());
        }
        EXPECT_EQ(table->item(0, TCompareForm::ColRelay)->text(), d->RelayDol->text());
        EXPECT_EQ(table->item(0, TCompareForm::ColRelay)->foreground().color(), c.dolPasses ? Green : Red);
    }
    // A class 30 relay lets through what a class 10A one trips on.
    SetRelay(4, "15", "12");
    ComeBackTo(d);
    EXPECT_TRUE(d->RelayDol->text().startsWith("PASS")) << d->RelayDol->text().toStdString();

    // None: the lines and the columns go.
    SetRelay(0, "", "");
    ComeBackTo(d);
    EXPECT_FALSE(d->Results().Protection.has_value());
    EXPECT_FALSE(d->RelayDol->isVisible());
    EXPECT_FALSE(d->ProtectionText->isVisible());
    CompareForm->ShowForm();
    Pump();
    EXPECT_TRUE(table->isColumnHidden(TCompareForm::ColRelay));
    EXPECT_TRUE(table->isColumnHidden(TCompareForm::ColTcu));
}

TEST_F(DynamicUiTest, RelayLinesAndColumnsInFrench)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.01"), true);
    SetRelay(2, "", "");
    OpenDynamicWindow();
    EXPECT_EQ(DynamicStartForm->RelayName->text(), QString::fromUtf8("Relais de surcharge, à froid"));
    EXPECT_TRUE(DynamicStartForm->RelayDol->text().startsWith(QString::fromUtf8("RÉUSSI ")));
    EXPECT_EQ(DynamicStartForm->TcuDol->text(), NoValueText());
    EXPECT_TRUE(DynamicStartForm->ProtectionText->text().contains(
        QString::fromUtf8("Pas de temps de blocage admissibles")));
    Trigger(Form1->CompareMethods);
    EXPECT_EQ(CompareForm->Table->horizontalHeaderItem(TCompareForm::ColRelay)->text(),
              QString::fromUtf8("Relais\n(à froid)"));
}
