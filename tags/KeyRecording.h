#pragma once
// The keystroke recorder's memory: keys pressed in other programs, two bytes
// each (modifier byte, virtual key), with a 0, 0 pair where the user switched
// windows; and their conversion into text to type with key, key-down/up and
// pause tags.
#include <QByteArray>
#include <QString>
#include <cstdint>

class TKeyRecording {
public:
    // One key as the hook reports it: the shortcut code with the modifiers
    // held, whether it is a release, the time in ms and the window in front.
    void OnKey(uint16_t code, bool release, qint64 tick, uint32_t foreground);
    int Count() const { return count_; }
    const QByteArray& Buffer() const { return buffer_; }
    // The text the recording types again.
    QString Text() const { return ToText(buffer_); }
    static QString ToText(const QByteArray& buffer);

private:
    void Record(uint16_t code);

    QByteArray buffer_;
    uint16_t last_ = 0;
    qint64 lastTick_ = 0;
    bool ticked_ = false;
    uint32_t foreground_ = 0;
    int count_ = 0;
};
