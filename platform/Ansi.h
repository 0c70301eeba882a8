#pragma once
// Text inside Brevix is Windows-1252 bytes, so dictionary files, settings and
// playback texts stay byte-compatible; these helpers convert at the GUI and
// X11 boundaries and give the ANSI character classes the engine relies on.
#include <QByteArray>
#include <QString>

namespace Ansi {

QString ToUnicode(const QByteArray& ansi);
QString ToUnicode(const char* ansi, qsizetype len);
// Characters that Windows-1252 cannot hold become '?'.
QByteArray FromUnicode(const QString& text);
QChar CharToUnicode(unsigned char c);
// 0 when the character has no Windows-1252 byte.
unsigned char CharFromUnicode(QChar c);

unsigned char LowerChar(unsigned char c);
unsigned char UpperChar(unsigned char c);
QByteArray Lower(const QByteArray& s);
QByteArray Upper(const QByteArray& s);
bool IsAlphaNumeric(unsigned char c);
bool IsAlpha(unsigned char c);
bool IsUpper(unsigned char c);
// Leading and trailing bytes <= ' ' removed.
QByteArray Trim(const QByteArray& s);
// Every CR dropped, then every LF made CR LF: how multi-line texts from
// scripts are stored.
QByteArray ToCrLf(QByteArray text);

} // namespace Ansi
