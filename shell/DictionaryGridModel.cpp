#include "shell/DictionaryGridModel.h"
#include "dictionary/DictList.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "typing/gui/SuggestStyle.h"

using SuggestStyle::FromWinColor;

TDictionaryModel::TDictionaryModel(const TDictionaryList* list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

void TDictionaryModel::Reset() {
    beginResetModel();
    endResetModel();
}

void TDictionaryModel::SetShowShortcuts(bool on) {
    if (on == showShortcuts_) return;
    beginResetModel();
    showShortcuts_ = on;
    endResetModel();
}

void TDictionaryModel::SetKeywordColors(uint32_t keyword, uint32_t linked) {
    keyword_ = FromWinColor(keyword);
    linked_ = linked == 0 ? keyword_ : FromWinColor(linked);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::ForegroundRole});
}

TDictionaryModel::TColumn TDictionaryModel::ColumnKind(int column) const {
    if (column == 0) return KeywordCol;
    if (showShortcuts_ && column == 1) return ShortcutCol;
    return DescriptionCol;
}

int TDictionaryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !list_ ? 0 : list_->Count();
}

int TDictionaryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (showShortcuts_ ? 3 : 2);
}

QVariant TDictionaryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TDictionaryItem* item = list_->GetItem(index.row());
    const TColumn kind = ColumnKind(index.column());
    if (role == Qt::DisplayRole) {
        switch (kind) {
        case KeywordCol:
            return Ansi::ToUnicode(item->GetKeyword());
        case ShortcutCol:
            return item->GetShortcut() ? Ansi::ToUnicode(KeyCodeToText(item->GetShortcut()))
                                       : QString();
        case DescriptionCol:
            return Ansi::ToUnicode(item->GetDisplayDescription());
        }
    }
    if (role == Qt::ForegroundRole) {
        if (kind == KeywordCol) return item->GetLinked() ? linked_ : keyword_;
        return QColor(Qt::black);
    }
    if (role == Qt::ToolTipRole && kind == KeywordCol && item->GetLinked())
        return tr("Linked entry (read-only)");
    return {};
}

QVariant TDictionaryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (ColumnKind(section)) {
    case KeywordCol:
        return tr("Keyword");
    case ShortcutCol:
        return tr("Shortcut");
    case DescriptionCol:
        return tr("Description");
    }
    return {};
}
