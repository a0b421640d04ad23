#include "SelMot.h"

#include "Aff_Err.h"
#include "Checks.h"
#include "ErrorMessages.h"
#include "Forms.h"
#include "Identification.h"
#include "MotorList.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"
#include "ValNom.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>

#include <cmath>
#include <exception>

namespace {

constexpr int GridLeft = 89, GridTop = 40, GridWidth = 405, GridHeight = 353;
constexpr int RowHeight = 24;
constexpr int GridClientWidth = 350;
// More skipped lines than this are summed up in one line, so the message stays readable.
constexpr int MaxReportedLines = 12;

const char* const HeaderEnglish[] = {"Constructor", "Motor Size", "Power [W]"};
const char* const HeaderFrench[] = {"Fabricant", "Dimension", "Puissance [W]"};

QString ListName() { return QString::fromUtf8(ListFileName); }

// The list's problems are told without blocking, like every other message of the program.
void ShowListMessage(QWidget* parent, const QString& text, bool warning)
{
    auto* box = new QMessageBox(warning ? QMessageBox::Warning : QMessageBox::Information,
                                QStringLiteral("Tarvello"), text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("ListReportBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    box->raise();
    box->activateWindow();
}

// The motor part of the data set: what a pick changes, what DeriveRatedValues derives from it,
// and where its circuit comes from.
double MotorDataSet::* const MotorNumbers[] = {
    // nameplate
    &MotorDataSet::MechanicalPower, &MotorDataSet::LineVoltage, &MotorDataSet::LineCurrent,
    &MotorDataSet::PowerFactor, &MotorDataSet::Frequency, &MotorDataSet::RatedSpeed,
    &MotorDataSet::NoLoadLineCurrent,
    // derived
    &MotorDataSet::PairOfPoles, &MotorDataSet::SynchronousSpeed, &MotorDataSet::PhaseVoltage,
    &MotorDataSet::PhaseCurrent, &MotorDataSet::NoLoadPhaseCurrent, &MotorDataSet::ElectricalPower,
    &MotorDataSet::RatedTorque, &MotorDataSet::Efficiency,
    // circuit
    &MotorDataSet::Rs, &MotorDataSet::Xssigma, &MotorDataSet::Rr, &MotorDataSet::Xrsigma, &MotorDataSet::Xh,
    &MotorDataSet::Riron, &MotorDataSet::Rr2, &MotorDataSet::Xr2sigma,
    // data sheet (its priority and fit go with it)
    &MotorDataSet::LockedRotorCurrentRatio, &MotorDataSet::LockedRotorTorqueRatio, &MotorDataSet::BreakdownTorqueRatio,
};
bool MotorDataSet::* const MotorFlags[] = {
    &MotorDataSet::StarCoupling,
    &MotorDataSet::ApproximationWithoutNoLoadCurrent,
    &MotorDataSet::MotorFromList,
};

void CopyMotor(const MotorDataSet& from, MotorDataSet& to)
{
    to.ConstructorName = from.ConstructorName;
    to.MotorSize = from.MotorSize;
    for (double MotorDataSet::*number : MotorNumbers)
        to.*number = from.*number;
    for (bool MotorDataSet::*flag : MotorFlags)
        to.*flag = from.*flag;
    to.Priority = from.Priority;
    to.Fit = from.Fit;
}

bool SameNumber(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

bool SameMotor(const MotorDataSet& a, const MotorDataSet& b)
{
    if (a.ConstructorName != b.ConstructorName || a.MotorSize != b.MotorSize)
        return false;
    for (double MotorDataSet::*number : MotorNumbers)
        if (!SameNumber(a.*number, b.*number))
            return false;
    for (bool MotorDataSet::*flag : MotorFlags)
        if (a.*flag != b.*flag)
            return false;
    return a.Priority == b.Priority;
}

// Nothing picked, nothing typed: the derived values would divide by zero.
bool NoMotorInMemory()
{
    return MotorData.MechanicalPower == 0 && MotorData.LineVoltage == 0 && MotorData.LineCurrent == 0 &&
           MotorData.RatedSpeed == 0;
}

QTableWidgetItem* Cell(const QString& text, bool fixed)
{
    auto* item = new QTableWidgetItem(text);
    if (fixed) {
        // The number column stays outside the selection, as a fixed column does.
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(QApplication::palette().button());
    } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    return item;
}

} // namespace

TForm4::TForm4()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Open Motor Parameters"));
    SetClientSize(584, 505);
    const QFont f = SansFont(11);
    setFont(f);
    Label1 = new QLabel(QStringLiteral("Select a row"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(88, 8, 408, 25);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(SerifFont(19, true));
    Image1 = new TPicture(TPicture::Logo, this, "Image1", 502, 8, 74, 49);

    // Row 0 is the header row of the catalogue's layout; it stays in the table (row r is record
    // r) but is shown by the table's own header, which does not scroll away.
    StringGrid1 = new QTableWidget(1, 4, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(GridLeft, GridTop, GridWidth, GridHeight);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setShowGrid(true);
    StringGrid1->setWordWrap(false);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGrid1->verticalHeader()->setVisible(false);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setMinimumSectionSize(RowHeight);
    StringGrid1->verticalHeader()->setDefaultSectionSize(RowHeight);
    QHeaderView* header = StringGrid1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setFixedHeight(RowHeight);
    header->setHighlightSections(false);
    StringGrid1->setColumnWidth(0, 50);
    for (int c = 1; c < 4; ++c)
        StringGrid1->setColumnWidth(c, 100);
    StringGrid1->setTabKeyNavigation(false);
    const char* const design[] = {"N°", "Constructor", "Motor Size", "Power [W]"};
    for (int c = 0; c < 4; ++c) {
        const QString text = QString::fromUtf8(design[c]);
        StringGrid1->setItem(0, c, Cell(text, true));
        StringGrid1->setHorizontalHeaderItem(c, new QTableWidgetItem(text));
    }
    StringGrid1->setRowHidden(0, true);

    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), 207, 408, 75, 25, f);
    Button2 = MakeButton(this, "Button2", QStringLiteral("Cancel"), 303, 408, 75, 25, f);
    Label2 = new QLabel(QStringLiteral("If you want another motor, press the button \"ADD\""), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    // Centred where it was designed, but wide enough for the longer French hint.
    Label2->setGeometry(123 + 338 / 2 - 280, 448, 560, 16);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(SansFont(13, true));
    Button3 = MakeButton(this, "Button3", QStringLiteral("Add"), 255, 472, 75, 25, f);
    // Enter in the grid must not confirm a motor behind the user's back.
    for (QPushButton* b : {Button1, Button2, Button3})
        b->setAutoDefault(false);
    setTabOrder(StringGrid1, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);

    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int, int) { StringGrid1Click(); });
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        // Keyboard moves change the current row without a click; rebuilding the grid does not count.
        if (!filling_ && row != previous)
            StringGrid1Click();
    });
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm4::Button3Click);
}

void TForm4::SetSelectionTexts()
{
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Select Motor in List"));
        Label1->setText(QStringLiteral("Select a Row"));
        Label2->setText(QStringLiteral("If you want another motor, press the button \"ADD\""));
        Button2->setText(QStringLiteral("Cancel"));
        Button3->setText(QStringLiteral("Add"));
    } else if (FrenchChosen()) {
        setWindowTitle(QStringLiteral("Choisir un moteur dans la liste"));
        Label1->setText(QStringLiteral("Selectionner une ligne"));
        Label2->setText(QStringLiteral("Si vous voulez un autre moteur, pressez le bouton \"Ajouter\""));
        Button2->setText(QStringLiteral("Annuler"));
        Button3->setText(QStringLiteral("Ajouter"));
    }
}

void TForm4::SetHeaderTexts()
{
    StringGrid1->item(0, 0)->setText(QStringLiteral("N°"));
    StringGrid1->horizontalHeaderItem(0)->setText(QStringLiteral("N°"));
    if (EnglishChosen() || FrenchChosen()) {
        const char* const* header = EnglishChosen() ? HeaderEnglish : HeaderFrench;
        for (int c = 1; c < 4; ++c) {
            StringGrid1->item(0, c)->setText(QString::fromUtf8(header[c - 1]));
            StringGrid1->horizontalHeaderItem(c)->setText(QString::fromUtf8(header[c - 1]));
        }
    }
}

void TForm4::FormActivate()
{
    SetSelectionTexts();
    SetHeaderTexts();
    if (raiseReport_) {
        // The remark on the list came up while the dialog was being opened, before the dialog
        // took the activation; it belongs in front of the dialog it is about.
        raiseReport_ = false;
        for (QMessageBox* box : findChildren<QMessageBox*>(QStringLiteral("ListReportBox")))
            if (box->isVisible()) {
                box->raise();
                box->activateWindow();
            }
    }
}

void TForm4::RememberMotor()
{
    if (isVisible())
        return;
    CopyMotor(MotorData, opening_);
    remembered_ = true;
}

void TForm4::FormShow()
{
    // Opened without RememberMotor (by a test, say): the motor as it is now.
    if (!remembered_)
        CopyMotor(MotorData, opening_);
    remembered_ = false;
    CopyMotor(MotorData, leftInMemory_);
    picked_ = false;
    // The list is read at each opening, so that a motor saved meanwhile is listed; coming back to
    // the open dialog keeps the grid and the row the user highlighted.
    ReadList();
    raiseReport_ = !lastReport_.isEmpty();
    MotorData.DataChanged = false;
    StringGrid1->setFocus();
}

void TForm4::reject()
{
    Button2Click();
}

void TForm4::showEvent(QShowEvent* e)
{
    reportedThisShowing_ = false;
    TModelessForm::showEvent(e);
}

void TForm4::ClearRows()
{
    for (std::vector<std::string>* column :
         {&MotorData.ListConstructorName, &MotorData.ListMotorSize, &MotorData.ListMechanicalPower,
          &MotorData.ListLineVoltage, &MotorData.ListFrequency, &MotorData.ListLineCurrent,
          &MotorData.ListPowerFactor, &MotorData.ListRatedSpeed, &MotorData.ListNoLoadLineCurrent, &MotorData.ListRs,
          &MotorData.ListRr, &MotorData.ListXssigma, &MotorData.ListXrsigma, &MotorData.ListXh,
          &MotorData.ListRiron, &MotorData.ListCoupling})
        column->clear();
}

void TForm4::ReadList()
{
    MotorList list;
    QString english, french;
    bool warning = false;
    try {
        list = ReadMotorList(ListFileName);
    } catch (const ListFileError& e) {
        // No list: an empty grid, so that no row of a former reading can still be picked.
        english = QStringLiteral("The motor list cannot be read, no motor is listed:\n") +
                  QString::fromStdString(e.MessageWithNumber(Language::English));
        french = QStringLiteral("La liste des moteurs ne peut pas être lue, aucun moteur n'est affiché :\n") +
                 QString::fromStdString(e.MessageWithNumber(Language::French));
        warning = true;
    } catch (const std::exception& e) {
        english = QStringLiteral("The motor list \"%1\" cannot be read, no motor is listed:\n%2")
                      .arg(ListName(), QString::fromLocal8Bit(e.what()));
        french = QStringLiteral("La liste des moteurs « %1 » ne peut pas être lue, aucun moteur n'est affiché :\n%2")
                     .arg(ListName(), QString::fromLocal8Bit(e.what()));
        warning = true;
    }

    if (!list.skipped.empty()) {
        english = QStringLiteral("These lines of \"%1\" are not motor records and are not listed:").arg(ListName());
        french = QStringLiteral("Ces lignes de « %1 » ne sont pas des moteurs et ne sont pas listées :").arg(ListName());
        const qint64 count = static_cast<qint64>(list.skippedCount);
        for (int i = 0; i < static_cast<int>(list.skipped.size()) && i < MaxReportedLines; ++i) {
            english += QLatin1Char('\n') + QString::fromStdString(list.skipped[i].Reason(Language::English));
            french += QLatin1Char('\n') + QString::fromStdString(list.skipped[i].Reason(Language::French));
        }
        if (count > MaxReportedLines) {
            english += QStringLiteral("\n... and %1 more lines.").arg(count - MaxReportedLines);
            french += QStringLiteral("\n... et %1 lignes de plus.").arg(count - MaxReportedLines);
        }
    }

    filling_ = true;
    const int previousRow = StringGrid1->currentRow();
    const int rows = static_cast<int>(list.records.size());
    StringGrid1->setRowCount(rows + 1);
    StringGrid1->setColumnWidth(0, 50);
    for (int c = 1; c < 4; ++c)
        StringGrid1->setColumnWidth(c, 100);
    SetHeaderTexts();
    for (int r = 1; r <= rows; ++r) {
        const ListRecord& record = list.records[r - 1];
        for (int c = 0; c < 4; ++c)
            StringGrid1->setItem(r, c, Cell(QString::fromStdString(record.fields[c]), c == 0));
        StringGrid1->setRowHeight(r, RowHeight);
    }
    ClearRows();
    StoreListRows(list, MotorData);
    if (const int row = RowToHighlight(previousRow, rows)) {
        StringGrid1->setCurrentCell(row, 1);
        StringGrid1->selectRow(row);
    } else {
        // The motor in memory is not in the list: no row pretends to be it.
        StringGrid1->setCurrentCell(-1, -1);
        StringGrid1->clearSelection();
    }
    FitGridWidth();
    filling_ = false;

    if (english.isEmpty()) {
        lastReport_.clear();
        return;
    }
    Report(english, french, warning);
}

void TForm4::Report(const QString& english, const QString& french, bool warning)
{
    QString text;
    if (EnglishChosen())
        text = english;
    else if (FrenchChosen())
        text = french;
    else
        text = english + QStringLiteral("\n\n") + french;
    if (reportedThisShowing_ && text == lastReport_)
        return;
    reportedThisShowing_ = true;
    lastReport_ = text;
    ShowListMessage(this, text, warning);
}

void TForm4::FitGridWidth()
{
    // The columns fill a client width of 350 pixels; the scroll bar comes on top when needed.
    const int frame = StringGrid1->frameWidth();
    const int visibleHeight = GridHeight - 2 * frame - RowHeight;
    const bool scrolls = (StringGrid1->rowCount() - 1) * RowHeight > visibleHeight;
    const int bar = scrolls ? StringGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, StringGrid1) : 0;
    StringGrid1->setGeometry(GridLeft, GridTop, GridClientWidth + 2 * frame + bar, GridHeight);
}

bool TForm4::RowRecord(int r, ListRecord& record) const
{
    if (r < 1 || r > static_cast<int>(MotorData.ListConstructorName.size()))
        return false;
    const std::size_t i = static_cast<std::size_t>(r - 1);
    record = ListRecord();
    record.lineNumber = r + 1;
    if (QTableWidgetItem* number = StringGrid1->item(r, 0))
        record.fields[0] = number->text().toStdString();
    const std::vector<std::string>* columns[] = {
        &MotorData.ListConstructorName, &MotorData.ListMotorSize, &MotorData.ListMechanicalPower,
        &MotorData.ListLineVoltage, &MotorData.ListFrequency, &MotorData.ListLineCurrent,
        &MotorData.ListPowerFactor, &MotorData.ListRatedSpeed, &MotorData.ListNoLoadLineCurrent, &MotorData.ListRs,
        &MotorData.ListRr, &MotorData.ListXssigma, &MotorData.ListXrsigma, &MotorData.ListXh, &MotorData.ListRiron,
        &MotorData.ListCoupling};
    for (std::size_t k = 0; k < std::size(columns); ++k) {
        if (i >= columns[k]->size())
            return false;
        record.fields[k + 1] = (*columns[k])[i];
    }
    return true;
}

bool TForm4::RowHoldsMotorInMemory(int r) const
{
    ListRecord record;
    if (!RowRecord(r, record))
        return false;
    MotorDataSet listed;
    try {
        CopyRecordToDataSet(record, listed);
    } catch (const EConvertError&) {
        return false;
    }
    const MotorDataSet& d = MotorData;
    if (listed.ConstructorName != d.ConstructorName || listed.MotorSize != d.MotorSize ||
        listed.StarCoupling != d.StarCoupling)
        return false;
    for (double MotorDataSet::*number :
         {&MotorDataSet::MechanicalPower, &MotorDataSet::LineVoltage, &MotorDataSet::LineCurrent,
          &MotorDataSet::PowerFactor, &MotorDataSet::Frequency, &MotorDataSet::RatedSpeed,
          &MotorDataSet::NoLoadLineCurrent, &MotorDataSet::Rs, &MotorDataSet::Rr, &MotorDataSet::Xssigma,
          &MotorDataSet::Xrsigma, &MotorDataSet::Xh, &MotorDataSet::Riron, &MotorDataSet::Rr2,
          &MotorDataSet::Xr2sigma})
        if (!SameNumber(listed.*number, d.*number))
            return false;
    return true;
}

int TForm4::RowToHighlight(int previousRow, int rows) const
{
    if (rows <= 0)
        return 0;
    if (NoMotorInMemory())
        return previousRow >= 1 && previousRow <= rows ? previousRow : 1;
    // A typed motor was not chosen from the list, even when a row happens to hold the same values.
    if (!opening_.MotorFromList)
        return 0;
    if (RowHoldsMotorInMemory(chosenRow_))
        return chosenRow_;
    for (int r = 1; r <= rows; ++r)
        if (RowHoldsMotorInMemory(r))
            return r;
    return 0;
}

void TForm4::StringGrid1Click()
{
    const int r = StringGrid1->currentRow();
    ListRecord record;
    if (!RowRecord(r, record))
        return;
    if (!filling_) {
        // A click on the fixed number column moves the current row without selecting it; the
        // highlight must still show the motor that is copied.
        filling_ = true;
        StringGrid1->selectRow(r);
        filling_ = false;
    }
    // All or nothing: a row whose numbers do not convert leaves the motor as it was.
    MotorDataSet picked = MotorData;
    try {
        CopyRecordToDataSet(record, picked);
    } catch (const EConvertError& e) {
        ShowConvertError(this, e.what());
        return;
    }
    picked.MotorFromList = true;
    MotorData = std::move(picked);
    picked_ = true;
    CopyMotor(MotorData, leftInMemory_);
}

void TForm4::Button1Click()
{
    Refusal refusal;
    if (NoMotorInMemory()) {
        // Nothing in memory: OK takes the highlighted row, as if the user had picked it.
        if (StringGrid1->currentRow() >= 1) {
            StringGrid1Click();
            if (NoMotorInMemory())
                return; // the row did not convert; its message is shown
        } else {
            refusal = ErrNoMotor;
        }
    } else if (!picked_) {
        // The motor in memory is confirmed as it is: a typed one keeps its circuit identified from
        // its rated values, whatever the opening of the list set.
        MotorData.MotorFromList = opening_.MotorFromList;
    }
    if (!refusal)
        refusal = CheckRatedValues(MotorData);
    // The circuit of a listed motor is used as it stands, so it must be computable too.
    if (!refusal && MotorData.MotorFromList)
        refusal = CheckCircuit(MotorData);
    if (refusal) {
        RaiseError(refusal);
        return;
    }
    DeriveRatedValues(MotorData);
    MotorData.MotorIdentified = true;
    MotorData.DataChanged = true;
    MotorData.StartStep = 1;
    // A motor confirmed without a pick keeps where its circuit came from.
    if (picked_)
        ChoicesData.Source = MotorSource::List;
    if (RowHoldsMotorInMemory(StringGrid1->currentRow()))
        chosenRow_ = StringGrid1->currentRow();
    CloseForm();
}

void TForm4::Button2Click()
{
    // The motor that was in memory at the opening comes back, unless another dialog has stored a
    // motor since: the main window never shows one motor while another is in memory.
    if (SameMotor(MotorData, leftInMemory_))
        CopyMotor(opening_, MotorData);
    CloseForm();
}

void TForm4::Button3Click()
{
    // Hidden first: hiding gives the activation back to the main window, which must not then
    // cover the rated values dialog.
    CloseForm();
    // The rated values dialog starts from the motor in memory, the picked row if any; then the
    // motor of the opening comes back, so that nothing the user has not confirmed stays in
    // memory when that dialog is cancelled (its OK marks the typed motor as typed).
    Form2->ShowForm();
    if (SameMotor(MotorData, leftInMemory_))
        CopyMotor(opening_, MotorData);
}
