#pragma once
// Caret bookmarks: a marker put into an edit control's text at the caret
// keeps the caret's place while the text is rewritten around it. The caller
// reads and writes the control; these functions see its text and caret.
#include <QString>
#include <cstdint>

// "{@BOOKMARK$1F}" for bookmark 0x1F.
QString BookmarkMarker(uint32_t n);

// Counts the program's bookmarks on (the first is 1) and inserts the new
// marker at caret, which then stands after it, as after typing. Returns n.
uint32_t InsertBookmark(QString& text, qsizetype& caret);

// Finds bookmark n (any letter case), removes it and puts caret where it
// stood. When absent, the text is unchanged, caret is 0 and false returned.
bool FindBookmark(QString& text, qsizetype& caret, uint32_t n);
