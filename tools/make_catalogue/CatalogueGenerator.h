#pragma once
// The delivered catalogue: nameplates in, identified record lines out, and the checks that every
// delivered motor simulates without a message.

#include <filesystem>
#include <string>
#include <vector>

#include "MotorDataSet.h"
#include "MotorList.h"

struct Nameplate {
    int sourceLine = 0; // line in the nameplate table, for messages
    std::string maker;
    std::string size;
    double power = 0;       // W
    double lineVoltage = 0; // V
    double frequency = 0;   // Hz
    double lineCurrent = 0; // A
    double powerFactor = 0;
    double ratedSpeed = 0;    // rpm
    double noLoadCurrent = 0; // A, line
    bool star = true;
};

// One nameplate per line: maker;size;W;V;Hz;A;cos phi;rpm;no-load A;Star|Delta
// Blank lines and lines starting with '#' are ignored. Throws std::runtime_error naming the line.
std::vector<Nameplate> ReadNameplates(const std::filesystem::path& table);

// The title line: first field 0, so that saving into a title-only list numbers from 1.
std::string CatalogueTitle();

// The nameplate identified by the program's own rule (no-load current given); the circuit is
// still unrounded.
MotorDataSet IdentifiedMotor(const Nameplate& nameplate);

// Title and records numbered from 1, '.' as decimal separator. Throws std::runtime_error when a
// nameplate value would not survive the file's rounding or a motor would not simulate cleanly.
std::vector<std::string> CatalogueLines(const std::vector<Nameplate>& nameplates);

// The data set a selection of this record gives once confirmed: copied, circuit from the list,
// start inputs preset, DeriveRatedValues run.
MotorDataSet SelectedMotor(const ListRecord& record);

// Empty when the record simulates without any message; otherwise what is wrong.
std::string DeliveryProblem(const ListRecord& record);

// Direct-on-line locked-rotor ratios (slip 1, full phase voltage).
struct LockedRotorRatios {
    double current = 0; // StatorCurrent / PhaseCurrent
    double torque = 0;  // MotorTorque / RatedTorque
};
LockedRotorRatios LockedRotor(const ListRecord& record);

// A Markdown table of every record's locked-rotor ratios.
std::string LockedRotorTable(const MotorList& list);
