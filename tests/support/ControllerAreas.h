#pragma once
// Configuration and text areas for the settings tests: recognisable byte
// patterns with the fields the settings tool reads, placed in a DataFlash image.

#include <QByteArray>

namespace quelnet::test {

inline constexpr int ConfigAddress = 0x0600, ConfigBytes = 8192;
inline constexpr int TextsAddress = 0x2900, TextsBytes = 32768;

inline QByteArray Pattern(int size, int seed) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + i / 256 + seed) & 0xFF);
    return b;
}

struct ConfigFields {
    QByteArray ip, mask, mac;                   // 4, 4 and 6 bytes
    QByteArray controlPassword, configPassword; // zero-padded to 16 bytes
};

inline QByteArray ZeroPadded(const QByteArray& text) {
    QByteArray field = text.left(16);
    field.append(16 - field.size(), '\0');
    return field;
}

// Offsets: IP 0, mask 4, MAC 20, control password 42, configuration password 58.
inline QByteArray ConfigArea(const ConfigFields& f, int seed) {
    QByteArray area = Pattern(ConfigBytes, seed);
    area.replace(0, 4, f.ip);
    area.replace(4, 4, f.mask);
    area.replace(20, 6, f.mac);
    area.replace(42, 16, ZeroPadded(f.controlPassword));
    area.replace(58, 16, ZeroPadded(f.configPassword));
    return area;
}

// A whole DataFlash, erased (0xFF) outside the two areas.
inline QByteArray FlashWith(const QByteArray& config, const QByteArray& texts) {
    QByteArray flash(512 * 1024, char(0xFF));
    flash.replace(ConfigAddress, config.size(), config);
    flash.replace(TextsAddress, texts.size(), texts);
    return flash;
}

inline QByteArray ConfigOf(const QByteArray& flash) {
    return flash.mid(ConfigAddress, ConfigBytes);
}
inline QByteArray TextsOf(const QByteArray& flash) {
    return flash.mid(TextsAddress, TextsBytes);
}

} // namespace quelnet::test
