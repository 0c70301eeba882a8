#include "dictionary/EntryClipboardGui.h"

#include "dictionary/EntryClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace EntryClipboardGui {

void Put(const QByteArray& block) {
    auto* data = new QMimeData;
    data->setData(QLatin1String(EntryClipboard::MimeType), block);
    QGuiApplication::clipboard()->setMimeData(data); // takes ownership
}

std::optional<QByteArray> Get() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString type = QLatin1String(EntryClipboard::MimeType);
    if (!data || !data->hasFormat(type)) return std::nullopt;
    return data->data(type);
}

bool HasEntries() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QLatin1String(EntryClipboard::MimeType));
}

} // namespace EntryClipboardGui
