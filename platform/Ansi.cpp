#include "platform/Ansi.h"
#include "platform/Cp1252.h"

namespace Ansi {

QChar CharToUnicode(unsigned char c) {
    return QChar(Cp1252::ToUnicode(c));
}

unsigned char CharFromUnicode(QChar ch) {
    return Cp1252::FromUnicode(ch.unicode());
}

QString ToUnicode(const char* ansi, qsizetype len) {
    QString out;
    out.resize(len);
    QChar* d = out.data();
    for (qsizetype i = 0; i < len; ++i)
        d[i] = CharToUnicode(static_cast<unsigned char>(ansi[i]));
    return out;
}

QString ToUnicode(const QByteArray& ansi) {
    return ToUnicode(ansi.constData(), ansi.size());
}

QByteArray FromUnicode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        if (ch.unicode() == 0) {
            out.append('\0');
            continue;
        }
        const unsigned char c = CharFromUnicode(ch);
        out.append(c ? static_cast<char>(c) : '?');
    }
    return out;
}

unsigned char LowerChar(unsigned char c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    switch (c) {
    case 0x8A:
        return 0x9A; // Š
    case 0x8C:
        return 0x9C; // Œ
    case 0x8E:
        return 0x9E; // Ž
    case 0x9F:
        return 0xFF; // Ÿ
    default:
        break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    return c;
}

unsigned char UpperChar(unsigned char c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    switch (c) {
    case 0x9A:
        return 0x8A;
    case 0x9C:
        return 0x8C;
    case 0x9E:
        return 0x8E;
    case 0xFF:
        return 0x9F;
    default:
        break;
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    return c;
}

QByteArray Lower(const QByteArray& s) {
    QByteArray r = s;
    for (char& c : r)
        c = static_cast<char>(LowerChar(static_cast<unsigned char>(c)));
    return r;
}

QByteArray Upper(const QByteArray& s) {
    QByteArray r = s;
    for (char& c : r)
        c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
    return r;
}

bool IsAlpha(unsigned char c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return CharToUnicode(c).isLetter();
}

bool IsAlphaNumeric(unsigned char c) {
    if (c < 0x80) return IsAlpha(c) || (c >= '0' && c <= '9');
    return CharToUnicode(c).isLetterOrNumber();
}

bool IsUpper(unsigned char c) {
    return IsAlpha(c) && LowerChar(c) != c;
}

QByteArray Trim(const QByteArray& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.mid(b, e - b);
}

QByteArray ToCrLf(QByteArray text) {
    text.replace("\r", "");
    return text.replace("\n", "\r\n");
}

} // namespace Ansi
