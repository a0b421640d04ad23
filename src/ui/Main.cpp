#include "Main.h"

#include "About.h"
#include "Aff_Err.h"
#include "Characteristics.h"
#include "ProtectionWindow.h"
#include "Compare.h"
#include "CurveFile.h"
#include "DynStart.h"
#include "FileAccess.h"
#include "Forms.h"
#include "HelpWindow.h"
#include "Init_Mot.h"
#include "Load.h"
#include "MainCharts.h"
#include "Mechanical.h"
#include "RelaySettings.h"
#include "MethodSettings.h"
#include "Network.h"
#include "Pictures.h"
#include "Print.h"
#include "SchemEqu.h"
#include "SelMot.h"
#include "SoftStar.h"
#include "StartSimulation.h"
#include "StudyFiles.h"
#include "UiCommon.h"
#include "ValNom.h"

#include <filesystem>
#include <system_error>
#include <tuple>

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTranslator>

namespace {

// Qt's own texts (the file dialogs, the buttons of the message boxes) in the chosen language: Qt's
// French translations, installed while French is chosen and owned by the main window. Where they
// are not installed, Qt speaks English. The default locale stays the system's, so that numbers keep
// the user's regional decimal separator.
void ChooseQtLanguage(QObject* owner, bool french)
{
    const QString name = QStringLiteral("QtFrench");
    QTranslator* translator = owner->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly);
    if (french && !translator) {
        translator = new QTranslator(owner);
        translator->setObjectName(name);
        if (translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(translator);
    } else if (!french) {
        delete translator; // which takes it off the application
    }
}

// The rated values panel: its rows start at 30, 25 px apart; for a double cage they move closer
// together (from 26, 23 px apart), which leaves two lines under them for the circuit's line.
const char* const DesignedRow = "designedY";
constexpr int DesignedRowTop = 30, DesignedRowStep = 25, CompactRowTop = 26, CompactRowStep = 23;

// Every row of the panel at its designed place, or at the compact one.
void PlaceRatedRows(QFrame* panel, bool compact)
{
    for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant designed = w->property(DesignedRow);
        if (!designed.isValid())
            continue;
        const int y = designed.toInt();
        const int row = (y - DesignedRowTop) / DesignedRowStep;
        const int offset = y - DesignedRowTop - row * DesignedRowStep; // labels sit 4 px below the field
        w->move(w->x(), compact ? CompactRowTop + row * CompactRowStep + offset : y);
    }
}

constexpr int ClientWidth = 776;  // outer 784 x 583 less borders, caption and menu
constexpr int ClientHeight = 537;

QFrame* MakePanel(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* p = new QFrame(parent);
    p->setObjectName(QString::fromLatin1(name));
    p->setGeometry(x, y, w, h);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Raised);
    p->setAutoFillBackground(true);
    return p;
}

// A read-only field of the result panels. It takes no keyboard focus: a focused line edit would
// take the menu shortcuts (Ctrl+C copies, Ctrl+E moves to the end) away from the main menu.
QLineEdit* MakeDisplay(QWidget* parent, const char* name, int x, int y, int w, const QFont& font)
{
    QLineEdit* e = MakeEdit(parent, name, x, y, w, font);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

} // namespace

TForm1::TForm1()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tarvello : Soft-Starter Simultator for Induction Motor"));
    setFont(SansFont(11));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setMinimumSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    CreateCharts(client);
    CreateResultPanels(client);
    CreateStartMenu(client);
    CreateLanguagePanel(client);
    CreateMenu();

    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    CentreOnScreen(this);
    FormCreate();
}

TForm1::~TForm1()
{
    delete helpWindow_;
}

void TForm1::CreateCharts(QWidget* client)
{
    xyGraph3 = NewMainChart(client, "xyGraph3", 8, 0, MainChart::CurrentTime);
    xyGraph4 = NewMainChart(client, "xyGraph4", 8, 120, MainChart::TorqueTime);
    xyGraph1 = NewMainChart(client, "xyGraph1", 8, 240, MainChart::CurrentSpeed);
    xyGraph2 = NewMainChart(client, "xyGraph2", 8, 360, MainChart::TorqueSpeed);
    // The captions that name the two series, inside each chart at its lower right.
    std::tie(Label41, Label47) = AddSeriesCaptions(xyGraph3, "Label41", "Label47");
    std::tie(Label42, Label49) = AddSeriesCaptions(xyGraph4, "Label42", "Label49");
    std::tie(Label43, Label52) = AddSeriesCaptions(xyGraph1, "Label43", "Label52");
    std::tie(Label44, Label53) = AddSeriesCaptions(xyGraph2, "Label44", "Label53");
}

void TForm1::CreateResultPanels(QWidget* client)
{
    const QFont f = SansFont(11);
    Panel1 = MakePanel(client, "Panel1", 400, 0, 361, 361);
    QPalette silver = Panel1->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    Panel1->setPalette(silver);
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setFrameShadow(QFrame::Plain);
    Label7 = MakeLabel(Panel1, "Label7", QStringLiteral("Rated Value"), 120, 6, SansFont(13, true));

    struct Row {
        QLabel** label;
        const char* labelName;
        const char* caption;
        QLineEdit** edit;
        const char* editName;
        QLabel** unit;
        const char* unitName;
        const char* unitText;
    };
    const Row rows[] = {
        {&Label26, "Label26", "Constructor", &Edit14, "Edit14", nullptr, nullptr, nullptr},
        {&Label27, "Label27", "Motor Size", &Edit13, "Edit13", nullptr, nullptr, nullptr},
        {&Label1, "Label1", "Mechanical Power", &Edit1, "Edit1", &Label10, "Label10", "W"},
        {&Label2, "Label2", "Line Voltage", &Edit2, "Edit2", &Label11, "Label11", "V"},
        {&Label3, "Label3", "Frequency", &Edit3, "Edit3", &Label12, "Label12", "Hz"},
        {&Label4, "Label4", "Line Current", &Edit4, "Edit4", &Label13, "Label13", "A"},
        {&Label28, "Label28", "No Load Line Current", &Edit15, "Edit15", &Label29, "Label29", "A"},
        {&Label5, "Label5", "Power Factor", &Edit5, "Edit5", &Label14, "Label14", "--"},
        {&Label6, "Label6", "Electrical Power", &Edit6, "Edit6", &Label15, "Label15", "W"},
        {&Label8, "Label8", "Pair of Poles", &Edit7, "Edit7", &Label16, "Label16", "--"},
        {&label50, "label50", "Rated Torque", &Edit8, "Edit8", &Label51, "Label51", "Nm"},
        {&Label9, "Label9", "Rated Speed", &Edit9, "Edit9", &Label17, "Label17", "rpm"},
        {&Label19, "Label19", "Efficiency", &Edit10, "Edit10", &Label18, "Label18", "%"},
    };
    int y = 30;
    for (const Row& r : rows) {
        const bool text = r.unit == nullptr;
        *r.label = MakeLabel(Panel1, r.labelName, QString::fromLatin1(r.caption), 10, y + 4, f);
        *r.edit = MakeDisplay(Panel1, r.editName, text ? 180 : 210, y, text ? 160 : 89, f);
        if (r.unit)
            *r.unit = MakeLabel(Panel1, r.unitName, QString::fromLatin1(r.unitText), 306, y + 4, f);
        for (QWidget* w : {static_cast<QWidget*>(*r.label), static_cast<QWidget*>(*r.edit),
                           static_cast<QWidget*>(r.unit ? *r.unit : nullptr)})
            if (w)
                w->setProperty(DesignedRow, w->y());
        y += 25;
    }
    CircuitLabel = MakeLabel(Panel1, "CircuitLabel", QString(), 10, 0, f);
    CircuitLabel->setTextFormat(Qt::PlainText);
    CircuitLabel->setWordWrap(true);
    CircuitLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int circuitTop = CompactRowTop + 12 * CompactRowStep + 21 + 3;
    CircuitLabel->setGeometry(10, circuitTop, 341, Panel1->height() - circuitTop - 2);
    CircuitLabel->hide();

    Panel2 = MakePanel(client, "Panel2", 400, 368, 361, 161);
    Label21 = MakeLabel(Panel2, "Label21", QStringLiteral("Soft-Stater Parameters"), 10, 6, SansFont(13, true));
    const Row results[] = {
        {&Label22, "Label22", "Estimated Time to Start Motor with Load", &Edit16, "Edit16", &Label30, "Label30", "s"},
        {&Label23, "Label23", "Imax/In", &Edit17, "Edit17", &Label25, "Label25", "--"},
        {&Label24, "Label24", "Preset", &Edit18, "Edit18", &Label31, "Label31", "%"},
        {&Label33, "Label33", "Time of Soft-Starter", &Edit19, "Edit19", &Label32, "Label32", "s"},
    };
    y = 32;
    for (const auto& r : results) {
        *r.label = MakeLabel(Panel2, r.labelName, QString::fromLatin1(r.caption), 10, y + 4, f);
        // Read-only in normal text like the rated values, not greyed out: these are the results.
        *r.edit = MakeDisplay(Panel2, r.editName, 282, y, 50, f);
        *r.unit = MakeLabel(Panel2, r.unitName, QString::fromLatin1(r.unitText), 337, y + 4, f);
        y += 30;
    }
    Image2 = new TPicture(TPicture::Logo, Panel2, "Image2", 290, 4, 56, 26);

    Label35 = MakeLabel(client, "Label35",
                        QStringLiteral("If you want to return to the start menu, press \"RETURN\"!"), 6, 492, f);
    Label36 = MakeLabel(client, "Label36", QStringLiteral("Or use the menu on the top in left."), 6, 508, f);
    Button4 = MakeButton(client, "Button4", QStringLiteral("RETURN"), 310, 508, 67, 25, f);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
}

void TForm1::CreateStartMenu(QWidget* client)
{
    const QFont f = SansFont(11);
    Panel3 = MakePanel(client, "Panel3", 112, 116, 537, 305);
    Label34 = MakeLabel(Panel3, "Label34", QStringLiteral("Select parameters in the order"), 137, 32,
                        SansFont(19, true));
    Label34->move((Panel3->width() - Label34->width()) / 2, Label34->y());
    const QFont big = SansFont(16);
    Button1 = MakeButton(Panel3, "Button1", QStringLiteral("1. Select Motor in List"), 137, 80, 254, 37, big);
    Button2 = MakeButton(Panel3, "Button2", QStringLiteral("2. Soft-Starter Parameters"), 137, 128, 254, 37, big);
    Button3 = MakeButton(Panel3, "Button3", QStringLiteral("3. Load Parameters"), 137, 176, 254, 37, big);
    Button5 = MakeButton(Panel3, "Button5", QStringLiteral("Help"), 178, 260, 75, 25, f);
    Button6 = MakeButton(Panel3, "Button6", QStringLiteral("Exit"), 274, 260, 75, 25, f);
    Image1 = new TPicture(TPicture::MotorRamp, Panel3, "Image1", 14, 80, 110, 133);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
}

void TForm1::CreateLanguagePanel(QWidget* client)
{
    const QFont f = SansFont(11);
    Panel4 = MakePanel(client, "Panel4", 140, 180, 481, 161);
    Label45 = MakeLabel(Panel4, "Label45", QStringLiteral("Select your language"), 46, 16, SansFont(16, true));
    Label46 = MakeLabel(Panel4, "Label46", QStringLiteral("Choisissez votre langue"), 244, 16, SansFont(16, true));
    RadioButton1 = MakeRadio(Panel4, "RadioButton1", QStringLiteral("English"), 99, 48, 113, 17, f);
    RadioButton2 = MakeRadio(Panel4, "RadioButton2", QString::fromUtf8("Français"), 303, 48, 113, 17, f);
    RadioButton1->setChecked(true);
    auto* group = new QButtonGroup(Panel4);
    group->addButton(RadioButton1);
    group->addButton(RadioButton2);
    Button7 = MakeButton(Panel4, "Button7", QStringLiteral("OK"), 203, 104, 75, 25, f);
    Button7->setDefault(true);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
}

void TForm1::CreateMenu()
{
    auto add = [this](QMenu* menu, QAction*& action, const char* name, const char* text, const QKeySequence& key,
                      void (TForm1::*handler)()) {
        action = menu->addAction(QString::fromUtf8(text));
        action->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
    };
    auto separator = [](QMenu* menu, QAction*& action, const char* name) {
        action = menu->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    File1 = bar->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    add(File1, SelectMotor, "SelectMotor", "Select &Motor in List", QKeySequence(Qt::CTRL | Qt::Key_M),
        &TForm1::ChooseMotorKnowed1Click);
    add(File1, SaveMotor, "SaveMotor", "&Save Parameters in Motor List", {}, &TForm1::SaveMotorClick);
    add(File1, Initialize, "Initialize", "&Initialize Motor List", {}, &TForm1::InitializeClick);
    separator(File1, N1, "N1");
    add(File1, SaveCurves, "SaveCurves", "Save &Curves in file", {}, &TForm1::SaveCurvesClick);
    add(File1, Print1, "Print1", "&Print Graphs", {}, &TForm1::Print1Click);
    separator(File1, N4, "N4");
    add(File1, Exit1, "Exit1", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_X), &TForm1::Exit1Click);

    Parameters = bar->addMenu(QStringLiteral("&Parameters"));
    Parameters->setObjectName(QStringLiteral("Parameters"));
    add(Parameters, RatedValues, "RatedValues", "&Enter Or Change Rated Values", QKeySequence(Qt::CTRL | Qt::Key_E),
        &TForm1::RatedValuesClick);
    add(Parameters, EquivalentDiagram, "EquivalentDiagram", "&Change Equivalent Diagram",
        QKeySequence(Qt::CTRL | Qt::Key_C), &TForm1::EnterEquivalentDiagram1Click);
    separator(Parameters, N2, "N2");
    add(Parameters, SoftStarter, "SoftStarter", "&Soft-Starter Parameters", {}, &TForm1::SoftStarterClick);
    add(Parameters, Load, "Load", "&Load Parameters", {}, &TForm1::LoadClick);
    separator(Parameters, NDynamics, "NDynamics");
    add(Parameters, Mechanical1, "Mechanical1", "Mechanical &Data", {}, &TForm1::MechanicalClick);
    add(Parameters, Network1, "Network1", "Supply &Network", {}, &TForm1::NetworkClick);
    add(Parameters, StartingMethods, "StartingMethods", "Starting &Methods and Starter...", {},
        &TForm1::MethodSettingsClick);
    add(Parameters, Protection1, "Protection1", "&Protection", {}, &TForm1::ProtectionClick);

    Options1 = bar->addMenu(QStringLiteral("&Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    add(Options1, DisplayStatic, "DisplayStatic", "Display Static Curves", {}, &TForm1::DisplayStaticClick);
    DisplayStatic->setCheckable(true);
    DisplayStatic->setChecked(false);
    add(Options1, DisplayDynamic, "DisplayDynamic", "Display &Dynamic Start", {}, &TForm1::DisplayDynamicClick);
    add(Options1, CompareMethods, "CompareMethods", "&Compare Starting Methods", {}, &TForm1::CompareMethodsClick);
    add(Options1, MotorCharacteristics, "MotorCharacteristics", "Motor C&haracteristics", {},
        &TForm1::MotorCharacteristicsClick);
    add(Options1, DisplayProtection, "DisplayProtection", "Display &Protection", {}, &TForm1::DisplayProtectionClick);

    Help1 = bar->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    add(Help1, Help2, "Help2", "&Help", {}, &TForm1::Help2Click);
    separator(Help1, N3, "N3");
    add(Help1, About1, "About1", "&About", {}, &TForm1::About1Click);

    Studies = new TStudyFiles(this);
}

void TForm1::FormCreate()
{
    for (QWidget* w : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(Panel2), static_cast<QWidget*>(Panel3),
                       AsWidget(xyGraph1), AsWidget(xyGraph2), AsWidget(xyGraph3), AsWidget(xyGraph4),
                       static_cast<QWidget*>(Label35), static_cast<QWidget*>(Label36),
                       static_cast<QWidget*>(Button4)})
        w->hide();
    Panel4->show();
    // The language panel answers the keyboard at once: arrows choose, Enter confirms.
    RadioButton1->setFocus();
    MotorData.MotorIdentified = false;
    MotorData.DataChanged = false;
    MotorData.LimitCurrentMode = false;
    MotorData.SelectedTimeMode = false;
    MotorData.ShowStaticCurves = false;
    MotorData.ResultsMode = false;
    MotorData.StartStep = 0;
    PresetStartInputs(MotorData);
}

bool TForm1::event(QEvent* e)
{
    const bool handled = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

void TForm1::keyPressEvent(QKeyEvent* e)
{
    // Enter on the language panel presses its OK, as in a dialog whose default button it is.
    if (Panel4->isVisible() && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        !(e->modifiers() & ~Qt::KeypadModifier)) {
        Button7->click();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void TForm1::closeEvent(QCloseEvent* e)
{
    // A changed study is saved or left as the user answers; Cancel keeps the program open.
    if (!Studies->MayClose()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
    if (e->isAccepted())
        emit Closed();
}

void TForm1::FormActivate()
{
    if (!MotorData.ResultsMode)
        return;
    ComputeAndShowResults();
    if (!Panel1->isHidden()) {
        Panel3->hide();
    } else {
        // The first computation was refused and there is no result to show: stay in the
        // start menu rather than show an empty window.
        MotorData.ResultsMode = false;
    }
}

void TForm1::Button1Click()
{
    ChooseMotorKnowed1Click();
}

void TForm1::Button2Click()
{
    if (MotorData.StartStep == 1)
        Form6->ShowForm();
    else
        RaiseError(30);
}

void TForm1::Button3Click()
{
    if (MotorData.StartStep == 2)
        Form5->ShowForm();
    else if (MotorData.StartStep == 1)
        RaiseError(31);
    else
        RaiseError(30);
}

void TForm1::Button4Click()
{
    MotorData.StartStep = 0;
    Panel3->show();
    MotorData.ResultsMode = false;
    for (QWidget* w : {static_cast<QWidget*>(Label35), static_cast<QWidget*>(Label36),
                       static_cast<QWidget*>(Button4), static_cast<QWidget*>(Panel1),
                       static_cast<QWidget*>(Panel2), AsWidget(xyGraph1), AsWidget(xyGraph2), AsWidget(xyGraph3),
                       AsWidget(xyGraph4)})
        w->hide();
}

void TForm1::Button5Click()
{
    OpenHelp();
}

void TForm1::Button6Click()
{
    close();
}

void TForm1::Button7Click()
{
    MotorData.LanguageEnglish = RadioButton1->isChecked();
    MotorData.LanguageFrench = RadioButton2->isChecked();
    ChooseQtLanguage(this, FrenchChosen());
    ApplyTexts();
    Panel4->hide();
    Panel3->show();
}

void TForm1::ChooseMotorKnowed1Click()
{
    Form4->RememberMotor();
    MotorData.MotorFromList = true;
    Form4->ShowForm();
}

void TForm1::SaveMotorClick()
{
    // The list holds six elements a motor: a second cage, or a data sheet's circuit, would be lost
    // there. Refused before the question is asked.
    if (HasSecondCage(MotorData) || HasDatasheet(MotorData)) {
        RaiseError(ErrListSecondCage);
        return;
    }
    MotorData.ListAction = 2;
    OKBottomDlg1->ShowForm();
}

void TForm1::InitializeClick()
{
    MotorData.ListAction = 1;
    OKBottomDlg1->ShowForm();
}

void TForm1::SaveCurvesClick()
{
    {
        // Gone before any message is shown, so that the message is the active window.
        QFileDialog dialog(this);
        dialog.setObjectName(QStringLiteral("OpenDialog1"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({QStringLiteral("Text File (*.TXT)"), QStringLiteral("All File (*.*)")});
        dialog.setDefaultSuffix(QStringLiteral("TXT"));
        if (!lastCurveFile_.isEmpty())
            dialog.selectFile(lastCurveFile_);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        lastCurveFile_ = dialog.selectedFiles().first();
    }
    const std::string shown = Excerpt(lastCurveFile_.toStdString());
    const ErrorArgument file{"\"" + shown + "\"", "« " + shown + " »"};
    // The files this program reads stay its own: curves written over them would destroy them.
    const std::filesystem::path path(QFile::encodeName(lastCurveFile_).toStdString());
    if (NamesMotorList(lastCurveFile_) ||
        (!Studies->StudyPath().isEmpty() &&
         listfile::SameFile(path, QFile::encodeName(Studies->StudyPath()).toStdString()))) {
        RaiseError(ErrFileInUse, file);
        return;
    }
    // Written whole beside the old file and put in its place, or not at all.
    if (const int error = listfile::WriteOutputFile(path, CurveFileText(MotorData)); error != 0) {
        const std::string reason = " (" + std::generic_category().message(error) + ")";
        RaiseError(ErrCannotWrite, {file.english + reason, file.french + reason});
    }
}

void TForm1::Print1Click()
{
    OKBottomDlg2->ShowForm();
}

void TForm1::Exit1Click()
{
    close();
}

void TForm1::RatedValuesClick()
{
    // The dialog's OK marks the motor as typed; a Cancel leaves the motor in memory as it was.
    Form2->ShowForm();
}

void TForm1::EnterEquivalentDiagram1Click()
{
    if (!MotorData.MotorIdentified) {
        RaiseError(100);
        return;
    }
    // The dialog's OK marks the circuit as given; a Cancel leaves the motor in memory as it was.
    Form3->ShowForm();
}

void TForm1::SoftStarterClick()
{
    Form6->ShowForm();
}

void TForm1::LoadClick()
{
    Form5->ShowForm();
}

void TForm1::DisplayStaticClick()
{
    if (!DisplayStatic->isChecked()) {
        MotorData.ShowStaticCurves = false;
        AsWidget(xyGraph1)->hide();
        AsWidget(xyGraph2)->hide();
        return;
    }
    MotorData.ShowStaticCurves = true;
    MotorData.DataChanged = true;
    if (!ComputeAndShowResults()) {
        // Nothing could be computed: the option stays off, so the mark tells the truth.
        MotorData.ShowStaticCurves = false;
        DisplayStatic->setChecked(false);
    }
}

void TForm1::MechanicalClick()
{
    MechanicalForm->ShowForm();
}

void TForm1::ProtectionClick()
{
    ProtectionForm->ShowForm();
}

void TForm1::NetworkClick()
{
    NetworkForm->ShowForm();
}

void TForm1::DisplayDynamicClick()
{
    DynamicStartForm->ShowForm();
}

void TForm1::CompareMethodsClick()
{
    CompareForm->ShowForm();
}

void TForm1::MotorCharacteristicsClick()
{
    CharacteristicsForm->ShowForm();
}

void TForm1::DisplayProtectionClick()
{
    ProtectionChartForm->ShowForm();
}

void TForm1::MethodSettingsClick()
{
    MethodSettingsForm->ShowForm();
}

void TForm1::Help2Click()
{
    OpenHelp();
}

void TForm1::About1Click()
{
    AboutBox->ShowForm();
}

void TForm1::OpenHelp()
{
    const bool french = !MotorData.LanguageEnglish && MotorData.LanguageFrench;
    const QString path = FindHelpFile(french);
    if (path.isEmpty()) {
        const QString name = HelpFileName(french);
        ShowNote(this, QStringLiteral("The help file \"%1\" was not found.").arg(name),
                 QStringLiteral("Le fichier d'aide \"%1\" est introuvable.").arg(name));
        return;
    }
    if (!helpWindow_)
        helpWindow_ = new THelpWindow;
    helpWindow_->ShowContents(path);
}

bool TForm1::ComputeAndShowResults()
{
    if (!MotorData.DataChanged)
        return true;
    CurveBuffer timePoints, staticPoints;
    const Refusal error = RunStartComputation(MotorData, &timePoints, &staticPoints);
    MotorData.DataChanged = false;
    if (error != 0) {
        // The data set and the charts keep the last results.
        RaiseError(error);
        return false;
    }

    for (QWidget* w : {static_cast<QWidget*>(Label35), static_cast<QWidget*>(Label36),
                       static_cast<QWidget*>(Button4), static_cast<QWidget*>(Panel1),
                       static_cast<QWidget*>(Panel2)})
        w->show();

    // Series are rebuilt out of sight, then drawn once.
    PlotCurves(xyGraph3, xyGraph4, timePoints.points);
    FillResultPanels();
    SetPlotting(xyGraph3, true);
    SetPlotting(xyGraph4, true);
    if (MotorData.ShowStaticCurves) {
        PlotCurves(xyGraph1, xyGraph2, staticPoints.points);
        SetPlotting(xyGraph1, true);
        SetPlotting(xyGraph2, true);
    }
    SetUpCharts();
    MotorData.DataChanged = false;
    emit ResultsComputed();
    return true;
}

void TForm1::FillResultPanels()
{
    const MotorDataSet& d = MotorData;
    Edit14->setText(FromStd(d.ConstructorName));
    Edit13->setText(FromStd(d.MotorSize));
    Edit1->setText(FixedText(d.MechanicalPower, 0));
    Edit2->setText(FixedText(d.LineVoltage, 0));
    Edit3->setText(FixedText(d.Frequency, 0));
    Edit4->setText(FixedText(d.LineCurrent, 1));
    Edit15->setText(FixedText(d.NoLoadLineCurrent, 1));
    Edit5->setText(FixedText(d.PowerFactor, 2));
    Edit6->setText(FixedText(d.ElectricalPower, 0));
    Edit7->setText(FixedText(d.PairOfPoles, 0));
    Edit8->setText(FixedText(d.RatedTorque, 0));
    Edit9->setText(FixedText(d.RatedSpeed, 0));
    Edit10->setText(FixedText(d.Efficiency, 0));
    // A double cage says so under the rated values, with how its data sheet was fitted (a best fit
    // named as such); the rows move closer together to make room. One cage: the designed panel.
    const bool doubleCage = HasSecondCage(d);
    PlaceRatedRows(Panel1, doubleCage);
    CircuitLabel->setText(CircuitText(d));
    CircuitLabel->setVisible(doubleCage);
    Edit16->setText(FixedText(d.EstimatedStartTime, 2));
    Edit17->setText(FixedText(d.ImaxIn, 2));
    Edit18->setText(FixedText(d.Preset * 100, 2));
    Edit19->setText(FixedText(d.SoftStarterTime, 2));
}

void TForm1::SetUpCharts()
{
    StyleChart(xyGraph3);
    StyleChart(xyGraph4);
    if (MotorData.ShowStaticCurves) {
        StyleChart(xyGraph1);
        StyleChart(xyGraph2);
    }
}

void TForm1::ApplyTexts()
{
    struct Text {
        QLabel* label;
        const char* english;
        const char* french;
    };
    const bool english = MotorData.LanguageEnglish;
    if (!english && !MotorData.LanguageFrench)
        return;
    auto pick = [english](const char* en, const char* fr) { return QString::fromUtf8(english ? en : fr); };

    Studies->SetBaseCaption(pick("Tarvello : Soft-Starter Simulator for Induction Motor",
                                 "Tarvello : Simulateur de Soft-Starter pour moteur asynchrone"));
    Studies->ApplyTexts();
    const Text labels[] = {
        {Label7, "Rated Value", "Grandeurs nominales"},
        {Label26, "Constructor", "Fabricant"},
        {Label27, "Motor Size", "Dimension du moteur"},
        {Label1, "Mechanical Power", "Puissance mécanique"},
        {Label2, "Line Voltage", "Tension de ligne"},
        {Label3, "Frequency", "Fréquence"},
        {Label4, "Line Current", "Courant de ligne"},
        {Label5, "Power Factor", "Facteur de puissance"},
        {Label9, "Rated Speed", "Vitesse nominale"},
        {Label28, "No Load Line Current", "Courant de ligne à vide"},
        {Label6, "Electrical Power", "Puissance électrique"},
        {Label8, "Number Pair of Poles", "Nombre de paire de pôles"},
        {label50, "Rated Torque", "Couple nominal"},
        {Label19, "Efficiency", "Rendement"},
        {Label21, "Soft-Stater Parameters", "Paramètres du Soft-Stater"},
        {Label22, "Estimated Time to Start Motor with Load", "Temps estimé pour démarrer le moteur avec charge"},
        {Label33, "Time of Soft-Starter", "Temps du Soft-Starter"},
        {Label35, "If you want to return to the start menu, press \"RETURN\"!",
         "Si vous voulez retourner au menu de démarrage, presser \"RETOUR\"!"},
        {Label36, "Or use the menu on the top in left.", "Sinon utilisez le menu en haut à gauche."},
    };
    for (const Text& t : labels)
        SetCaption(t.label, pick(t.english, t.french));
    Button4->setText(pick("Return", "Retour"));
    SetCaption(Label34, pick("Select parameters in the order", "Le choix des paramètres se fait dans l'ordre"));
    Label34->move((Panel3->width() - Label34->width()) / 2, Label34->y()); // the French text is longer
    Button1->setText(pick("1. Select Motor in List", "1. Choisir un moteur dans la liste"));
    Button2->setText(pick("2. Soft-Starter Parameters", "2. Paramètres du Soft-Starter"));
    Button3->setText(pick("3. Load Parameters", "3. Paramètres de la charge"));
    Button5->setText(pick("Help", "Aide"));
    Button6->setText(pick("Exit", "Quitter"));
    File1->setTitle(pick("&File", "&Fichier"));
    Exit1->setText(pick("E&xit", "&Quitter"));
    SelectMotor->setText(pick("Select &Motor in List", "Choisir un &moteur dans la liste"));
    SaveMotor->setText(pick("&Save Parameters in Motor List", "&Sauver les paramètres dans la liste des moteurs"));
    Initialize->setText(pick("&Initialize Motor List", "&Initialiser la liste des moteurs"));
    SaveCurves->setText(pick("Save &Curves in file", "Sauver les &courbes dans un fichier"));
    Print1->setText(pick("&Print Graphs", "Im&primer les graphiques"));
    Parameters->setTitle(pick("&Parameters", "&Paramètres"));
    RatedValues->setText(pick("&Enter Or Change Rated Values", "&Entrer ou modifier les valeurs nominales"));
    EquivalentDiagram->setText(pick("&Change Equivalent Diagram", "&Modifier le schéma équivalent"));
    SoftStarter->setText(pick("&Soft-Starter Parameters", "Paramètres du &Soft-Starter"));
    Load->setText(pick("&Load Parameters", "Paramètres de la &charge"));
    Options1->setTitle(pick("&Options", "&Options"));
    DisplayStatic->setText(pick("Display Static Curves", "&Afficher les courbes statiques"));
    Mechanical1->setText(pick("Mechanical &Data", "&Données mécaniques"));
    Network1->setText(pick("Supply &Network", "&Réseau d'alimentation"));
    DisplayDynamic->setText(pick("Display &Dynamic Start", "Afficher le démarrage &dynamique"));
    CompareMethods->setText(pick("&Compare Starting Methods", "&Comparer les modes de démarrage"));
    MotorCharacteristics->setText(pick("Motor C&haracteristics", "Caractéristi&ques du moteur"));
    DisplayProtection->setText(pick("Display &Protection", "Afficher la &protection"));
    StartingMethods->setText(pick("Starting &Methods and Starter...", "M&odes de démarrage et démarreur..."));
    Protection1->setText(pick("&Protection", "&Protection"));
    Help1->setTitle(pick("&Help", "&Aide"));
    Help2->setText(pick("&Help", "&Aide"));
    About1->setText(pick("&About", "A &propos"));
    SetChartTitle(xyGraph1, pick("Current", "Courant"));
    SetChartTitle(xyGraph2, pick("Torque", "Couple"));
    SetChartTitle(xyGraph3, pick("Current", "Courant"));
    SetChartTitle(xyGraph4, pick("Torque", "Couple"));
    for (QLabel* l : {Label47, Label49, Label52, Label53})
        SetCaption(l, pick("With Soft-Starter", "Avec Soft-Starter"));
}
