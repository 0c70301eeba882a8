#pragma once
// A caption whose mnemonic takes the keyboard to the control it names.
#include <QLabel>

inline QLabel* BuddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}
