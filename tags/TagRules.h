#pragma once
// The tag vocabulary: what one tag body turns into.
#include "tags/ParseTxt.h"

// body: the text between "{@" and the matching "}". Appends the tag's output
// to out and returns true, or returns false (out untouched) when the body is
// no tag of this mode or its argument cannot be used, so the tag is typed
// literally.
bool ConvertTagBody(QByteArrayView body, bool KeepPlaybackTags, TParserFlags& flags,
                    QByteArray& out);
