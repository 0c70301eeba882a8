#include "tags/Bookmarks.h"

#include <algorithm>
#include <atomic>

namespace {
std::atomic<uint32_t> gBookmarkCounter{0};
} // namespace

QString BookmarkMarker(uint32_t n) {
    return QStringLiteral("{@BOOKMARK$%1}").arg(n, 0, 16).toUpper();
}

uint32_t InsertBookmark(QString& text, qsizetype& caret) {
    const uint32_t n = ++gBookmarkCounter;
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    const QString marker = BookmarkMarker(n);
    text.insert(caret, marker);
    caret += marker.size();
    return n;
}

bool FindBookmark(QString& text, qsizetype& caret, uint32_t n) {
    caret = 0;
    const QString marker = BookmarkMarker(n);
    const qsizetype at = text.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0) return false;
    text.remove(at, marker.size());
    caret = at;
    return true;
}
