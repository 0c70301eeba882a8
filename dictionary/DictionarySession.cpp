#include "dictionary/DictionarySession.h"

#include "dictionary/DictFile.h"
#include "dictionary/DictItem.h"
#include "dictionary/DictLinks.h"

#include <QFileInfo>

void TDictionarySession::SetFileName(const QString& path) {
    fileName_ = path;
    if (FileNameChanged) FileNameChanged();
}

void TDictionarySession::SetModified(bool on) {
    modified_ = on;
    if (ModifiedChanged) ModifiedChanged();
}

TLoadResult TDictionarySession::Open(const QString& path, bool headerOnly, TProgress* progress,
                                     TLinkMerge* links) {
    dict_.Clear();
    linkedFiles_.clear();
    SetFileName(QString());
    try {
        const TLoadResult r = DictFile::Load(path, dict_, 0, headerOnly, nullptr, progress);
        if (links && !headerOnly) {
            LoadLinkedDictionaries(dict_, path, *links, progress);
            linkedFiles_ = links->Links;
        }
        DictFile::MarkOpened(dict_, path);
        SetFileName(path);
        return r;
    } catch (...) {
        SetFileName(QString());
        linkedFiles_.clear();
        dict_.Clear();
        throw;
    }
}

void TDictionarySession::Save(const QString& path, bool makeBackup, TProgress* progress) {
    DictFile::SaveDictionary(path, dict_, makeBackup, progress);
    for (int i = 0; i < dict_.Count(); ++i)
        dict_.GetItem(i)->SetReadOnly(false);
    SetModified(false);
}

QString TDictionarySession::LinkedSource(const TDictionaryItem& item) const {
    return ::LinkedSource(item, linkedFiles_);
}

void TDictionarySession::Close() {
    modified_ = false;
    linkedFiles_.clear();
    SetFileName(QString());
    dict_.Clear();
}

QString TDictionarySession::StatusText() const {
    if (modified_) return QStringLiteral(" (modified)");
    if (dict_.GetReadOnly() || (!fileName_.isEmpty() && QFileInfo::exists(fileName_) &&
                                !QFileInfo(fileName_).isWritable()))
        return QStringLiteral(" (READONLY)");
    return QString();
}

bool TDictionarySession::IsHotKey(uint16_t code) const {
    return code != 0 && !shortcutIndex_.empty() && shortcutIndex_.front().first == code;
}

int TDictionarySession::EntryForShortcut(uint16_t code) const {
    if (code == 0) return -1;
    for (size_t i = 1; i < shortcutIndex_.size(); ++i)
        if (shortcutIndex_[i].first == code) return shortcutIndex_[i].second;
    return -1;
}

void TDictionarySession::RebuildShortcutIndex(uint16_t hotKey) {
    shortcutIndex_.clear();
    shortcutIndex_.emplace_back(hotKey, -1);
    for (int i = 0; i < dict_.Count(); ++i)
        if (const uint16_t code = dict_.GetItem(i)->GetShortcut())
            shortcutIndex_.emplace_back(code, i);
}
