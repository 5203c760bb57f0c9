#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// Bytes written the way the protocols are documented: "74 06 25 34 12 01 E6".
inline QByteArray Hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

inline std::vector<uint8_t> ToVector(const QByteArray& bytes) {
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline QByteArray FromVector(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}
