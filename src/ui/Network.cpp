#include "Network.h"

#include "Aff_Err.h"
#include "DynamicTexts.h"
#include "Dynamics.h"
#include "Forms.h"
#include "Main.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The dialog shows the short-circuit power in MVA and the transformer's in kVA; the data set
// holds VA.
constexpr double Mega = 1e6;
constexpr double Kilo = 1e3;

const QColor InUse(0, 0, 0);
const QColor NotInUse(175, 175, 175);

// A field's number, or `fallback` when it holds none (or one beyond the doubles once in VA): the
// value stays as stored, so that a part out of use never keeps a value that is not finite.
double Kept(const QLineEdit* edit, double fallback, double scale = 1)
{
    const std::optional<double> v = TryReadField(edit);
    return v && std::isfinite(*v * scale) ? *v * scale : fallback;
}

} // namespace

// ---- The single-line diagram --------------------------------------------------------------------

TNetworkDiagram::TNetworkDiagram(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Diagram"));
    setMinimumSize(280, 400);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void TNetworkDiagram::SetState(const State& state)
{
    state_ = state;
    update();
}

void TNetworkDiagram::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width(), h = height();
    p.setPen(QPen(QColor(90, 100, 120), 1));
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));

    const QFont text = SansFont(11);
    const QFont bold = SansFont(11, true);
    const double x = 52;          // the line
    const double labelX = x + 40; // the texts beside it
    const double unit = h / 100;  // vertical positions in hundredths of the height
    const double ySource = 10 * unit, yTransformer = 27 * unit, yBus = 44 * unit, yCable = 60 * unit,
                 yStarter = 75 * unit, yMotor = 90 * unit;
    const double r = std::min(15.0, 6 * unit);

    auto pen = [&p](const QColor& c, double width = 1.5, Qt::PenStyle style = Qt::SolidLine) {
        p.setPen(QPen(c, width, style));
    };
    auto label = [&](double y, const QString& title, const QString& detail, const QColor& c) {
        p.setPen(c);
        p.setFont(bold);
        p.drawText(QPointF(labelX, y - 2), title);
        if (!detail.isEmpty()) {
            p.setFont(text);
            p.drawText(QRectF(labelX, y + 1, w - labelX - 6, 3 * QFontMetrics(text).height()),
                       Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, detail);
        }
    };

    const bool net = state_.network;
    const QColor transformerColour = net && state_.transformer ? InUse : NotInUse;
    const QColor cableColour = net && state_.cable ? InUse : NotInUse;

    // The line from the source to the motor, in black: what is not in use is bypassed.
    pen(InUse);
    p.drawLine(QPointF(x, ySource + r), QPointF(x, yMotor - r));

    // Source: a circle with a sine, or for a stiff supply the same drawn as an infinite bus.
    p.setBrush(Qt::white);
    pen(InUse);
    p.drawEllipse(QPointF(x, ySource), r, r);
    QPainterPath sine;
    for (int i = 0; i <= 20; ++i) {
        const double u = i / 20.0;
        const QPointF pt(x - 0.6 * r + 1.2 * r * u, ySource - 0.35 * r * std::sin(2 * M_PI * u));
        if (i == 0)
            sine.moveTo(pt);
        else
            sine.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(sine);
    label(ySource, net ? Pick("Source", "Source") : Pick("Stiff supply", "Réseau rigide"), state_.source,
          InUse);

    // Transformer: two overlapping circles.
    const double tr = 0.75 * r;
    pen(transformerColour, 1.5, net && state_.transformer ? Qt::SolidLine : Qt::DashLine);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(x, yTransformer - 0.55 * tr), tr, tr);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(x, yTransformer + 0.55 * tr), tr, tr);
    label(yTransformer, Pick("Transformer", "Transformateur"),
          net && state_.transformer ? state_.transformerText : Pick("not in use", "non utilisé"),
          transformerColour);

    // Busbar, where other consumers are connected: the point whose voltage dip is judged.
    pen(InUse, 4);
    p.drawLine(QPointF(x - 34, yBus), QPointF(x + 26, yBus));
    pen(InUse, 1.2);
    p.drawLine(QPointF(x - 22, yBus), QPointF(x - 22, yBus + 14));
    p.drawLine(QPointF(x - 26, yBus + 9), QPointF(x - 22, yBus + 14));
    p.drawLine(QPointF(x - 18, yBus + 9), QPointF(x - 22, yBus + 14));
    label(yBus, Pick("Busbar", "Jeu de barres"),
          net ? Pick("other consumers; its voltage dip is judged",
                     "autres consommateurs ; son creux de tension "
                     "est jugé")
              : Pick("no voltage dip", "pas de creux de tension"),
          InUse);

    // Cable: a line drawn thick with two strokes across it.
    pen(cableColour, 3, net && state_.cable ? Qt::SolidLine : Qt::DashLine);
    p.drawLine(QPointF(x, yCable - 3 * unit), QPointF(x, yCable + 3 * unit));
    pen(cableColour, 1.5);
    p.drawLine(QPointF(x - 7, yCable - 1.5), QPointF(x + 7, yCable - 5.5));
    p.drawLine(QPointF(x - 7, yCable + 4.5), QPointF(x + 7, yCable + 0.5));
    label(yCable, Pick("Cable", "Câble"),
          net && state_.cable ? state_.cableText : Pick("not in use", "non utilisé"), cableColour);

    // Starter: a box holding both starts' switching, direct-on-line or soft-starter.
    pen(InUse);
    p.setBrush(QColor(230, 236, 245));
    const double sh = std::min(26.0, 9 * unit);
    p.drawRect(QRectF(x - 16, yStarter - sh / 2, 32, sh));
    p.setBrush(Qt::NoBrush);
    pen(QColor(200, 0, 0), 1.5);
    p.drawLine(QPointF(x - 11, yStarter + sh / 2 - 5), QPointF(x + 2, yStarter - sh / 2 + 6));
    p.drawLine(QPointF(x + 2, yStarter - sh / 2 + 6), QPointF(x + 11, yStarter - sh / 2 + 6));
    label(yStarter, Pick("Starter", "Démarreur"),
          Pick("direct-on-line or soft-starter", "direct ou soft-starter"), InUse);

    // Motor.
    pen(InUse);
    p.setBrush(QColor(200, 205, 215));
    p.drawEllipse(QPointF(x, yMotor), r, r);
    p.setFont(SansFont(std::max(9, int(r * 0.8)), true));
    p.drawText(QRectF(x - r, yMotor - r, 2 * r, 2 * r), Qt::AlignCenter, QStringLiteral("M"));
    label(yMotor, Pick("Motor", "Moteur"), state_.motorText, InUse);
}

// ---- The dialog -----------------------------------------------------------------------------------

TNetworkForm::TNetworkForm()
{
    setObjectName(QStringLiteral("NetworkForm"));
    setWindowTitle(QStringLiteral("Supply Network"));
    const QFont f = SansFont(11);
    setFont(f);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 10, 14, 14);
    AddHeading(this, outer, Title, QStringLiteral("Supply Network"), Image1, "Image1");

    StiffSupply =
        MakeCheck(this, "StiffSupply", QStringLiteral("Stiff supply"), 0, 0, 400, 17, SansFont(13, true));
    outer->addWidget(StiffSupply);

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto row = [&f](QGridLayout* grid, int r, QWidget* parent, QLabel*& label, const char* labelName,
                    const char* caption, QLineEdit*& edit, const char* editName, const char* unit) {
        label = MakeLabel(parent, labelName, QString::fromUtf8(caption), 0, 0, f);
        edit = MakeEdit(parent, editName, 0, 0, 80, f);
        edit->setFixedWidth(80);
        QLabel* u = MakeLabel(parent, "", QString::fromUtf8(unit), 0, 0, f);
        u->setObjectName(QString::fromLatin1(editName) + QStringLiteral("Unit"));
        grid->addWidget(label, r, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(edit, r, 1);
        grid->addWidget(u, r, 2, Qt::AlignLeft | Qt::AlignVCenter);
    };

    SourceBox = new QGroupBox(QStringLiteral("Source"), this);
    SourceBox->setObjectName(QStringLiteral("SourceBox"));
    auto* source = new QGridLayout(SourceBox);
    row(source, 0, SourceBox, VoltageLabel, "VoltageLabel", "Line Voltage", VoltageEdit, "VoltageEdit", "V");
    row(source, 1, SourceBox, PowerLabel, "PowerLabel", "Short-Circuit Power", PowerEdit, "PowerEdit", "MVA");
    row(source, 2, SourceBox, RxLabel, "RxLabel", "R/X", RxEdit, "RxEdit", "--");
    VoltageNote = MakeLabel(SourceBox, "VoltageNote", QString(), 0, 0, f);
    PowerNote = MakeLabel(SourceBox, "PowerNote", QString(), 0, 0, f);
    source->addWidget(VoltageNote, 0, 3, Qt::AlignLeft | Qt::AlignVCenter);
    source->addWidget(PowerNote, 1, 3, Qt::AlignLeft | Qt::AlignVCenter);
    source->setColumnStretch(3, 1);
    left->addWidget(SourceBox);

    TransformerBox = new QGroupBox(QStringLiteral("Transformer"), this);
    TransformerBox->setObjectName(QStringLiteral("TransformerBox"));
    TransformerBox->setCheckable(true);
    TransformerBox->setChecked(false);
    auto* transformer = new QGridLayout(TransformerBox);
    row(transformer, 0, TransformerBox, TPowerLabel, "TPowerLabel", "Rated Power S_T", TPowerEdit,
        "TPowerEdit", "kVA");
    row(transformer, 1, TransformerBox, UkLabel, "UkLabel", "Short-Circuit Voltage u_k", UkEdit, "UkEdit",
        "%");
    row(transformer, 2, TransformerBox, UrLabel, "UrLabel", "Resistive Voltage u_R", UrEdit, "UrEdit", "%");
    transformer->setColumnStretch(3, 1);
    left->addWidget(TransformerBox);

    CableBox = new QGroupBox(QStringLiteral("Cable"), this);
    CableBox->setObjectName(QStringLiteral("CableBox"));
    CableBox->setCheckable(true);
    CableBox->setChecked(false);
    auto* cable = new QGridLayout(CableBox);
    row(cable, 0, CableBox, LengthLabel, "LengthLabel", "Length", LengthEdit, "LengthEdit", "m");
    row(cable, 1, CableBox, SectionLabel, "SectionLabel", "Cross-Section", SectionEdit, "SectionEdit", "mm²");
    MaterialLabel = MakeLabel(CableBox, "MaterialLabel", QStringLiteral("Conductor"), 0, 0, f);
    Copper = MakeRadio(CableBox, "Copper", QStringLiteral("Copper"), 0, 0, 110, 17, f);
    Aluminium = MakeRadio(CableBox, "Aluminium", QStringLiteral("Aluminium"), 0, 0, 110, 17, f);
    auto* materials = new QButtonGroup(CableBox);
    materials->addButton(Copper);
    materials->addButton(Aluminium);
    Copper->setChecked(true);
    auto* materialRow = new QHBoxLayout;
    materialRow->addWidget(Copper);
    materialRow->addWidget(Aluminium);
    materialRow->addStretch(1);
    cable->addWidget(MaterialLabel, 2, 0, Qt::AlignLeft | Qt::AlignVCenter);
    cable->addLayout(materialRow, 2, 1, 1, 3);
    row(cable, 3, CableBox, ParallelLabel, "ParallelLabel", "Parallel Runs", ParallelEdit, "ParallelEdit",
        "--");
    row(cable, 4, CableBox, ReactanceLabel, "ReactanceLabel", "Reactance x'", ReactanceEdit, "ReactanceEdit",
        "Ω/km");
    cable->setColumnStretch(3, 1);
    left->addWidget(CableBox);

    auto* dip = new QGridLayout;
    row(dip, 0, this, DipLabel, "DipLabel", "Busbar Voltage Dip Limit", DipEdit, "DipEdit", "%");
    dip->setColumnStretch(3, 1);
    dip->setContentsMargins(10, 4, 0, 0);
    left->addLayout(dip);
    left->addStretch(1);
    body->addLayout(left, 1);

    Diagram = new TNetworkDiagram(this);
    body->addWidget(Diagram);
    outer->addLayout(body, 1);

    AddOkCancel(this, outer, Button1, "Button1", Button2, "Button2");
    SizeByLayout();

    connect(StiffSupply, &QCheckBox::toggled, this, [this] { UpdateParts(); });
    for (QGroupBox* box : {TransformerBox, CableBox})
        connect(box, &QGroupBox::toggled, this, [this] { UpdateDiagram(); });
    connect(Copper, &QRadioButton::toggled, this, [this] { UpdateDiagram(); });
    for (QLineEdit* e : {VoltageEdit, PowerEdit, RxEdit, TPowerEdit, UkEdit, UrEdit, LengthEdit, SectionEdit,
                         ParallelEdit, ReactanceEdit})
        connect(e, &QLineEdit::textChanged, this, [this, e] {
            Accept(e);
            UpdateNotes();
            UpdateDiagram();
        });
    connect(Button1, &QPushButton::clicked, this, &TNetworkForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TNetworkForm::Button2Click);
    UpdateParts();
}

void TNetworkForm::FormActivate()
{
    struct Text {
        QLabel* label;
        const char* english;
        const char* french;
    };
    const Text texts[] = {
        {Title, "Supply Network", "Réseau d'alimentation"},
        {VoltageLabel, "Line Voltage", "Tension de ligne"},
        {PowerLabel, "Short-Circuit Power", "Puissance de court-circuit"},
        {RxLabel, "R/X", "R/X"},
        {TPowerLabel, "Rated Power S_T", "Puissance assignée S_T"},
        {UkLabel, "Short-Circuit Voltage u_k", "Tension de court-circuit u_k"},
        {UrLabel, "Resistive Voltage u_R", "Tension résistive u_R"},
        {LengthLabel, "Length", "Longueur"},
        {SectionLabel, "Cross-Section", "Section"},
        {MaterialLabel, "Conductor", "Conducteur"},
        {ParallelLabel, "Parallel Runs", "Câbles en parallèle"},
        {ReactanceLabel, "Reactance x'", "Réactance x'"},
        {DipLabel, "Busbar Voltage Dip Limit", "Limite du creux de tension au jeu de barres"},
    };
    if (!EnglishChosen() && !FrenchChosen())
        return;
    setWindowTitle(Pick("Supply Network", "Réseau d'alimentation"));
    for (const Text& t : texts)
        SetCaption(t.label, Pick(t.english, t.french));
    StiffSupply->setText(Pick("Stiff supply (no network: the motor's rated voltage at its terminals)",
                              "Réseau rigide (sans réseau : la tension nominale aux bornes du moteur)"));
    SourceBox->setTitle(Pick("Source", "Source"));
    TransformerBox->setTitle(Pick("Transformer", "Transformateur"));
    CableBox->setTitle(Pick("Cable", "Câble"));
    Copper->setText(Pick("Copper", "Cuivre"));
    Aluminium->setText(Pick("Aluminium", "Aluminium"));
    Button2->setText(Pick("Cancel", "Annuler"));
    UpdateNotes();
    UpdateDiagram();
}

void TNetworkForm::FormShow()
{
    const SupplyNetwork& n = DynamicData.Network;
    motorVoltage_ = MotorData.LineVoltage > 0 ? EditText(MotorData.LineVoltage) : QString();
    StiffSupply->setChecked(!n.Enabled);
    VoltageEdit->setText(n.SourceVoltage ? EditText(*n.SourceVoltage) : motorVoltage_);
    PowerEdit->setText(n.ShortCircuitPower ? EditText(*n.ShortCircuitPower / Mega) : QString());
    RxEdit->setText(EditText(n.SourceRX));
    TransformerBox->setChecked(n.HasTransformer);
    // A value never given (0) shows as an empty field.
    auto given = [](double v, double scale = 1) { return v == 0 ? QString() : EditText(v / scale); };
    TPowerEdit->setText(given(n.TransformerPower, Kilo));
    UkEdit->setText(given(n.TransformerUk));
    UrEdit->setText(EditText(n.TransformerUr));
    CableBox->setChecked(n.HasCable);
    LengthEdit->setText(given(n.CableLength));
    SectionEdit->setText(given(n.CableSection));
    (n.Material == CableMaterial::Aluminium ? Aluminium : Copper)->setChecked(true);
    ParallelEdit->setText(EditText(n.CableParallel));
    ReactanceEdit->setText(EditText(n.CableReactance));
    DipEdit->setText(EditText(DynamicData.DipLimit));
    // The diagram starts from the stored values, not from what an earlier opening typed.
    accepted_.clear();
    for (const QLineEdit* e : {VoltageEdit, PowerEdit, RxEdit, TPowerEdit, UkEdit, UrEdit, LengthEdit, SectionEdit,
                               ParallelEdit, ReactanceEdit})
        Accept(e);
    UpdateParts();
    StiffSupply->setFocus();
    Button1->setDefault(true);
}

void TNetworkForm::UpdateParts()
{
    // The values stay in their fields, only out of use.
    const bool network = !StiffSupply->isChecked();
    for (QGroupBox* box : {SourceBox, TransformerBox, CableBox})
        box->setEnabled(network);
    UpdateNotes();
    UpdateDiagram();
}

void TNetworkForm::UpdateNotes()
{
    const QString motors = Pick("the motor's", "celle du moteur");
    const QString infinite = Pick("empty: infinite", "vide : infinie");
    // The notes come and go as the user types: their column keeps the room of the longer one,
    // so that the window keeps its width.
    const QFontMetrics metrics(VoltageNote->font());
    const int room = std::max(metrics.horizontalAdvance(motors), metrics.horizontalAdvance(infinite));
    VoltageNote->setMinimumWidth(room);
    PowerNote->setMinimumWidth(room);
    const QString voltage = VoltageEdit->text().trimmed();
    const bool motorsVoltage = voltage.isEmpty() || (!motorVoltage_.isEmpty() && voltage == motorVoltage_);
    VoltageNote->setText(motorsVoltage ? motors : QString());
    PowerNote->setText(PowerEdit->text().trimmed().isEmpty() ? infinite : QString());
}

void TNetworkForm::Accept(const QLineEdit* edit)
{
    // The diagram shows only what the dialog would accept: a number within the field's range (a
    // whole number of parallel runs).
    const std::pair<const QLineEdit*, std::pair<SettingField, double>> fields[] = {
        {VoltageEdit, {SettingField::SourceVoltage, 1}},  {PowerEdit, {SettingField::ShortCircuitPower, Mega}},
        {RxEdit, {SettingField::SourceRX, 1}},            {TPowerEdit, {SettingField::TransformerPower, Kilo}},
        {UkEdit, {SettingField::TransformerUk, 1}},       {UrEdit, {SettingField::TransformerUr, 1}},
        {LengthEdit, {SettingField::CableLength, 1}},     {SectionEdit, {SettingField::CableSection, 1}},
        {ParallelEdit, {SettingField::CableParallel, 1}}, {ReactanceEdit, {SettingField::CableReactance, 1}}};
    const auto field =
        std::find_if(std::begin(fields), std::end(fields), [edit](const auto& f) { return f.first == edit; });
    const std::optional<double> v = TryReadField(edit);
    if (!v || field == std::end(fields) || (edit == ParallelEdit && *v != std::floor(*v)))
        return;
    if (WithinRange(field->second.first, *v * field->second.second))
        accepted_[edit] = *v;
}

QString TNetworkForm::Accepted(const QLineEdit* edit) const
{
    const auto it = accepted_.find(edit);
    return it == accepted_.end() ? QString() : EditText(it->second);
}

void TNetworkForm::UpdateDiagram()
{
    TNetworkDiagram::State s;
    s.network = !StiffSupply->isChecked();
    s.transformer = TransformerBox->isChecked();
    s.cable = CableBox->isChecked();
    // Each value as the field last read as a number, written as the dialog writes numbers; a
    // value never read is left out.
    QStringList parts;
    auto part = [this, &parts](const QLineEdit* e, const char* pattern) {
        if (const QString v = Accepted(e); !v.isEmpty())
            parts << QString::fromUtf8(pattern).arg(v);
    };
    auto joined = [&parts] {
        const QString text = parts.join(QStringLiteral(", "));
        parts.clear();
        return text;
    };
    if (s.network) {
        if (VoltageEdit->text().trimmed().isEmpty()) {
            if (!motorVoltage_.isEmpty())
                parts << motorVoltage_ + QStringLiteral(" V");
        } else
            part(VoltageEdit, "%1 V");
        if (PowerEdit->text().trimmed().isEmpty())
            parts << QStringLiteral("S_k ") + Pick("infinite", "infinie");
        else
            part(PowerEdit, "S_k %1 MVA");
        part(RxEdit, "R/X %1");
        s.source = joined();
    } else {
        s.source =
            Pick("the motor's rated voltage, no impedance", "tension nominale du moteur, sans impédance");
    }
    part(TPowerEdit, "%1 kVA");
    part(UkEdit, "u_k %1 %");
    part(UrEdit, "u_R %1 %");
    s.transformerText = joined();
    part(LengthEdit, "%1 m");
    const QString runs = Accepted(ParallelEdit), section = Accepted(SectionEdit);
    const QString material = Copper->isChecked() ? Pick("Cu", "Cu") : Pick("Al", "Al");
    if (section.isEmpty())
        parts << material;
    else if (runs.isEmpty())
        parts << QString::fromUtf8("%1 mm² %2").arg(section, material);
    else
        parts << QString::fromUtf8("%1 × %2 mm² %3").arg(runs, section, material);
    part(ReactanceEdit, "x' %1 Ω/km");
    s.cableText = joined();
    if (MotorData.MechanicalPower > 0 && MotorData.LineVoltage > 0)
        s.motorText = QStringLiteral("%1 kW, %2 V")
                          .arg(EditText(MotorData.MechanicalPower / 1000), EditText(MotorData.LineVoltage));
    Diagram->SetState(s);
}

void TNetworkForm::Button1Click()
{
    SupplyNetwork n = DynamicData.Network;
    double dipLimit = DynamicData.DipLimit;
    n.Enabled = !StiffSupply->isChecked();
    n.HasTransformer = TransformerBox->isChecked();
    n.HasCable = CableBox->isChecked();
    n.Material = Aluminium->isChecked() ? CableMaterial::Aluminium : CableMaterial::Copper;
    const bool transformerUsed = n.Enabled && n.HasTransformer;
    const bool cableUsed = n.Enabled && n.HasCable;
    double parallel = n.CableParallel;
    try {
        // The parts in use must hold numbers; a part out of use keeps what reads as a number and
        // its stored value for the rest, so that switching it off loses nothing.
        auto read = [](const QLineEdit* e, SettingField field, bool used, double stored, double scale = 1) {
            return used ? ReadField(e, field, ErrNetworkNotANumber) * scale : Kept(e, stored, scale);
        };
        const QString voltage = VoltageEdit->text().trimmed();
        if (voltage.isEmpty() || (!motorVoltage_.isEmpty() && voltage == motorVoltage_))
            n.SourceVoltage.reset(); // the motor's, following the motor
        else if (n.Enabled)
            n.SourceVoltage = ReadField(VoltageEdit, SettingField::SourceVoltage, ErrNetworkNotANumber);
        else if (const std::optional<double> v = TryReadField(VoltageEdit))
            n.SourceVoltage = v;
        if (PowerEdit->text().trimmed().isEmpty())
            n.ShortCircuitPower.reset(); // an infinite source
        else if (n.Enabled)
            n.ShortCircuitPower =
                ReadField(PowerEdit, SettingField::ShortCircuitPower, ErrNetworkNotANumber) * Mega;
        else if (const std::optional<double> v = TryReadField(PowerEdit); v && std::isfinite(*v * Mega))
            n.ShortCircuitPower = *v * Mega;
        n.SourceRX = read(RxEdit, SettingField::SourceRX, n.Enabled, n.SourceRX);
        n.TransformerPower =
            read(TPowerEdit, SettingField::TransformerPower, transformerUsed, n.TransformerPower, Kilo);
        n.TransformerUk = read(UkEdit, SettingField::TransformerUk, transformerUsed, n.TransformerUk);
        n.TransformerUr = read(UrEdit, SettingField::TransformerUr, transformerUsed, n.TransformerUr);
        n.CableLength = read(LengthEdit, SettingField::CableLength, cableUsed, n.CableLength);
        n.CableSection = read(SectionEdit, SettingField::CableSection, cableUsed, n.CableSection);
        parallel = read(ParallelEdit, SettingField::CableParallel, cableUsed, parallel);
        n.CableReactance = read(ReactanceEdit, SettingField::CableReactance, cableUsed, n.CableReactance);
        dipLimit = ReadField(DipEdit, SettingField::DipLimit, ErrNetworkNotANumber);
    } catch (const Refusal& refusal) {
        RaiseError(refusal);
        return;
    }
    // Parallel runs are a whole number of cables; a part out of use keeps its runs.
    if (const Refusal refusal = CableParallelRuns(parallel, n.CableParallel); refusal && cableUsed) {
        RaiseError(refusal);
        return;
    }
    // The network and the dip limit, then, once a voltage is known, the network's impedances.
    DynamicSettings judged = DynamicData;
    judged.Network = n;
    judged.DipLimit = dipLimit;
    if (const Refusal refusal = CheckSupplySettings(judged, MotorData)) {
        RaiseError(refusal);
        return;
    }
    DynamicData.Network = n;
    DynamicData.DipLimit = dipLimit;
    CloseForm();
    if (Form1)
        Form1->NotifyDynamicInputsChanged();
}

void TNetworkForm::Button2Click()
{
    CloseForm();
}
