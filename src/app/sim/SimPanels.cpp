#include "SimPanels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <tuple>
#include <vector>

#include "DatasheetMotor.h"
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
    // Only a motor with a second cage or a data sheet says more, so that the others print as ever.
    if (HasDatasheet(ds)) {
        out << "  " << (en ? "Data Sheet" : "Catalogue constructeur") << " : Ia/In " << FormatFixed(ds.LockedRotorCurrentRatio, 2)
            << ", Ta/Tn " << FormatFixed(ds.LockedRotorTorqueRatio, 2) << ", Tk/Tn "
            << FormatFixed(ds.BreakdownTorqueRatio, 2) << "\n";
        out << "  " << (en ? "Circuit" : "Schéma") << " : " << FitSummary(ds, lang) << "\n";
    } else if (HasSecondCage(ds)) {
        out << "  " << (en ? "Circuit" : "Schéma") << " : " << CircuitKind(ds, lang) << "\n";
    }
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

// The largest current of a start that does not run up, over the start-time limit.
std::string StalledPeak(const StartOutcome& o, const char* unit) {
    return FormatFixed(o.StalledPeakLineCurrent.value_or(0), 1) + " A (" +
           FormatFixed(o.StalledPeakCurrentRatio.value_or(0), 2) + " " + unit + ")";
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
        // Its curves run to the start-time limit.
        const std::string limit = Significant(settings.Mechanical.StartTimeLimit, 6);
        lines.push_back({"Peak Current", "Courant de crête",
                         StalledPeak(o, "I/In") + (en ? " over the " + limit + " s shown"
                                                      : " sur les " + limit + " s affichées")});
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

std::string Verdict(bool pass, bool en) {
    return pass ? (en ? "PASS" : "CONFORME") : (en ? "FAIL" : "NON CONFORME");
}

// One start against the relay, cold and hot: its verdict, trip level, when it trips, its TCU.
Line RelayLine(const StartProtection& p, bool en) {
    std::string value;
    for (const auto& [english, french, s] : {std::tuple{"cold ", "à froid ", &p.Cold}, std::tuple{"hot ", "à chaud ", &p.Hot}}) {
        if (!value.empty()) value += ", ";
        value += std::string(en ? english : french) + Verdict(s->PassesStart, en) + " (" +
                 (en ? "trip level " : "niveau de déclenchement ") + FormatFixed(s->TripLevel, 1) + " %";
        if (s->EarliestTripTime)
            value += (en ? ", trips at " : ", déclenche à ") + FormatFixed(*s->EarliestTripTime, 2) + " s";
        if (s->Tcu) value += ", TCU " + FormatFixed(*s->Tcu, 1) + " %";
        value += ")";
    }
    return {"Overload Relay", "Relais de surcharge", value};
}

// The relay's figures, the locked-rotor checks and the starts in succession.
void PrintProtection(std::ostringstream& out, const ProtectionResults& p, bool network, bool en) {
    out << "  " << (en ? "Overload Relay, Class " : "Relais de surcharge, classe ") << TripClassKey(p.Class) << "\n";
    const double in = p.RelaySetting * std::sqrt(p.HotStart); // the motor's rated current
    std::vector<Line> lines = {
        {"Relay Setting Ir", "Réglage du relais Ir",
         FormatFixed(p.RelaySetting, 2) + " A (" + FormatFixed(p.RelaySetting / in, 2) + " In)"},
        {"Time Constant", "Constante de temps",
         FormatFixed(p.TauEarliest, 2) + (en ? " s earliest relay, " : " s relais le plus rapide, ") +
             FormatFixed(p.TauLatest, 2) + (en ? " s latest relay" : " s relais le plus lent")},
        {"Locked-Rotor Current", "Courant rotor bloqué",
         FormatFixed(p.LockedRotorCurrent, 1) + " A (" + FormatFixed(p.LockedRotorCurrent / in, 2) + " In)" +
             (network ? ", " + FormatFixed(p.LockedRotorCurrentNetwork, 1) +
                            (en ? " A through the supply network" : " A à travers le réseau d'alimentation")
                      : "")},
    };
    if (!p.LockedRotorCold || !p.LockedRotorHot) {
        lines.push_back({"Locked Rotor", "Rotor bloqué",
                         en ? "no withstand times given: only the relay is judged"
                            : "aucun temps de blocage admissible donné, seul le relais est jugé"});
        PrintLines(out, lines, en, "    ");
        return;
    }
    for (const auto& [english, french, check] : {std::tuple{"Locked Rotor, Cold", "Rotor bloqué, à froid", &*p.LockedRotorCold},
                                                 std::tuple{"Locked Rotor, Hot", "Rotor bloqué, à chaud", &*p.LockedRotorHot}}) {
        std::string value = check->LatestTripTime
                                ? (en ? "latest relay trips after " : "le relais le plus lent déclenche après ") +
                                      FormatFixed(*check->LatestTripTime, 2) + " s"
                                : std::string(en ? "latest relay never trips" : "le relais le plus lent ne déclenche pas");
        value += (en ? ", motor permits " : ", le moteur admet ") + FormatFixed(check->PermittedTime, 2) + " s: " +
                 (check->Protects ? (en ? "PROTECTS" : "PROTÈGE") : (en ? "DOES NOT PROTECT" : "NE PROTÈGE PAS"));
        if (check->Margin) value += (en ? ", margin " : ", marge ") + FormatFixed(*check->Margin * 100, 1) + " %";
        lines.push_back({english, french, value});
    }
    auto starts = [&](const StartProtection& s) {
        if (!s.StartsInSuccession) return std::string("--");
        return *s.StartsInSuccession >= MaxStartsShown ? std::to_string(MaxStartsShown) + (en ? " or more" : " ou plus")
                                                       : std::to_string(*s.StartsInSuccession);
    };
    lines.push_back({"Starts in Succession from Cold", "Démarrages successifs à froid",
                     starts(p.Dol) + (en ? " direct-on-line, " : " en direct, ") + starts(p.SoftStarter) +
                         (en ? " with soft-starter" : " avec Soft-Starter")});
    PrintLines(out, lines, en, "    ");
}

// Which starts do not reach the operating speed, as a mark after it.
std::string NotReached(const DynamicResults& r, bool en) {
    if (r.Dol.Stalled && r.SoftStarter.Stalled) return en ? " (not reached)" : " (non atteinte)";
    if (r.Dol.Stalled) return en ? " (not reached direct-on-line)" : " (non atteinte en démarrage direct)";
    if (r.SoftStarter.Stalled)
        return en ? " (not reached with soft-starter)" : " (non atteinte avec Soft-Starter)";
    return "";
}

} // namespace

std::string DynamicPanelText(const DynamicSettings& settings, const DynamicResults& r, Language lang,
                             const MotorDataSet* ds, const ToleranceCorners* corners) {
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
         r.Dol.OperatingSpeed ? FormatFixed(*r.Dol.OperatingSpeed, 1) + " rpm" + NotReached(r, en)
                              : (en ? "none" : "aucune")},
    };
    // A dip computed for a fitted motor depends on the priority it was fitted with.
    if (ds && HasDatasheet(*ds) && settings.Network.Enabled)
        common.push_back({"Data-Sheet Fit", "Ajustement au catalogue", FitPriorityNote(ds->Priority, lang)});
    PrintLines(out, common, en, "  ");
    out << "  " << (en ? "Direct-On-Line" : "Démarrage direct") << "\n";
    std::vector<Line> dol = StartLines(r.Dol, settings, en), soft = StartLines(r.SoftStarter, settings, en);
    if (r.Protection) {
        dol.push_back(RelayLine(r.Protection->Dol, en));
        soft.push_back(RelayLine(r.Protection->SoftStarter, en));
    }
    if (corners) {
        dol.push_back({"Tolerance Corners", "Coins de tolérance", CornerRange(*corners, false, lang)});
        soft.push_back({"Tolerance Corners", "Coins de tolérance", CornerRange(*corners, true, lang)});
    }
    PrintLines(out, dol, en, "    ");
    out << "  " << (en ? "With Soft-Starter" : "Avec Soft-Starter") << "\n";
    PrintLines(out, soft, en, "    ");
    if (r.Protection) PrintProtection(out, *r.Protection, settings.Network.Enabled, en);
    return out.str();
}

namespace {

// limit: Imax/In of the start with current limit, which its name shows.
std::string MethodName(StartingMethod m, double limit, bool en) {
    switch (m) {
    case StartingMethod::Dol:
        return en ? "Direct-on-line" : "Direct";
    case StartingMethod::StarDelta:
        return en ? "Star-delta" : "Étoile-triangle";
    case StartingMethod::Autotransformer:
        return en ? "Autotransformer" : "Autotransformateur";
    case StartingMethod::Reactor:
        return en ? "Primary reactor" : "Inductances statoriques";
    case StartingMethod::SoftRamp:
        return en ? "Soft-starter, ramp" : "Soft-Starter, rampe";
    case StartingMethod::SoftLimit:
        return (en ? "Soft-starter, current limit " : "Soft-Starter, limite de courant ") +
               FormatFixed(limit, 1) + " In";
    }
    return "";
}

// Width in characters (UTF-8 continuation bytes take no column).
std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (unsigned char c : text)
        columns += (c & 0xC0) != 0x80;
    return columns;
}

// Pads to a width in characters.
std::string Padded(const std::string& text, std::size_t width) {
    const std::size_t columns = Columns(text);
    return columns >= width ? text + " " : text + std::string(width - columns, ' ');
}

std::string Percent(double fraction) {
    return FormatFixed(fraction * 100, 1) + " %";
}

} // namespace

std::string ComparisonPanelText(const DynamicSettings& settings, const ComparisonResults& c, Language lang) {
    std::ostringstream out;
    const bool en = lang == Language::English;
    const bool network = settings.Network.Enabled;
    out << "\n" << (en ? "Starting Methods" : "Modes de démarrage") << "\n";
    // The names fill their column, the longest followed by a space.
    std::size_t nameWidth = 36;
    for (const MethodOutcome& m : c.Methods)
        nameWidth = std::max(nameWidth, Columns(MethodName(m.Method, c.CurrentLimit, en)) + 1);
    const bool relay = c.Protection.has_value();
    std::vector<std::size_t> widths = {nameWidth, 10, 20, 11, 13, 14};
    std::vector<std::string> headings =
        en ? std::vector<std::string>{"Method", "Run-Up", "Peak Current", "Start T/Tn", "Min Acc T/Tn", "Rotor Energy"}
           : std::vector<std::string>{"Mode", "Démarrage", "Courant de crête", "Tdém/Tn", "Tacc min/Tn", "Énergie rotor"};
    if (network) {
        widths.push_back(relay ? 9 : 0);
        headings.push_back(en ? "Dip" : "Creux");
    }
    // The relay's verdict on the cold start with its trip level, and the thermal capacity it uses.
    if (relay) {
        widths.insert(widths.end(), {21, 0});
        headings.insert(headings.end(), {en ? "Relay" : "Relais", "TCU"});
    }
    // Each cell fills its column; a cell given as empty-named span ("\x01") merges into the one before.
    auto print = [&](const std::vector<std::string>& cells) {
        std::string line = " ";
        std::size_t k = 0;
        while (k < cells.size()) {
            std::size_t width = widths[k];
            const std::string& text = cells[k++];
            while (k < cells.size() && cells[k] == "\x01")
                width += 1 + widths[k++];
            line += " " + Padded(text, width);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << "\n";
    };
    print(headings);
    for (const MethodOutcome& m : c.Methods) {
        const StartOutcome& o = m.Outcome;
        const std::string name = MethodName(m.Method, c.CurrentLimit, en);
        if (!m.Applicable) {
            print({name, en ? "not applicable: the motor runs in star"
                            : "sans objet : le moteur tourne en étoile"});
            continue;
        }
        std::vector<std::string> cells;
        if (o.Stalled) {
            // The stall and its speed span the run-up and current columns; the starting torque stands.
            const std::string speed = FormatFixed(o.StallSpeed.value_or(0), 1) + " rpm";
            cells = {name,
                     o.TooLong ? (en ? "TOO LONG at " : "TROP LONG à ") + speed
                               : (en ? "STALLED at " : "BLOQUÉ à ") + speed,
                     "\x01",
                     FormatFixed(o.StartingTorqueRatio, 2),
                     "",
                     ""};
        } else {
            cells = {name,
                     FormatFixed(*o.RunUpTime, 3) + " s",
                     FormatFixed(*o.PeakLineCurrent, 1) + " A (" + FormatFixed(*o.PeakCurrentRatio, 2) +
                         " In)",
                     FormatFixed(o.StartingTorqueRatio, 2),
                     FormatFixed(*o.MinAcceleratingTorqueRatio, 2),
                     FormatFixed(*o.RotorEnergy, 0) + " J"};
        }
        if (network) cells.push_back(Percent(o.MaxVoltageDip / 100));
        if (relay && m.Protection) {
            const RelayStart& cold = m.Protection->Cold;
            cells.push_back(Verdict(cold.PassesStart, en) + " " + FormatFixed(cold.TripLevel, 1) + " %");
            cells.push_back(cold.Tcu ? FormatFixed(*cold.Tcu, 1) + " %" : "--");
        }
        print(cells);
        // Under its current column, the largest current of a stalled start and the interval it is taken over.
        if (o.Stalled) {
            const std::string limit = Significant(settings.Mechanical.StartTimeLimit, 6);
            print({"", "",
                   StalledPeak(o, "In") +
                       (en ? ", peak over the start-time limit of " + limit + " s"
                           : ", crête sur la limite du temps de démarrage de " + limit + " s")});
        }
    }
    out << (en ? "  At the changeover the current and torque jump to the new connection's steady state; the\n"
                 "  transients of an open transition are not modelled.\n"
               : "  À la commutation, le courant et le couple passent au régime établi du nouveau couplage ; "
                 "les\n"
                 "  transitoires d'une commutation ouverte ne sont pas modélisés.\n");

    if (c.Duty && settings.Starter) {
        const StarterDutyResult& d = *c.Duty;
        const StarterDuty& s = *settings.Starter;
        out << "\n"
            << (en ? "Starter Duty Check" : "Vérification du service du démarreur") << " (Ie "
            << FormatFixed(s.RatedCurrent, 1) << " A, " << s.RatingCode << ", "
            << FormatFixed(s.StartsPerHour, 1) << (en ? " starts/h" : " démarrages/h")
            << ") : " << (d.Pass ? (en ? "PASS" : "CONFORME") : (en ? "FAIL" : "NON CONFORME")) << "\n";
        auto verdict = [&](bool pass) { return pass ? std::string("ok") : std::string(en ? "FAIL" : "NON"); };
        if (d.RmsCurrent) {
            out << "  " << (en ? "RMS start current" : "Courant de démarrage efficace") << " : "
                << FormatFixed(*d.RmsCurrent, 1) << " A, " << (en ? "margin " : "marge ")
                << Percent(*d.CurrentMargin) << " " << verdict(d.CurrentPass) << "\n";
            out << "  " << (en ? "Run-up time" : "Temps de démarrage") << " : "
                << FormatFixed(*d.RunUpTime, 3) << " s, " << (en ? "margin " : "marge ")
                << Percent(*d.TimeMargin) << " " << verdict(d.TimePass) << "\n";
        } else {
            out << "  "
                << (en ? "The soft-starter start does not run up: current and time fail"
                       : "Le démarrage par soft-starter n'aboutit pas : courant et temps non conformes")
                << "\n";
        }
        out << "  " << (en ? "Starts per hour" : "Démarrages par heure") << " : "
            << (en ? "margin " : "marge ") << Percent(d.StartsMargin) << " " << verdict(d.StartsPass) << "\n";
        out << "  " << (en ? "Rated current within Ie" : "Courant nominal dans Ie") << " : "
            << (en ? "margin " : "marge ") << Percent(d.RatedCurrentMargin) << " "
            << verdict(d.RatedCurrentPass) << "\n";
        out << "  " << (en ? "Smallest passing Ie" : "Plus petit Ie conforme") << " : "
            << (d.SmallestIe ? FormatFixed(*d.SmallestIe, 1) + " A" : std::string(en ? "none" : "aucun"))
            << "\n";
        out << (en ? "  The on-load factor F of the rating is not judged.\n"
                   : "  Le facteur de marche F de la classe n'est pas jugé.\n");
    }
    return out.str();
}
