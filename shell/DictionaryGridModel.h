#pragma once
// The entry grid's model: a view straight over the open dictionary, so a
// list of any size shows at once without copying it into a table.
#include <QAbstractTableModel>
#include <QColor>

class TDictionaryList;

class TDictionaryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { KeywordCol, ShortcutCol, DescriptionCol };

    explicit TDictionaryModel(const TDictionaryList* list, QObject* parent = nullptr);

    // Call after the list changed in any way.
    void Reset();
    void SetShowShortcuts(bool on);
    bool ShowShortcuts() const { return showShortcuts_; }
    // Windows colour values (0x00BBGGRR); a linked colour of 0 means the keyword colour.
    void SetKeywordColors(uint32_t keyword, uint32_t linked);
    // Which column of the view shows what.
    TColumn ColumnKind(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TDictionaryList* list_;
    bool showShortcuts_ = true;
    QColor keyword_ = Qt::red, linked_ = Qt::red;
};
