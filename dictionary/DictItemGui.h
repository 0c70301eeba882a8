#pragma once
// An entry's text meets the widgets here, converted between Windows-1252
// and Unicode; the entry itself stays free of any window.
class QPlainTextEdit;
class TDictionaryItem;

namespace DictItemGui {
void TextToControl(const TDictionaryItem& item, QPlainTextEdit& control);
void TextFromControl(TDictionaryItem& item, const QPlainTextEdit& control);
// Plain text on the clipboard.
void CopyTextToClipboard(const TDictionaryItem& item);
} // namespace DictItemGui
