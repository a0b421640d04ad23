#pragma once
// The lists and the motor the list file tests write, and the error a call throws.

#include <string>

#include <gtest/gtest.h>

#include "MotorList.h"

namespace list_fixtures {

inline const std::string Title = "0;Constructor;Motor Size;Power [W];...;";

inline std::string RecordLine(int number) {
    return std::to_string(number) + ";M;S;1000;400;50;2.5;0.80;1400;1.2;5.00;5.00;4.00;4.00;150;2000;Star;";
}

inline MotorDataSet Motor(const std::string& maker = "Maker") {
    MotorDataSet ds;
    ds.ConstructorName = maker;
    ds.MotorSize = "112 M";
    ds.MechanicalPower = 4000;
    ds.LineVoltage = 400;
    ds.Frequency = 50;
    ds.LineCurrent = 8.5;
    ds.PowerFactor = 0.82;
    ds.RatedSpeed = 1430;
    ds.NoLoadLineCurrent = 4.5;
    ds.Rs = ds.Rr = 1.27;
    ds.Xssigma = ds.Xrsigma = 0.58;
    ds.Xh = 51;
    ds.Riron = 1158;
    ds.StarCoupling = true;
    return ds;
}

template <typename F> ListFileError Thrown(F f) {
    try {
        f();
    } catch (const ListFileError& e) {
        return e;
    }
    ADD_FAILURE() << "no ListFileError thrown";
    return ListFileError(ListFileError::Kind::ReadFailed, {});
}

template <typename F> ListFileError::Kind KindThrown(F f) {
    return Thrown(f).GetKind();
}

} // namespace list_fixtures
using namespace list_fixtures;
