// The motor list reader on any file: every line is either a record that converts into the data
// set or a skipped line with its reason; reading a record alone agrees with reading the list;
// nothing crashes, and a listed motor that the selection accepts computes without NaN or infinity.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "Checks.h"
#include "FuzzCheck.h"
#include "Identification.h"
#include "MotorList.h"
#include "StartSimulation.h"

namespace {
// The list file: TARVELLO_FUZZ_LIST when set (./test.sh names one, for a run that does the same
// every time: a name with the process id in it reaches the comparisons libFuzzer learns from),
// else one of this process in the temporary folder.
const std::filesystem::path& ListPath() {
    static const std::filesystem::path path = [] {
        const char* given = std::getenv("TARVELLO_FUZZ_LIST");
        const std::filesystem::path p = given && *given
                                            ? std::filesystem::path(given)
                                            : std::filesystem::temp_directory_path() /
                                                  ("tarvello-fuzz-list-" + std::to_string(getpid()) + ".dat");
        std::atexit([] { std::filesystem::remove(ListPath()); });
        return p;
    }();
    return path;
}

bool Finite(const MotorDataSet& ds) {
    for (double v :
         {ds.MechanicalPower, ds.LineVoltage, ds.LineCurrent, ds.PowerFactor, ds.Frequency, ds.RatedSpeed,
          ds.NoLoadLineCurrent, ds.Rs, ds.Rr, ds.Xssigma, ds.Xrsigma, ds.Xh, ds.Riron})
        if (!std::isfinite(v)) return false;
    return true;
}

// What the selection dialog's OK and the results computation do with a listed motor.
void Choose(const ListRecord& record) {
    MotorDataSet ds;
    PresetStartInputs(ds);
    CopyRecordToDataSet(record, ds);
    ds.MotorFromList = true;
    FUZZ_CHECK(Finite(ds), "line %d", record.lineNumber);
    if (CheckRatedValues(ds) || CheckCircuit(ds)) return;
    DeriveRatedValues(ds);
    ds.ShowStaticCurves = true;
    CurveBuffer timePoints, staticPoints;
    if (RunStartComputation(ds, &timePoints, &staticPoints)) return;
    for (const std::vector<CurvePoint>* points : {&timePoints.points, &staticPoints.points}) {
        FUZZ_CHECK(points->size() == CurvePoints, "line %d", record.lineNumber);
        for (const CurvePoint& p : *points)
            for (double v : {p.x, p.dolCurrent, p.dolTorque, p.ssCurrent, p.ssTorque})
                FUZZ_CHECK(std::isfinite(v), "line %d", record.lineNumber);
    }
    for (double v : {ds.ElectricalPower, ds.RatedTorque, ds.Efficiency, ds.SynchronousSpeed, ds.ImaxIn})
        FUZZ_CHECK(std::isfinite(v), "line %d", record.lineNumber);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(ListPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    MotorList list;
    try {
        list = ReadMotorList(ListPath());
    } catch (const ListFileError& e) {
        FUZZ_CHECK(!e.Message(Language::English).empty() && !e.Message(Language::French).empty(),
                   "no message");
        return 0;
    }
    for (const SkippedLine& s : list.skipped) {
        FUZZ_CHECK(!s.Reason(Language::English).empty() && !s.Reason(Language::French).empty(), "line %d",
                   s.lineNumber);
    }
    MotorDataSet rows;
    StoreListRows(list, rows);
    FUZZ_CHECK(rows.ListConstructorName.size() == list.records.size(), "%zu rows", list.records.size());

    int lines = 0;
    try {
        lines = CountListLines(ListPath());
    } catch (const ListFileError&) {
        return 0;
    }
    FUZZ_CHECK(lines >= 1, "%d lines", lines);
    // Each record read alone is the one the list holds; the first few are chosen as a user would.
    std::size_t next = 0;
    for (int n = 1; n < lines && n <= 6; ++n) {
        try {
            const ListRecord record = ReadListRecord(n, ListPath());
            while (next < list.records.size() && list.records[next].lineNumber < record.lineNumber)
                ++next;
            FUZZ_CHECK(next < list.records.size() && list.records[next].fields == record.fields, "record %d",
                       n);
            if (n <= 3) Choose(record);
        } catch (const ListFileError& e) {
            FUZZ_CHECK(!e.Message(Language::English).empty(), "record %d", n);
        }
    }
    try {
        NextRecordNumber(ListPath());
    } catch (const ListFileError&) {
    }
    return 0;
}
