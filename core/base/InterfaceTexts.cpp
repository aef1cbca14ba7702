#include "core/base/InterfaceTexts.h"

#include <charconv>
#include <cmath>
#include <string>

namespace quelnet {

namespace {

QLocale& localeSlot() {
    static QLocale locale = QLocale::system();
    return locale;
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

const QLocale& UserLocale() {
    return localeSlot();
}

void SetUserLocale(const QLocale& locale) {
    localeSlot() = locale;
}

std::int64_t TextToInt64(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    std::uint64_t value = 0; // unsigned arithmetic: out-of-range input wraps instead of overflowing
    for (; i < n; ++i) {
        const int d = hexValue(text[i]);
        if (d < 0 || d >= base)
            break;
        value = value * std::uint64_t(base) + std::uint64_t(d);
    }
    if (negative)
        value = ~value + 1;
    return static_cast<std::int64_t>(value);
}

long double TextToFloat(const QString& text) {
    const QChar sep = UserLocale().decimalPoint().isEmpty() ? QChar(u'.') : UserLocale().decimalPoint().at(0);
    // Only blanks may surround the number; a tab or a line break does not.
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    const QString t = text.mid(from, to - from);
    // Accept: [sign] digits [sep digits] [(e|E) [sign] digits]; at least one digit in the mantissa.
    std::string ascii;
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto isDigit = [&](qsizetype k) { return k < n && t[k] >= u'0' && t[k] <= u'9'; };
    if (i < n && (t[i] == u'-' || t[i] == u'+'))
        ascii += char(t[i++].unicode());
    int mantissaDigits = 0;
    while (isDigit(i)) {
        ascii += char(t[i++].unicode());
        ++mantissaDigits;
    }
    if (i < n && t[i] == sep) {
        ascii += '.';
        ++i;
        while (isDigit(i)) {
            ascii += char(t[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < n && (t[i] == u'-' || t[i] == u'+'))
            ascii += char(t[i++].unicode());
        if (!isDigit(i))
            return 0;
        while (isDigit(i))
            ascii += char(t[i++].unicode());
    }
    if (i != n)
        return 0;
    // The text is in the form the C library's "C" locale reads; from_chars
    // reads that form whatever locale the process runs under (the toolkit sets
    // the C library's numeric locale to the user's, where strtold would stop
    // at the point). A leading "+" is not part of that form.
    const char* first = ascii.data() + (ascii.front() == '+' ? 1 : 0);
    const char* last = ascii.data() + ascii.size();
    long double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return 0; // out of range (too large or too small) as well
    return value;
}

float SingleOrZero(long double value) {
    const float single = static_cast<float>(value);
    return std::isfinite(single) ? single : 0.0f;
}

float TextToSingle(const QString& text) {
    return SingleOrZero(TextToFloat(text));
}

} // namespace quelnet
