#pragma once
// The tag vocabulary: what one tag body turns into.
#include "tags/ParseTxt.h"

#include <array>

// Converts the tags of one parser run. The locale, the clock and the regional
// texts are looked up once per run, so all dates and times of a text agree.
class TTagConverter {
public:
    TTagConverter(bool KeepPlaybackTags, TParserFlags& flags)
        : keep_(KeepPlaybackTags), flags_(flags) {}

    // body: the text between "{@" and the matching "}". Appends the tag's
    // output to out and returns true, or returns false (out untouched) when
    // the body is no tag of this mode or its argument cannot be used, so the
    // tag is typed literally.
    bool Convert(QByteArrayView body, QByteArray& out);

private:
    const QLocale& Locale();
    const QByteArray& Regional(int format);
    double ReadPauseSeconds(QByteArrayView argument);

    bool keep_;
    TParserFlags& flags_;
    std::optional<QLocale> locale_, numberLocale_;
    std::optional<QDateTime> now_;
    std::array<std::optional<QByteArray>, 4> regional_;
};
