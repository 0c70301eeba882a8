#include "script/ProcNetTcp.h"

#include "script/SockDiag.h"

#include <QFile>
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

// "ADDRESS:PORT"; the port is checked first, as it rules out nearly every line.
bool Matches(QByteArrayView text, const TTcpEndpoint& want) {
    const qsizetype colon = text.indexOf(':');
    if (colon < 0) return false;
    const auto port = Hex(text.sliced(colon + 1), 4);
    if (!port || *port != want.Port) return false;
    const auto address = ParseAddress(text.first(colon));
    return address && SameAddress(*address, want.Address);
}

// The first `count` blank-separated fields of `line`; fewer when it is short.
qsizetype Fields(QByteArrayView line, QByteArrayView* out, qsizetype count) {
    qsizetype n = 0, i = 0;
    while (n < count) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size()) break;
        const qsizetype start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        out[n++] = line.sliced(start, i - start);
    }
    return n;
}

std::optional<uint> OwnerIn(const QString& path, const TTcpEndpoint& local,
                            const TTcpEndpoint& remote) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    // /proc files report no size: read in pieces, up to a bound.
    QByteArray listing;
    while (listing.size() < MaxListingSize) {
        const QByteArray piece = file.read(64 * 1024);
        if (piece.isEmpty()) break;
        listing += piece;
    }
    return FindTcpSocketOwner(listing, local, remote);
}

} // namespace

bool SameAddress(const QHostAddress& a, const QHostAddress& b) {
    return !a.isNull() && a.isEqual(b, QHostAddress::ConvertV4MappedToIPv4);
}

std::optional<uint> FindTcpSocketOwner(const QByteArray& listing, const TTcpEndpoint& local,
                                       const TTcpEndpoint& remote) {
    // "sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ..."
    const QByteArrayView all(listing);
    qsizetype pos = all.indexOf('\n'); // the first line is the header
    while (pos >= 0 && pos < all.size()) {
        const qsizetype next = all.indexOf('\n', pos + 1);
        const QByteArrayView line = all.sliced(pos + 1, (next < 0 ? all.size() : next) - pos - 1);
        pos = next;
        QByteArrayView f[8];
        if (Fields(line, f, 8) < 8 || !Matches(f[1], local) || !Matches(f[2], remote)) continue;
        bool ok = false;
        const uint uid = f[7].toByteArray().toUInt(&ok);
        if (ok) return uid;
    }
    return std::nullopt;
}

std::optional<uint> TcpSocketOwner(const TTcpEndpoint& local, const TTcpEndpoint& remote) {
    const TSockDiagAnswer asked = SockDiagOwner(local, remote);
    if (asked.Answered) return asked.Uid;
    if (auto uid = OwnerIn(QStringLiteral("/proc/net/tcp"), local, remote)) return uid;
    return OwnerIn(QStringLiteral("/proc/net/tcp6"), local, remote);
}
