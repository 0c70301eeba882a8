#pragma once
// A list with check marks before the chosen items, group headers that cannot
// be chosen (bold when wanted), tabs expanded to its tab stops, and columns.
#include <QListWidget>

class TPickList : public QListWidget {
    Q_OBJECT
public:
    explicit TPickList(QWidget* parent = nullptr);

    void SetMultiple(bool multiple);
    bool Multiple() const { return multiple_; }
    void AddItem(const QString& text, bool header);
    bool IsHeader(int row) const;
    void SetBoldHeaders(bool on);
    bool BoldHeaders() const { return boldHeaders_; }
    void SetColumns(int columns);
    int Columns() const { return columns_; }
    // Pixels; throws EBrevix(" is an invalid tab stop") for a value below 1.
    void SetTabStop(int pixels);
    int TabStop() const { return tabStop_; }

    // Chosen rows in list order; headers never count.
    QList<int> Chosen() const;
    void Choose(int row, bool on);
    void ChooseAll();
    // Looks for text as a prefix (any letter case) from the start; -1 when none.
    int FindPrefix(const QString& text) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateGrid();
    bool multiple_ = true;
    bool boldHeaders_ = false;
    int columns_ = 1;
    int tabStop_ = 48;
};
