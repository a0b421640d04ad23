#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "MotorList.h"
#include "TempFolder.h"

namespace {

const std::string Title =
    "0;Constructor;Motor Size;Power [W];Line Voltage [V];Frequency [Hz];Line Current [A];"
    "Power Factor;Rated Speed [rpm];No Load Line Current [A];Rs;R'r;Xssigma;X'rsigma;Xh;"
    "Riron;Coupling;";
const std::string ExampleLine =
    "12;Maker A;132 M;5500;400;50;11.2;0.83;1450;5.6;0.86;0.61;1.36;1.36;61;1440;Delta;";

MotorDataSet ExampleMotor() {
    MotorDataSet ds;
    ds.ConstructorName = "Maker A";
    ds.MotorSize = "132 M";
    ds.MechanicalPower = 5500;
    ds.LineVoltage = 400;
    ds.Frequency = 50;
    ds.LineCurrent = 11.2;
    ds.PowerFactor = 0.83;
    ds.RatedSpeed = 1450;
    ds.NoLoadLineCurrent = 5.6;
    ds.Rs = 0.86;
    ds.Rr = 0.61;
    ds.Xssigma = 1.36;
    ds.Xrsigma = 1.36;
    ds.Xh = 61;
    ds.Riron = 1440;
    ds.StarCoupling = false;
    return ds;
}

std::string RecordLine(int number, const std::string& maker = "M") {
    return std::to_string(number) + ";" + maker +
           ";S;1000;400;50;2.5;0.80;1400;1.2;5.00;5.00;4.00;4.00;150;2000;Star;";
}

// Runs the body under a process locale whose decimal mark is the other one, so that reading is
// seen not to depend on it.
class ScopedLocale {
  public:
    explicit ScopedLocale(const char* name) : had_(std::setlocale(LC_ALL, name) != nullptr) {}
    ~ScopedLocale() { std::setlocale(LC_ALL, "C"); }
    bool Active() const { return had_; }

  private:
    bool had_;
};

void ExpectExampleValues(const MotorDataSet& ds) {
    EXPECT_EQ(ds.ConstructorName, "Maker A");
    EXPECT_EQ(ds.MotorSize, "132 M");
    EXPECT_DOUBLE_EQ(ds.MechanicalPower, 5500);
    EXPECT_DOUBLE_EQ(ds.LineVoltage, 400);
    EXPECT_DOUBLE_EQ(ds.Frequency, 50);
    EXPECT_DOUBLE_EQ(ds.LineCurrent, 11.2);
    EXPECT_DOUBLE_EQ(ds.PowerFactor, 0.83);
    EXPECT_DOUBLE_EQ(ds.RatedSpeed, 1450);
    EXPECT_DOUBLE_EQ(ds.NoLoadLineCurrent, 5.6);
    EXPECT_DOUBLE_EQ(ds.Rs, 0.86);
    EXPECT_DOUBLE_EQ(ds.Rr, 0.61);
    EXPECT_DOUBLE_EQ(ds.Xssigma, 1.36);
    EXPECT_DOUBLE_EQ(ds.Xrsigma, 1.36);
    EXPECT_DOUBLE_EQ(ds.Xh, 61);
    EXPECT_DOUBLE_EQ(ds.Riron, 1440);
    EXPECT_FALSE(ds.StarCoupling);
}

} // namespace

TEST(ListFileFormat, ExampleRecordLine) {
    EXPECT_EQ(FormatRecordLine(12, ExampleMotor(), '.'), ExampleLine);
}

TEST(ListFileFormat, AppendWritesTheExampleLineWithCrLf) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    std::string before = Title + "\r\n";
    for (int n = 1; n <= 11; ++n)
        before += RecordLine(n) + "\r\n";
    WriteBytes(list, before);
    EXPECT_EQ(AppendMotorRecord(ExampleMotor(), '.', list), 12);
    EXPECT_EQ(ReadBytes(list), before + ExampleLine + "\r\n");
}

TEST(ListFileFormat, WholeFileByteForByteUnderPointAndComma) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteListFile(list, {Title});
    EXPECT_EQ(AppendMotorRecord(ExampleMotor(), '.', list), 1);
    EXPECT_EQ(AppendMotorRecord(ExampleMotor(), ',', list), 2);
    EXPECT_EQ(ReadBytes(list),
              Title + "\r\n" +
                  "1;Maker A;132 M;5500;400;50;11.2;0.83;1450;5.6;0.86;0.61;1.36;1.36;61;1440;Delta;\r\n" +
                  "2;Maker A;132 M;5500;400;50;11,2;0,83;1450;5,6;0,86;0,61;1,36;1,36;61;1440;Delta;\r\n");
}

TEST(ListFileFormat, WrittenUnderOneSeparatorReadsBackUnderTheOther) {
    for (const char separator : {'.', ','}) {
        TempFolder dir;
        const auto list = ListFilePath(dir.Path());
        WriteListFile(list, {Title});
        AppendMotorRecord(ExampleMotor(), separator, list);
        // Read under a locale whose decimal mark is the other separator.
        ScopedLocale locale(separator == '.' ? "fr_FR.UTF-8" : "en_US.UTF-8");
        ASSERT_TRUE(locale.Active());
        EXPECT_EQ(*std::localeconv()->decimal_point, separator == '.' ? ',' : '.');
        const MotorList read = ReadMotorList(list);
        ASSERT_EQ(read.records.size(), 1u) << separator;
        EXPECT_TRUE(read.skipped.empty());
        MotorDataSet ds;
        CopyRecordToDataSet(read.records[0], ds);
        ExpectExampleValues(ds);
    }
}

TEST(ListFileFormat, UnknownDecimalSeparatorFallsBackToPoint) {
    EXPECT_EQ(FormatRecordLine(12, ExampleMotor(), '\''), ExampleLine);
    EXPECT_EQ(FormatRecordLine(12, ExampleMotor(), ';'), ExampleLine);
}

TEST(ListFileFormat, ValuesAreRoundedToTheStoredDecimals) {
    MotorDataSet ds = ExampleMotor();
    ds.Rs = 0.004;
    ds.Rr = 0.005001;
    ds.LineCurrent = 11.25001;
    ds.PowerFactor = -0.834;
    ds.Xh = 60.5001;
    const std::string line = FormatRecordLine(1, ds, '.');
    EXPECT_EQ(line, "1;Maker A;132 M;5500;400;50;11.3;-0.83;1450;5.6;0.00;0.01;1.36;1.36;61;1440;Delta;");
    ListRecord record;
    SkippedLine skipped;
    ASSERT_TRUE(ParseRecordLine(line, 2, record, skipped));
    MotorDataSet back;
    CopyRecordToDataSet(record, back);
    EXPECT_EQ(back.Rs, 0.0);
    EXPECT_DOUBLE_EQ(back.Rr, 0.01);
    EXPECT_DOUBLE_EQ(back.PowerFactor, -0.83);
}

TEST(ListFileFormat, StarWrittenAsStar) {
    MotorDataSet ds = ExampleMotor();
    ds.StarCoupling = true;
    const std::string line = FormatRecordLine(3, ds, '.');
    EXPECT_EQ(line.substr(line.size() - 6), ";Star;");
}

TEST(ListFileFormat, AccentedMakerRoundTripsThroughWindows1252) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteListFile(list, {Title});
    MotorDataSet ds = ExampleMotor();
    ds.ConstructorName = "Société Müller €";
    ds.MotorSize = "Größe 132 – Œ";
    AppendMotorRecord(ds, ',', list);
    const std::string bytes = ReadBytes(list);
    EXPECT_NE(bytes.find("1;Soci\xE9t\xE9 M\xFCller \x80;Gr\xF6\xDF"
                         "e 132 \x96 \x8C;5500;"),
              std::string::npos);
    const MotorList read = ReadMotorList(list);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields[1], "Société Müller €");
    EXPECT_EQ(read.records[0].fields[2], "Größe 132 – Œ");
}

TEST(ListFileFormat, LinesOfAnyLength) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteListFile(list, {Title});
    MotorDataSet ds = ExampleMotor();
    ds.ConstructorName = std::string(100000, 'x') + "é";
    AppendMotorRecord(ds, '.', list);
    const ListRecord record = ReadListRecord(1, list);
    EXPECT_EQ(record.fields[1], ds.ConstructorName);
    EXPECT_EQ(record.fields[2], "132 M");
}

TEST(ListFileFormat, CutField) {
    std::string line = "12;Maker A;;x";
    std::string field;
    ASSERT_TRUE(CutField(line, field));
    EXPECT_EQ(field, "12");
    EXPECT_EQ(line, "Maker A;;x");
    field.clear();
    ASSERT_TRUE(CutField(line, field));
    EXPECT_EQ(field, "Maker A");
    field.clear();
    ASSERT_TRUE(CutField(line, field));
    EXPECT_EQ(field, "");
    EXPECT_EQ(line, "x");
    field = "kept";
    EXPECT_FALSE(CutField(line, field));
    EXPECT_EQ(field, "kept");
    EXPECT_EQ(line, "x");
}

TEST(ListFileFormat, AnythingAfterTheSeventeenthFieldIsIgnored) {
    ListRecord record;
    SkippedLine skipped;
    ASSERT_TRUE(ParseRecordLine(ExampleLine + "extra;more", 2, record, skipped));
    EXPECT_EQ(record.fields[16], "Delta");
    EXPECT_EQ(record.recordNumber, 12);
    EXPECT_EQ(record.lineNumber, 2);
}

TEST(ListFileNumbering, FollowsTheLastLineNotTheLargestNumber) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    std::string bytes = Title + "\r\n";
    for (int n = 1; n <= 12; ++n)
        bytes += RecordLine(n) + "\r\n";
    bytes += RecordLine(7) + "\r\n";
    WriteBytes(list, bytes);
    EXPECT_EQ(NextRecordNumber(list), 8);
    EXPECT_EQ(AppendMotorRecord(ExampleMotor(), '.', list), 8);
    EXPECT_EQ(ReadMotorList(list).records.back().recordNumber, 8);
}

TEST(ListFileNumbering, TitleOnlyListNumbersFromOne) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteListFile(list, {Title});
    EXPECT_EQ(NextRecordNumber(list), 1);
    EXPECT_EQ(AppendMotorRecord(ExampleMotor(), '.', list), 1);
    EXPECT_EQ(AppendMotorRecord(ExampleMotor(), '.', list), 2);
    const MotorList read = ReadMotorList(list);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].recordNumber, 1);
    EXPECT_EQ(read.records[1].recordNumber, 2);
    EXPECT_EQ(read.title, Title);
}

TEST(ListFileNumbering, AcceptsSignAndSpacesAroundTheNumber) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteBytes(list, Title + "\r\n" + RecordLine(3).replace(0, 1, " +41 ") + "\r\n");
    EXPECT_EQ(NextRecordNumber(list), 42);
}

TEST(ListFileNumbering, CountListLines) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteBytes(list, "");
    EXPECT_EQ(CountListLines(list), 1);
    WriteBytes(list, Title + "\r\n");
    EXPECT_EQ(CountListLines(list), 1);
    WriteBytes(list, Title + "\r\n" + RecordLine(1) + "\r\n" + RecordLine(2));
    EXPECT_EQ(CountListLines(list), 3);
    // An empty line at the end of the file counts as a line.
    WriteBytes(list, Title + "\r\n" + RecordLine(1) + "\r\n\r\n");
    EXPECT_EQ(CountListLines(list), 3);
    // LF and CR alone end lines too.
    WriteBytes(list, Title + "\n" + RecordLine(1) + "\r" + RecordLine(2) + "\n");
    EXPECT_EQ(CountListLines(list), 3);
}

TEST(ListFileCoupling, OnlyDeltaExactlyIsDelta) {
    for (const auto& [text, star] : std::initializer_list<std::pair<std::string, bool>>{{"Delta", false},
                                                                                        {"delta", true},
                                                                                        {"", true},
                                                                                        {"Star", true},
                                                                                        {"DELTA", true},
                                                                                        {" Delta", true}}) {
        ListRecord record;
        record.fields = {"1", "M", "S", "1", "1", "1", "1", "1", "1",
                         "1", "1", "1", "1", "1", "1", "1", text};
        MotorDataSet ds;
        ds.StarCoupling = !star;
        CopyRecordToDataSet(record, ds);
        EXPECT_EQ(ds.StarCoupling, star) << "\"" << text << "\"";
    }
}

TEST(ListFileCoupling, ReadFromFile) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    std::string bytes = Title + "\r\n";
    int n = 0;
    for (const char* coupling : {"Delta", "delta", "", "Star"}) {
        std::string line = RecordLine(++n);
        line.replace(line.size() - 5, 4, coupling);
        bytes += line + "\r\n";
    }
    WriteBytes(list, bytes);
    const MotorList read = ReadMotorList(list);
    ASSERT_EQ(read.records.size(), 4u);
    const bool expected[] = {false, true, true, true};
    for (std::size_t i = 0; i < 4; ++i) {
        MotorDataSet ds;
        CopyRecordToDataSet(read.records[i], ds);
        EXPECT_EQ(ds.StarCoupling, expected[i]) << i;
    }
}

TEST(ListFileRead, MoreThanAHundredRecordsAreAllRead) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    std::string bytes = Title + "\r\n";
    for (int n = 1; n <= 250; ++n)
        bytes += RecordLine(n, "Maker " + std::to_string(n)) + "\r\n";
    WriteBytes(list, bytes);
    const MotorList read = ReadMotorList(list);
    ASSERT_EQ(read.records.size(), 250u);
    EXPECT_TRUE(read.skipped.empty());
    EXPECT_EQ(read.records[249].recordNumber, 250);
    EXPECT_EQ(read.records[249].lineNumber, 251);
    EXPECT_EQ(CountListLines(list), 251);
    EXPECT_EQ(ReadListRecord(250, list).fields[1], "Maker 250");

    MotorDataSet ds;
    StoreListRows(read, ds);
    ASSERT_EQ(ds.ListConstructorName.size(), 250u);
    EXPECT_EQ(ds.ListConstructorName[149], "Maker 150");
    EXPECT_EQ(ds.ListCoupling[0], "Star");
    EXPECT_EQ(ds.ListRiron.size(), 250u);
    EXPECT_EQ(ds.ListRiron[0], "2000");
    EXPECT_EQ(ds.ListLineCurrent[0], "2.5");
}

TEST(ListFileRead, StoreListRowsPutsFieldsTwoToSeventeenInColumnOrder) {
    ListRecord record;
    for (int k = 0; k < ListFieldCount; ++k)
        record.fields[k] = "f" + std::to_string(k + 1);
    MotorList list;
    list.records = {record};
    MotorDataSet ds;
    ds.ListXh = {"old", "older"};
    StoreListRows(list, ds);
    // Spelled out rather than through ListColumns, so that a wrong order there fails here.
    const std::vector<std::string>* columns[] = {
        &ds.ListConstructorName, &ds.ListMotorSize, &ds.ListMechanicalPower, &ds.ListLineVoltage,
        &ds.ListFrequency,       &ds.ListLineCurrent, &ds.ListPowerFactor, &ds.ListRatedSpeed,
        &ds.ListNoLoadLineCurrent, &ds.ListRs, &ds.ListRr, &ds.ListXssigma, &ds.ListXrsigma, &ds.ListXh,
        &ds.ListRiron, &ds.ListCoupling};
    for (int k = 0; k < 16; ++k) {
        ASSERT_EQ(columns[k]->size(), 1u) << k;
        EXPECT_EQ((*columns[k])[0], "f" + std::to_string(k + 2));
    }
}

TEST(ListFileRestore, CopyIsEqualLineForLineWithCrLf) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    // Mixed line ends, and a last line without one.
    WriteBytes(backup,
               Title + "\n" + RecordLine(1, "Caf\xE9") + "\r\n" + RecordLine(2) + "\r" + RecordLine(3));
    WriteBytes(list,
               Title + "\r\n" + RecordLine(1) + "\r\n" + RecordLine(2) + "\r\n" + RecordLine(99) + "\r\n");
    RestoreListFromBackup(list, backup);
    EXPECT_EQ(ReadBytes(list), Title + "\r\n" + RecordLine(1, "Caf\xE9") + "\r\n" + RecordLine(2) + "\r\n" +
                                   RecordLine(3) + "\r\n");
    EXPECT_EQ(CountListLines(list), CountListLines(backup));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(ReadListRecord(n, list).fields, ReadListRecord(n, backup).fields);
    EXPECT_EQ(NextRecordNumber(list), 4);
    // The backup itself is never written.
    EXPECT_EQ(ReadBytes(backup).back(), RecordLine(3).back());
    // No temporary file is left beside them, only the lock file that every change of the list uses.
    EXPECT_EQ(dir.EntryNames(),
              (std::set<std::string>{"Liste Moteur.dat", "Liste Moteur.old", "Liste Moteur.dat.lock"}));
}

TEST(ListFileRestore, CreatesAMissingListAndKeepsAnEmptyBackupEmpty) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    WriteBytes(backup, "");
    RestoreListFromBackup(list, backup);
    EXPECT_EQ(ReadBytes(list), "");
    WriteBytes(backup, Title);
    RestoreListFromBackup(list, backup);
    EXPECT_EQ(ReadBytes(list), Title + "\r\n");
}

TEST(ListFileRestore, KeepsThePermissionsOfTheList) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    WriteBytes(backup, Title + "\r\n");
    WriteBytes(list, "old\r\n");
    std::filesystem::permissions(list, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    RestoreListFromBackup(list, backup);
    EXPECT_EQ(std::filesystem::status(list).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
}

TEST(ListFileRestore, ThroughLinksWritesTheUsersRealListAndLeavesTheLinks) {
    TempFolder dir;
    for (const char* folder : {"a", "b", "c"})
        std::filesystem::create_directory(dir / folder);
    // A relative link to a link that names the real list by its full path.
    const auto list = ListFilePath(dir / "a");
    std::filesystem::create_symlink("../b/second link", list);
    std::filesystem::create_symlink(dir / "c" / "motors.dat", dir / "b" / "second link");
    const auto real = dir / "c" / "motors.dat";
    WriteBytes(real, Title + "\r\n" + RecordLine(1) + "\r\n" + RecordLine(2) + "\r\n");
    std::filesystem::permissions(real,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const auto backup = BackupFilePath(dir.Path());
    WriteBytes(backup, Title + "\r\n" + RecordLine(1) + "\r\n");

    RestoreListFromBackup(list, backup);
    EXPECT_TRUE(std::filesystem::is_symlink(list));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "b" / "second link"));
    EXPECT_EQ(ReadBytes(real), Title + "\r\n" + RecordLine(1) + "\r\n");
    EXPECT_EQ(std::filesystem::status(real).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(AppendMotorRecord(ExampleMotor(), '.', list), 2);
    EXPECT_EQ(ReadListRecord(2, real).fields[1], "Maker A");
    // The lock sits beside the real list only, and no temporary file is left anywhere.
    EXPECT_EQ(std::filesystem::directory_iterator(dir / "a")->path().filename(), "Liste Moteur.dat");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "a"), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "b"), {}), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "c" / "motors.dat.lock"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "c"), {}), 2);
}

TEST(ListFilePaths, BareNamesInTheWorkingDirectory) {
    EXPECT_EQ(ListFilePath(), std::filesystem::path("Liste Moteur.dat"));
    EXPECT_EQ(BackupFilePath(), std::filesystem::path("Liste Moteur.old"));
    EXPECT_EQ(ListFilePath("/x/y"), std::filesystem::path("/x/y/Liste Moteur.dat"));
    EXPECT_EQ(BackupFilePath("data"), std::filesystem::path("data/Liste Moteur.old"));
}
