#include "BinaryFiles.h"

#include "core/firmware/ProgramImage.h"

#include <array>

namespace quelnet::content {

namespace {

void PutText(QByteArray& bytes, int offset, const QByteArray& text, int field) {
    bytes.replace(offset, field, text.leftJustified(field, '\0', true));
}

// FNV-1a, so that the image depends only on its texts.
std::uint32_t Seed(const QByteArray& text) {
    std::uint32_t h = 2166136261u;
    for (char c : text)
        h = (h ^ uchar(c)) * 16777619u;
    return h;
}

void PutAddress(QByteArray& bytes, int offset, std::array<int, 4> address) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char(address[size_t(i)]);
}

} // namespace

QByteArray ProgramImage(const QString& versionText, const QString& variantText) {
    QByteArray image(program::ImageSize, char(0xFF));
    // Instruction-like words from a small set, so the image packs about as well as code.
    static const quint16 kWords[] = {0x940C, 0x9508, 0xE080, 0x2799, 0x0F88, 0x1F99, 0x9180, 0x9390,
                                     0x3081, 0xF409, 0xCFFF, 0x920F, 0x900F, 0xB60F, 0x0000, 0x95C8};
    std::uint32_t state = Seed((versionText + QLatin1Char('/') + variantText).toLatin1());
    for (int i = 0; i < int(firmware::CheckWordOffset); i += 2) {
        state = state * 1664525u + 1013904223u;
        const quint16 word =
            kWords[(state >> 24) % 16] ^ quint16((state >> 8) & ((state >> 28) ? 0x000F : 0x0FFF));
        image[i] = char(word & 0xFF);
        image[i + 1] = char(word >> 8);
    }
    PutText(image, program::VersionTextOffset, versionText.toLatin1(), program::TextFieldSize);
    PutText(image, program::VariantTextOffset, variantText.toLatin1(), program::TextFieldSize);
    PutText(image, int(firmware::CheckWordOffset), {}, 4);
    return image;
}

QByteArray DefaultConfiguration() {
    QByteArray config(8192, '\0');
    PutAddress(config, 0, {192, 168, 0, 177});
    PutAddress(config, 4, {255, 255, 255, 0});
    for (int offset : {8, 12, 16})
        PutAddress(config, offset, {192, 168, 0, 1});
    PutText(config, 26, "QUELNET_1", 16);
    PutText(config, 42, "3958", 16);
    PutText(config, 58, "kpnv", 16);
    return config;
}

} // namespace quelnet::content
