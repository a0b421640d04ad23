#include "SimPanels.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "TextToReal.h"

std::string PanelText(const MotorDataSet& ds, Language lang) {
    std::ostringstream out;
    const bool en = lang == Language::English;
    struct Row {
        const char *english, *french;
        std::string value;
        const char* unit;
    };
    const Row rated[] = {
        {"Constructor", "Fabricant", ds.ConstructorName, ""},
        {"Motor Size", "Dimension du moteur", ds.MotorSize, ""},
        {"Mechanical Power", "Puissance mécanique", FormatFixed(ds.MechanicalPower, 0), "W"},
        {"Line Voltage", "Tension de ligne", FormatFixed(ds.LineVoltage, 0), "V"},
        {"Frequency", "Fréquence", FormatFixed(ds.Frequency, 0), "Hz"},
        {"Line Current", "Courant de ligne", FormatFixed(ds.LineCurrent, 1), "A"},
        {"No Load Line Current", "Courant de ligne à vide", FormatFixed(ds.NoLoadLineCurrent, 1), "A"},
        {"Power Factor", "Facteur de puissance", FormatFixed(ds.PowerFactor, 2), "--"},
        {"Electrical Power", "Puissance électrique", FormatFixed(ds.ElectricalPower, 0), "W"},
        {"Number Pair of Poles", "Nombre de paire de pôles", FormatFixed(ds.PairOfPoles, 0), "--"},
        {"Rated Torque", "Couple nominal", FormatFixed(ds.RatedTorque, 0), "Nm"},
        {"Rated Speed", "Vitesse nominale", FormatFixed(ds.RatedSpeed, 0), "rpm"},
        {"Efficiency", "Rendement", FormatFixed(ds.Efficiency, 0), "%"},
    };
    const Row starter[] = {
        {"Estimated Time to Start Motor with Load", "Temps estimé pour démarrer le moteur avec charge",
         FormatFixed(ds.EstimatedStartTime, 2), "s"},
        {"Imax/In", "Imax/In", FormatFixed(ds.ImaxIn, 2), "--"},
        {"Preset", "Preset", FormatFixed(static_cast<double>(static_cast<Extended>(ds.Preset) * 100), 2),
         "%"},
        {"Time of Soft-Starter", "Temps du Soft-Starter", FormatFixed(ds.SoftStarterTime, 2), "s"},
    };
    auto print = [&](const char* heading, const auto& rows) {
        out << heading << "\n";
        for (const Row& r : rows) {
            std::string label = en ? r.english : r.french;
            out << "  " << label << " : " << r.value;
            if (*r.unit) out << " " << r.unit;
            out << "\n";
        }
    };
    print(en ? "Rated Value" : "Grandeurs nominales", rated);
    out << "\n";
    print(en ? "Soft-Stater Parameters" : "Paramètres du Soft-Stater", starter);
    return out.str();
}

namespace {

// A value of a few significant digits, for the inertias that range over many decades.
std::string Significant(double v, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
}

struct Line {
    const char *english, *french;
    std::string value;
};

void PrintLines(std::ostringstream& out, const std::vector<Line>& lines, bool en, const char* indent) {
    for (const Line& l : lines)
        out << indent << (en ? l.english : l.french) << " : " << l.value << "\n";
}

std::vector<Line> StartLines(const StartOutcome& o, const DynamicSettings& settings, bool en) {
    std::vector<Line> lines;
    if (o.Stalled) {
        const std::string speed = FormatFixed(o.StallSpeed.value_or(0), 1) + " rpm";
        if (o.TooLong)
            lines.push_back({"TOO LONG: start-time limit reached at",
                             "TROP LONG : limite du temps de démarrage atteinte à", speed});
        else
            lines.push_back({"STALLED at", "BLOQUÉ à", speed});
    } else {
        lines.push_back({"Run-Up Time", "Temps de démarrage", FormatFixed(*o.RunUpTime, 3) + " s"});
        lines.push_back(
            {"Peak Current", "Courant de crête",
             FormatFixed(*o.PeakLineCurrent, 1) + " A (" + FormatFixed(*o.PeakCurrentRatio, 2) + " I/In)"});
        lines.push_back({"Minimum Accelerating Torque", "Couple d'accélération minimal",
                         FormatFixed(*o.MinAcceleratingTorqueRatio, 2) + " T/Tn"});
        lines.push_back({"Rotor Energy", "Énergie dans le rotor", FormatFixed(*o.RotorEnergy, 0) + " J"});
        lines.push_back({"Stator Energy", "Énergie dans le stator", FormatFixed(*o.StatorEnergy, 0) + " J"});
    }
    lines.push_back(
        {"Lowest Motor Voltage", "Tension minimale du moteur", FormatFixed(o.MinMotorVoltage, 2) + " %"});
    if (settings.Network.Enabled) {
        std::string dip = FormatFixed(o.MaxVoltageDip, 2) + " %";
        if (o.VoltageDipExceeded)
            dip += en ? " ABOVE THE LIMIT OF " + FormatFixed(settings.DipLimit, 2) + " %"
                      : " AU-DESSUS DE LA LIMITE DE " + FormatFixed(settings.DipLimit, 2) + " %";
        lines.push_back(
            {"Largest Voltage Dip at the Busbar", "Creux de tension maximal au jeu de barres", dip});
    }
    return lines;
}

} // namespace

std::string DynamicPanelText(const DynamicSettings& settings, const DynamicResults& r, Language lang) {
    std::ostringstream out;
    const bool en = lang == Language::English;
    out << "\n" << (en ? "Dynamic Start" : "Démarrage dynamique") << "\n";
    std::vector<Line> common = {
        {"Motor Inertia", "Inertie du moteur",
         Significant(r.MotorInertia, 4) + " kg m2" +
             (r.TypicalInertia ? (en ? " (typical value)" : " (valeur typique)") : "")},
        {"Load Inertia", "Inertie de la charge", Significant(settings.Mechanical.LoadInertia, 4) + " kg m2"},
        {"Start-Time Limit", "Limite du temps de démarrage",
         FormatFixed(settings.Mechanical.StartTimeLimit, 2) + " s"},
        {"Operating Speed", "Vitesse de fonctionnement",
         r.Dol.OperatingSpeed ? FormatFixed(*r.Dol.OperatingSpeed, 1) + " rpm" : (en ? "none" : "aucune")},
    };
    PrintLines(out, common, en, "  ");
    out << "  " << (en ? "Direct-On-Line" : "Démarrage direct") << "\n";
    PrintLines(out, StartLines(r.Dol, settings, en), en, "    ");
    out << "  " << (en ? "With Soft-Starter" : "Avec Soft-Starter") << "\n";
    PrintLines(out, StartLines(r.SoftStarter, settings, en), en, "    ");
    return out.str();
}
