#pragma once
// The rated values and soft-starter panels as tarvello-sim prints them, with the main window's
// labels and number formats (plain C++, no Qt).

#include <string>

#include "ErrorMessages.h"
#include "MotorDataSet.h"

std::string PanelText(const MotorDataSet& ds, Language language);
