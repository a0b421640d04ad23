// The guided order with a motor from the delivered catalogue: language, step 1 in the list,
// soft-starter, load, results computed with the listed circuit.

#include "DialogFixture.h"

#include "MainCharts.h"
#include "OperatingPoint.h"

namespace {

// The delivered record of the given grid row as the data set holds it once confirmed.
MotorDataSet DeliveredMotor(int row)
{
    const MotorList delivered = ReadMotorList(BackupFileName);
    MotorDataSet ds;
    CopyRecordToDataSet(delivered.records.at(static_cast<std::size_t>(row - 1)), ds);
    return ds;
}

} // namespace

class CatalogueWorkflow : public DialogTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CatalogueWorkflow, ListedMotorRunsToTheResults)
{
    const bool french = GetParam();
    constexpr int row = 3;
    const MotorDataSet listed = DeliveredMotor(row);

    ChooseLanguage(french);
    OpenSelection();
    ASSERT_TRUE(Form4->isVisible());
    EXPECT_EQ(Form4->windowTitle(), french ? "Choisir un moteur dans la liste" : "Select Motor in List");
    PickRow(row);
    Click(Form4->Button1);
    ASSERT_EQ(MotorData.StartStep, 1);

    Click(Form1->Button2);
    ASSERT_TRUE(Form6->isVisible());
    SetLimitMode("3");
    ASSERT_EQ(MotorData.StartStep, 2);
    Click(Form1->Button3);
    ASSERT_TRUE(Form5->isVisible());
    SetLoad(LoadKind::None);

    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_TRUE(MotorData.ResultsMode);
    EXPECT_FALSE(Form1->Panel3->isVisible());
    EXPECT_TRUE(Form1->Panel1->isVisible());
    EXPECT_TRUE(AsWidget(Form1->xyGraph3)->isVisible());
    EXPECT_EQ(Form1->Edit14->text().toStdString(), listed.ConstructorName);
    EXPECT_EQ(Form1->Edit13->text().toStdString(), listed.MotorSize);
    EXPECT_EQ(Form1->Edit1->text(), FixedText(listed.MechanicalPower, 0));
    EXPECT_EQ(Form1->Edit4->text(), FixedText(listed.LineCurrent, 1));

    // The listed circuit was used as it stands, not identified again from the rated values.
    for (const auto& [value, expected] : {std::pair{MotorData.Rs, listed.Rs}, {MotorData.Rr, listed.Rr},
                                          {MotorData.Xssigma, listed.Xssigma}, {MotorData.Xrsigma, listed.Xrsigma},
                                          {MotorData.Xh, listed.Xh}, {MotorData.Riron, listed.Riron}})
        EXPECT_DOUBLE_EQ(value, expected);
    const auto dol = SeriesPoints(Form1->xyGraph3, 1);
    ASSERT_EQ(dol.size(), 100u);
    const double startCurrent = StatorCurrent(MotorData, 1.0, MotorData.PhaseVoltage) / MotorData.PhaseCurrent;
    EXPECT_NEAR(dol.front().second, startCurrent, 1e-9 * startCurrent);
    EXPECT_GT(startCurrent, 2.0);
    EXPECT_LE(MotorData.ImaxIn, 3.0);
}

INSTANTIATE_TEST_SUITE_P(Language, CatalogueWorkflow, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("French") : std::string("English");
                         });
