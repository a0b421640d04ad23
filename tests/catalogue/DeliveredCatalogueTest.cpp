#include <cmath>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "CatalogueGenerator.h"
#include "Checks.h"
#include "MotorList.h"
#include "TempFolder.h"

namespace {

const std::filesystem::path Source = TARVELLO_SOURCE_DIR;
const std::filesystem::path Delivered = Source / "data" / "Liste Moteur.old";
const std::filesystem::path Nameplates = Source / "tools" / "make_catalogue" / "nameplates.txt";

} // namespace

TEST(DeliveredCatalogue, RegeneratingGivesTheCommittedFileByteForByte) {
    TempFolder dir;
    const auto regenerated = dir / "Liste Moteur.old";
    WriteListFile(regenerated, CatalogueLines(ReadNameplates(Nameplates)));
    EXPECT_EQ(ReadBytes(regenerated), ReadBytes(Delivered));
}

TEST(DeliveredCatalogue, ReadsWithoutSkippedLinesAndNumbersFromOne) {
    const MotorList list = ReadMotorList(Delivered);
    EXPECT_TRUE(list.skipped.empty());
    ASSERT_GE(list.records.size(), 18u);
    ASSERT_LE(list.records.size(), 30u);
    std::string first;
    std::string title = list.title;
    ASSERT_TRUE(CutField(title, first));
    EXPECT_EQ(first, "0");
    for (std::size_t i = 0; i < list.records.size(); ++i)
        EXPECT_EQ(list.records[i].recordNumber, int(i + 1));
    EXPECT_EQ(NextRecordNumber(Delivered), int(list.records.size()) + 1);
}

TEST(DeliveredCatalogue, EveryLineEndsWithCrLfAndIsPlainText) {
    const std::string bytes = ReadBytes(Delivered);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << i;
        }
        if (c == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << i;
        }
        EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << i;
    }
}

TEST(DeliveredCatalogue, CoversTheUsualRange) {
    const MotorList list = ReadMotorList(Delivered);
    std::set<int> poles;
    std::set<std::string> voltages, frequencies, couplings;
    double smallest = 1e12, largest = 0;
    for (const ListRecord& r : list.records) {
        const MotorDataSet ds = SelectedMotor(r);
        poles.insert(int(2 * ds.PairOfPoles));
        voltages.insert(r.fields[4]);
        frequencies.insert(r.fields[5]);
        couplings.insert(r.fields[16]);
        smallest = std::min(smallest, ds.MechanicalPower);
        largest = std::max(largest, ds.MechanicalPower);
        EXPECT_EQ(r.fields[1].find_first_of("0123456789"), std::string::npos) << "neutral maker text";
    }
    EXPECT_EQ(poles, (std::set<int>{2, 4, 6}));
    EXPECT_TRUE(voltages.count("400") && voltages.count("690"));
    EXPECT_EQ(frequencies, (std::set<std::string>{"50", "60"}));
    EXPECT_EQ(couplings, (std::set<std::string>{"Star", "Delta"}));
    EXPECT_LE(smallest, 750);
    EXPECT_GE(largest, 200000);
}

TEST(DeliveredCatalogue, EveryMotorSimulatesWithoutAnyMessage) {
    const MotorList list = ReadMotorList(Delivered);
    for (const ListRecord& r : list.records) {
        SCOPED_TRACE("record " + r.fields[0] + " " + r.fields[2]);
        EXPECT_EQ(DeliveryProblem(r), "");

        // The checks named one by one, as the program runs them on a list motor.
        MotorDataSet ds = SelectedMotor(r);
        EXPECT_EQ(ConfirmRatedValues(ds), 0);
        EXPECT_EQ(CheckComputable(ds), 0);
        EXPECT_GT(ds.Xssigma, 0);
        EXPECT_GT(ds.Xrsigma, 0);
        EXPECT_LT(ds.NoLoadPhaseCurrent, ds.PhaseCurrent * std::sqrt(1 - ds.PowerFactor * ds.PowerFactor));
        EXPECT_GT(ds.Rr, 0);

        // Plausible starting behaviour for a standard motor under this model.
        const LockedRotorRatios lr = LockedRotor(r);
        EXPECT_GT(lr.current, 3.5);
        EXPECT_LT(lr.current, 8.5);
        EXPECT_GT(lr.torque, 0.25);
        EXPECT_LT(lr.torque, 4.5);
    }
}

TEST(DeliveredCatalogue, TableListsEveryMotor) {
    const MotorList list = ReadMotorList(Delivered);
    const std::string table = LockedRotorTable(list);
    std::size_t rows = 0;
    for (char c : table)
        rows += c == '\n';
    EXPECT_EQ(rows, list.records.size() + 2);
}
