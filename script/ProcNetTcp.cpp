#include "script/ProcNetTcp.h"

#include <QFile>
#include <QList>
#include <QtEndian>
#include <cstring>

namespace {

constexpr qint64 MaxListingSize = 32 * 1024 * 1024;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Exactly `digits` hexadecimal digits, nothing else.
std::optional<quint32> Hex(QByteArrayView text, qsizetype digits) {
    if (text.size() != digits) return std::nullopt;
    quint32 v = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        v = v << 4 | quint32(d);
    }
    return v;
}
std::optional<quint32> Hex32(QByteArrayView text) {
    return Hex(text, 8);
}

// The kernel prints each 32-bit word of the address in host byte order.
std::optional<QHostAddress> ParseAddress(QByteArrayView hex) {
    if (hex.size() == 8) {
        const auto word = Hex32(hex);
        if (!word) return std::nullopt;
        quint8 bytes[4];
        std::memcpy(bytes, &*word, 4);
        return QHostAddress(qFromBigEndian<quint32>(bytes));
    }
    if (hex.size() == 32) {
        quint8 bytes[16];
        for (int i = 0; i < 4; ++i) {
            const auto word = Hex32(hex.sliced(i * 8, 8));
            if (!word) return std::nullopt;
            std::memcpy(bytes + i * 4, &*word, 4);
        }
        return QHostAddress(bytes);
    }
    return std::nullopt;
}

std::optional<TTcpEndpoint> ParseEndpoint(QByteArrayView text) {
    const qsizetype colon = text.indexOf(':');
    if (colon < 0) return std::nullopt;
    const auto address = ParseAddress(text.first(colon));
    const auto port = Hex(text.sliced(colon + 1), 4);
    if (!address || !port) return std::nullopt;
    return TTcpEndpoint{*address, quint16(*port)};
}

bool Matches(const std::optional<TTcpEndpoint>& e, const TTcpEndpoint& want) {
    return e && e->Port == want.Port && SameAddress(e->Address, want.Address);
}

std::optional<uint> OwnerIn(const QString& path, const TTcpEndpoint& local,
                            const TTcpEndpoint& remote) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return FindTcpSocketOwner(file.read(MaxListingSize), local, remote);
}

} // namespace

bool SameAddress(const QHostAddress& a, const QHostAddress& b) {
    return !a.isNull() && a.isEqual(b, QHostAddress::TolerantConversion);
}

std::optional<uint> FindTcpSocketOwner(const QByteArray& listing, const TTcpEndpoint& local,
                                       const TTcpEndpoint& remote) {
    // "sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ..."
    const QList<QByteArray> lines = listing.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QList<QByteArray> fields = lines[n].simplified().split(' ');
        if (fields.size() < 8) continue;
        if (!Matches(ParseEndpoint(fields[1]), local) || !Matches(ParseEndpoint(fields[2]), remote))
            continue;
        bool ok = false;
        const uint uid = fields[7].toUInt(&ok);
        if (ok) return uid;
    }
    return std::nullopt;
}

std::optional<uint> TcpSocketOwner(const TTcpEndpoint& local, const TTcpEndpoint& remote) {
    if (auto uid = OwnerIn(QStringLiteral("/proc/net/tcp"), local, remote)) return uid;
    return OwnerIn(QStringLiteral("/proc/net/tcp6"), local, remote);
}
