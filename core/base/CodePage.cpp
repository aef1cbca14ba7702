#include "core/base/CodePage.h"

#include <array>
#include <iconv.h>

namespace quelnet {

namespace {

constexpr const char* kAnsi = "WINDOWS-1250";

// The 128 upper characters of Windows-1250, built once through iconv; the
// conversion both ways is then a table lookup. Built on the first character
// outside ASCII, which both sides write alike: opening the converter loads
// modules of the C library, a cost that a command-line call about plain
// ASCII texts does not pay.
struct AnsiTable {
    std::array<char16_t, 256> toUnicode{};
    bool ok = false;

    AnsiTable() {
        iconv_t cd = iconv_open("UTF-16LE", kAnsi);
        if (cd == iconv_t(-1))
            return;
        for (int b = 0; b < 256; ++b) {
            char in = char(b);
            char out[4] = {};
            char* pin = &in;
            char* pout = out;
            size_t inLeft = 1, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &pin, &inLeft, &pout, &outLeft) == size_t(-1) || outLeft != 2)
                toUnicode[b] = 0; // undefined position of the code page
            else
                toUnicode[b] = char16_t(uchar(out[0]) | uchar(out[1]) << 8);
        }
        iconv_close(cd);
        ok = true;
    }
};

const AnsiTable& table() {
    static const AnsiTable t;
    return t;
}

} // namespace

QByteArray ToAnsi(const QString& text) {
    // One byte per UTF-16 unit, written in place (a whole file goes through here).
    QByteArray out(text.size(), Qt::Uninitialized);
    char* d = out.data();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            *d++ = char(u);
            continue;
        }
        const AnsiTable& t = table();
        char b = '?';
        if (t.ok) {
            for (int i = 0x80; i < 256; ++i)
                if (t.toUnicode[i] == u) {
                    b = char(i);
                    break;
                }
        }
        *d++ = b;
    }
    return out;
}

QString FromAnsi(const QByteArray& bytes) {
    // One character per byte, written in place (a panel file is read through here).
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (char c : bytes) {
        const uchar b = uchar(c);
        if (b < 0x80) {
            *d++ = QChar(b);
            continue;
        }
        const AnsiTable& t = table();
        if (!t.ok)
            *d++ = QChar(b);
        else
            *d++ = t.toUnicode[b] ? QChar(t.toUnicode[b]) : QChar(u'?');
    }
    return out;
}

} // namespace quelnet
