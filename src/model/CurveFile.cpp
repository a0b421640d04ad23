#include "CurveFile.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string FormatCurveNumber(double value) {
    // Sign position, d.dddddddddddddd, E, exponent sign, four exponent digits; always a point.
    char buf[64];
    const double magnitude = std::fabs(value);
    auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string s(buf, r.ptr);
    const std::size_t e = s.find('e');
    const int exponent = std::atoi(s.c_str() + e + 1);
    char out[32];
    std::snprintf(out, sizeof out, "%c%sE%c%04d", value < 0 ? '-' : ' ', s.substr(0, e).c_str(),
                  exponent < 0 ? '-' : '+', std::abs(exponent));
    return out;
}

std::string CurveFileText(const MotorDataSet& ds) {
    std::string text = ds.ShowStaticCurves ? "Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS;n/ns"
                                           : "Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS";
    text += "\r\n";
    for (int i = 0; i < CurvePoints; ++i) {
        text += FormatCurveNumber(ds.TimeAxis[i]);
        for (const Curve* c : {&ds.DolCurrentCurve, &ds.DolTorqueCurve, &ds.SoftStarterCurrentCurve,
                               &ds.SoftStarterTorqueCurve}) {
            text += ';';
            text += FormatCurveNumber((*c)[i]);
        }
        if (ds.ShowStaticCurves) {
            text += ';';
            text += FormatCurveNumber(ds.SpeedAxis[i]);
        }
        text += "\r\n";
    }
    return text;
}
