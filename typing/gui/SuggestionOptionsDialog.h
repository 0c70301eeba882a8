#pragma once
// "Suggestion Window Options": the modifier keys held with F1..F9 to choose
// a suggestion.
#include <QDialog>
#include <cstdint>

class QCheckBox;
class QLabel;

class TSuggestionOptionsDlg : public QDialog {
    Q_OBJECT
public:
    // shiftState: Shift 1, Alt 2, Ctrl 4.
    explicit TSuggestionOptionsDlg(uint8_t shiftState, QWidget* parent = nullptr);
    // The set the boxes show; the caller stores it only after OK.
    uint8_t ShiftState() const;

    QCheckBox* CtrlChk = nullptr;
    QCheckBox* AltChk = nullptr;
    QCheckBox* ShiftChk = nullptr;
    QLabel* ExampleLbl = nullptr;

private:
    void UpdateExample();
};
