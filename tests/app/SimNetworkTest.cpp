// tarvello-sim --dynamic through a supply network: the options as the network's settings, the
// voltage dip and lowest motor voltage in the JSON and panels, the dip limit, the busbar columns
// of the dynamic curve file, and the refusals of network data.
#include <cmath>

#include "CurveFile.h"
#include "SimResultsSupport.h"

namespace {
// The case of the dynamic start's README: a 10 MVA source (R/X 0.1) and a 25 kVA transformer
// (u_k 4 %, u_R 2 %), no cable, the fan load with the rated torque at synchronous speed.
std::vector<std::string> WeakTransformer(std::vector<std::string> extra = {}) {
    std::vector<std::string> a = FourKilowatt({"--current-limit", "3", "--dynamic", "--motor-inertia", "0.12",
                                               "--supply-power", "10e6", "--transformer-power", "25e3",
                                               "--transformer-uk", "4", "--transformer-ur", "2"});
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

DynamicSettings WeakTransformerSettings() {
    DynamicSettings s;
    s.Mechanical.MotorInertia = 0.12;
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = 10e6;
    s.Network.HasTransformer = true;
    s.Network.TransformerPower = 25e3;
    s.Network.TransformerUk = 4;
    s.Network.TransformerUr = 2;
    return s;
}
} // namespace

TEST(SimNetwork, DipAndMotorVoltageAreTheLibrarysAndTheHandWorkedCase) {
    const SimResult r = Sim(WeakTransformer({"--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const OrderedJson j = OrderedJson::parse(r.out);
    const MotorDataSet ds = ComputedFourKilowatt(0);
    DynamicResults expected;
    ASSERT_EQ(ComputeDynamicStart(ds, WeakTransformerSettings(), expected, 0), 0);
    ExpectStart(j["Dynamic"]["Dol"], expected.Dol, "Dol");
    ExpectStart(j["Dynamic"]["SoftStarter"], expected.SoftStarter, "SoftStarter");
    // At standstill direct-on-line the motor sees |Z_Y / (Z_Y + Z_net)| = 92.593 % of its voltage.
    EXPECT_NEAR(j["Dynamic"]["Dol"]["MaxVoltageDip"].get<double>(), 7.4071, 1e-4);
    EXPECT_NEAR(j["Dynamic"]["Dol"]["MinMotorVoltage"].get<double>(), 92.593, 1e-3);
    EXPECT_NEAR(j["Dynamic"]["Dol"]["PeakCurrentRatio"].get<double>() * 8.5, 76.749, 1e-3);
    EXPECT_EQ(j["Dynamic"]["Dol"]["VoltageDipExceeded"], false); // the default limit is 10 %

    // A limit below the direct-on-line dip flags that start only.
    const OrderedJson limited = OrderedJson::parse(Sim(WeakTransformer({"--dip-limit", "5", "--json"})).out);
    EXPECT_EQ(limited["Dynamic"]["Dol"]["VoltageDipExceeded"], true);
    EXPECT_EQ(limited["Dynamic"]["SoftStarter"]["VoltageDipExceeded"], false);
    EXPECT_LT(limited["Dynamic"]["SoftStarter"]["MaxVoltageDip"].get<double>(), 5);

    // Without a network there is no dip and nothing is flagged, whatever the limit.
    const OrderedJson stiff =
        OrderedJson::parse(Sim(FourKilowatt({"--current-limit", "3", "--dynamic", "--motor-inertia", "0.12",
                                             "--dip-limit", "1e-9", "--json"}))
                               .out);
    for (const char* which : {"Dol", "SoftStarter"}) {
        EXPECT_EQ(stiff["Dynamic"][which]["MaxVoltageDip"].get<double>(), 0.0);
        EXPECT_EQ(stiff["Dynamic"][which]["VoltageDipExceeded"], false);
    }
    EXPECT_EQ(stiff["Dynamic"]["Dol"]["MinMotorVoltage"].get<double>(), 100.0);
}

TEST(SimNetwork, EveryNetworkOptionReachesTheSettings) {
    // Source voltage, R/X, transformer, an aluminium cable in two runs with its own reactance, a
    // delta motor.
    const std::vector<std::string> options = {
        "--supply-power",      "20e6",  "--supply-rx",       "0.2", "--supply-voltage", "410",
        "--transformer-power", "160e3", "--transformer-uk",  "4.5", "--transformer-ur", "1.5",
        "--cable-length",      "120",   "--cable-section",   "2.5", "--cable-material", "aluminium",
        "--cable-parallel",    "2",     "--cable-reactance", "0.1"};
    std::vector<std::string> args =
        FourKilowatt({"--delta", "--current-limit", "3", "--dynamic", "--motor-inertia", "0.05", "--json"});
    args.insert(args.end(), options.begin(), options.end());
    const SimResult r = Sim(args);
    ASSERT_EQ(r.status, 0) << r.err;
    DynamicSettings s;
    s.Mechanical.MotorInertia = 0.05;
    SupplyNetwork& n = s.Network;
    n.Enabled = true;
    n.ShortCircuitPower = 20e6;
    n.SourceRX = 0.2;
    n.SourceVoltage = 410;
    n.HasTransformer = true;
    n.TransformerPower = 160e3;
    n.TransformerUk = 4.5;
    n.TransformerUr = 1.5;
    n.HasCable = true;
    n.CableLength = 120;
    n.CableSection = 2.5;
    n.Material = CableMaterial::Aluminium;
    n.CableParallel = 2;
    n.CableReactance = 0.1;
    DynamicResults expected;
    ASSERT_EQ(ComputeDynamicStart(ComputedFourKilowatt(0, false), s, expected, 0), 0);
    const OrderedJson j = OrderedJson::parse(r.out);
    ExpectStart(j["Dynamic"]["Dol"], expected.Dol, "Dol");
    ExpectStart(j["Dynamic"]["SoftStarter"], expected.SoftStarter, "SoftStarter");
    // Copper, the default, conducts better: more voltage at the motor.
    args[args.size() - 5] = "copper";
    const OrderedJson copper = OrderedJson::parse(Sim(args).out);
    n.Material = CableMaterial::Copper;
    ASSERT_EQ(ComputeDynamicStart(ComputedFourKilowatt(0, false), s, expected, 0), 0);
    ExpectStart(copper["Dynamic"]["Dol"], expected.Dol, "Dol copper");
    EXPECT_GT(copper["Dynamic"]["Dol"]["MinMotorVoltage"].get<double>(),
              j["Dynamic"]["Dol"]["MinMotorVoltage"].get<double>());
}

TEST(SimNetwork, CurveFileGainsTheBusbarColumns) {
    const SimResult r =
        Sim(WeakTransformer({"--cable-length", "50", "--cable-section", "4", "--dynamic-curves", "-"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = CrLfLines(r.out);
    ASSERT_EQ(lines.size(), 202u);
    EXPECT_EQ(lines[0],
              "t [s];n/ns DOL;I/In DOL;T/Tn DOL;TL/Tn DOL;U/Un DOL;n/ns SS;I/In SS;T/Tn SS;TL/Tn SS;U/Un "
              "SS;Ubus/Un DOL;Ubus/Un SS");
    DynamicSettings s = WeakTransformerSettings();
    s.Network.HasCable = true;
    s.Network.CableLength = 50;
    s.Network.CableSection = 4;
    DynamicResults expected;
    ASSERT_EQ(ComputeDynamicStart(ComputedFourKilowatt(0), s, expected, 201), 0);
    for (std::size_t k = 0; k < 201; ++k) {
        const std::vector<std::string> cells = SplitCells(lines[k + 1]);
        ASSERT_EQ(cells.size(), 13u);
        EXPECT_EQ(cells[5], FormatCurveNumber(expected.DolCurves.Voltage[k]));
        EXPECT_EQ(cells[11], FormatCurveNumber(expected.DolCurves.BusVoltage[k]));
        EXPECT_EQ(cells[12], FormatCurveNumber(expected.SoftStarterCurves.BusVoltage[k]));
        // The busbar lies before the cable: its voltage is above the motor's.
        EXPECT_GT(expected.DolCurves.BusVoltage[k], expected.DolCurves.Voltage[k]);
    }
    // A dip limit alone puts no network in place: no busbar columns.
    const SimResult stiff = Sim(
        FourKilowatt({"--dynamic", "--motor-inertia", "0.1", "--dip-limit", "3", "--dynamic-curves", "-"}));
    EXPECT_EQ(SplitCells(CrLfLines(stiff.out)[0]).size(), 11u);
}

TEST(SimNetwork, PanelsShowTheDipAndFlagItAboveTheLimit) {
    const SimResult en = Sim(WeakTransformer({"--dip-limit", "5"}));
    ASSERT_EQ(en.status, 0) << en.err;
    EXPECT_NE(en.out.find("    Lowest Motor Voltage : 92.59 %\n"), std::string::npos) << en.out;
    EXPECT_NE(en.out.find("    Largest Voltage Dip at the Busbar : 7.41 % ABOVE THE LIMIT OF 5.00 %\n"),
              std::string::npos);
    const SimResult fr = Sim(WeakTransformer({"--dip-limit", "5", "--lang", "fr"}));
    EXPECT_NE(
        fr.out.find(
            "    Creux de tension maximal au jeu de barres : 7.41 % AU-DESSUS DE LA LIMITE DE 5.00 %\n"),
        std::string::npos)
        << fr.out;
    // Without a network no dip is shown.
    const SimResult stiff = Sim(FourKilowatt({"--dynamic", "--motor-inertia", "0.1"}));
    EXPECT_EQ(stiff.out.find("Voltage Dip"), std::string::npos);
}

TEST(SimNetwork, BadNetworkDataAreRefusedWithTheirNumber) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--supply-power", "0"},
         "error 228: The value of \"Short-Circuit Power\" must lie between 1\u00a0kVA and 100\u00a0GVA!\n"},
        {{"--supply-power", "1e6", "--supply-rx", "-0.1"},
         "error 228: The value of \"Source R/X\" must lie between 0 and 10!\n"},
        {{"--supply-voltage", "-400"},
         "error 228: The value of \"Source Voltage\" must lie between 10 and 100\u00a0000\u00a0V!\n"},
        {{"--transformer-power", "100e3", "--transformer-uk", "4", "--transformer-ur", "5"},
         "error 123: The transformer's resistive voltage u_R must not exceed its short-circuit voltage "
         "u_k!\n"},
        {{"--transformer-power", "100e3"},
         "error 228: The value of \"Transformer u_k\" must lie between 1 and 30\u00a0%!\n"},
        {{"--cable-length", "10", "--cable-section", "0"},
         "error 228: The value of \"Cable Cross-Section\" must lie between 0.5 and 2500\u00a0mm²!\n"},
        {{"--cable-length", "100001", "--cable-section", "4"},
         "error 228: The value of \"Cable Length\" must lie between 0 and 100\u00a0000\u00a0m!\n"},
        {{"--cable-length", "10", "--cable-section", "4", "--cable-parallel", "1.5"},
         "error 124: The value of \"Parallel Cable Runs\" must be a whole number between 1 and 20!\n"},
        {{"--cable-length", "10", "--cable-section", "4", "--cable-parallel", "0"},
         "error 124: The value of \"Parallel Cable Runs\" must be a whole number between 1 and 20!\n"},
        {{"--dip-limit", "150"},
         "error 125: The value of \"Busbar Voltage Dip Limit\" must be above 0 and at most 100\u00a0%!\n"},
        {{"--dip-limit", "0", "--lang", "fr"},
         "error 125: La valeur de «\u00a0Limite du creux de tension au jeu de barres\u00a0» doit être "
         "supérieure "
         "à 0 et inférieure ou égale à 100\u00a0%\u00a0!\n"},
        {{"--supply-power", "ten"}, "error 127: The value \"ten\" of --supply-power is not a number!\n"},
        {{"--cable-section", "4", "--cable-parallel", "two"},
         "error 127: The value \"two\" of --cable-parallel is not a number!\n"},
        {{"--dip-limit", "x", "--lang", "fr"},
         "error 127: La valeur «\u00A0x\u00A0» de --dip-limit n'est pas un nombre\u00A0!\n"},
        {{"--supply-voltage", "1e200"},
         "error 228: The value of \"Source Voltage\" must lie between 10 and 100\u00a0000\u00a0V!\n"},
    };
    for (const auto& [extra, text] : cases) {
        std::vector<std::string> args = FourKilowatt({"--dynamic", "--motor-inertia", "0.1", "--json"});
        args.insert(args.end(), extra.begin(), extra.end());
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 1) << text;
        EXPECT_EQ(r.err, text);
        EXPECT_TRUE(r.out.empty());
    }
    // Options of the network need the dynamic start; a material is one of two words.
    for (const auto& args : {FourKilowatt({"--supply-power", "1e6"}), FourKilowatt({"--dip-limit", "5"}),
                             FourKilowatt({"--dynamic", "--cable-material", "steel"})}) {
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("tarvello-sim [OPTIONS]"), std::string::npos);
    }
    EXPECT_EQ(Sim(FourKilowatt({"--dynamic", "--cable-material", "steel"}))
                  .err.rfind("tarvello-sim: --cable-material takes copper or aluminium\n", 0),
              0u);
    const SimResult help = Sim({"--help"});
    for (const char* option : {"--supply-power VA", "--supply-rx R/X", "--supply-voltage V",
                               "--transformer-power VA", "--transformer-uk PCT", "--transformer-ur PCT",
                               "--cable-length M", "--cable-section MM2", "--cable-material copper|aluminium",
                               "--cable-parallel N", "--cable-reactance OHM_PER_KM", "--dip-limit PCT"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}
