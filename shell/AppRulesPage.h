#pragma once
// The "Applications" page of the preferences: the per-application rules,
// password fields and the clipboard kept after a paste.
#include "typing/AppRules.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

class TAppRulesPage : public QWidget {
    Q_OBJECT
public:
    enum TColumn { colApplication, colField, colAction, colPasteKey, colCount };

    TAppRulesPage(const TAppRules& rules, const TAppOptions& options, const QStringList& problems,
                  QWidget* parent = nullptr);

    // The rules as the grid holds them; false with the first fault (its row
    // selected) when a row is not a rule. Rows without an application are left out.
    bool Rules(TAppRules& out, QString& error) const;
    TAppOptions Options() const;

    void AddRule();
    void RemoveRule(int row);
    void MoveRule(int row, int by);
    void RestoreDefaults();

    QTableWidget* RulesGrid = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* RemoveBtn = nullptr;
    QPushButton* UpBtn = nullptr;
    QPushButton* DownBtn = nullptr;
    QPushButton* DefaultsBtn = nullptr;
    QCheckBox* PasswordChk = nullptr;
    QCheckBox* RestoreClipboardChk = nullptr;
    QSpinBox* ClipboardLimitEdit = nullptr;
    QLabel* ProblemsLbl = nullptr;

private:
    void Fill(const TAppRules& rules);
    void SetRow(int row, const TAppRule& rule);
    TAppRule RowRule(int row, bool& ok, QString& error) const;
    void UpdateEnabled();
    void FixTabOrder();
};
