#pragma once
// The supply network dialog: the source, an optional transformer and an optional cable between
// the source and the motor, the limit of the busbar voltage dip, and a "stiff supply" choice that
// switches the network off while keeping what was typed. A single-line diagram drawn by the
// program follows the choices as they are made.

#include "ModelessForm.h"

#include <QString>
#include <QWidget>

#include <map>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TPicture;

// The single-line diagram: source, transformer, busbar, cable, starter, motor from top to bottom;
// the parts not in use are drawn grey.
class TNetworkDiagram : public QWidget {
    Q_OBJECT
  public:
    struct State {
        bool network = false; // false: stiff supply
        bool transformer = false;
        bool cable = false;
        QString source, transformerText, cableText, motorText; // the values beside each part
    };
    explicit TNetworkDiagram(QWidget* parent);
    void SetState(const State& state);
    const State& CurrentState() const { return state_; }
    QSize sizeHint() const override { return {300, 420}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    State state_;
};

class TNetworkForm : public TModelessForm {
    Q_OBJECT
  public:
    TNetworkForm();
    void FormActivate() override;
    void FormShow() override;
    void Button1Click(); // OK
    void Button2Click(); // Cancel

    QLabel* Title;
    QCheckBox* StiffSupply;
    QGroupBox *SourceBox, *TransformerBox, *CableBox;
    QLabel *VoltageLabel, *PowerLabel, *RxLabel, *VoltageNote, *PowerNote;
    QLineEdit *VoltageEdit, *PowerEdit, *RxEdit;                                         // V, MVA, --
    QLabel *TPowerLabel, *UkLabel, *UrLabel;                                             // transformer
    QLineEdit *TPowerEdit, *UkEdit, *UrEdit;                                             // kVA, %, %
    QLabel *LengthLabel, *SectionLabel, *MaterialLabel, *ParallelLabel, *ReactanceLabel; // cable
    QLineEdit *LengthEdit, *SectionEdit, *ParallelEdit, *ReactanceEdit;                  // m, mm2, --, ohm/km
    QRadioButton *Copper, *Aluminium;
    QLabel* DipLabel;
    QLineEdit* DipEdit; // %
    TNetworkDiagram* Diagram;
    QPushButton *Button1, *Button2;
    TPicture* Image1;

  private:
    void UpdateParts();
    void UpdateNotes();
    void UpdateDiagram();
    // Keeps the field's number when it reads as one; the diagram shows the last kept.
    void Accept(const QLineEdit* edit);
    // That number as the dialog writes numbers; empty when the field never held one.
    QString Accepted(const QLineEdit* edit) const;

    QString motorVoltage_; // the motor's line voltage as the voltage field shows it (empty: no motor)
    std::map<const QLineEdit*, double> accepted_;
};
