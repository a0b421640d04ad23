#include "SimPanels.h"

#include <sstream>

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
