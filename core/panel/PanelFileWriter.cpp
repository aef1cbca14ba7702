// Writing the panel file: path, real numbers and the text.
#include "core/base/CodePage.h"
#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"
#include "core/panel/PanelFileKeys.h"

#include <QStringBuilder>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quelnet {

namespace {

QString DecimalSeparator() {
    const QString p = UserLocale().decimalPoint();
    return p.isEmpty() ? QStringLiteral(".") : p;
}

void AppendRect(QStringList& lines, int x, int y, int w, int h) {
    lines << (QLatin1String("x_px=") % QString::number(x)) << (QLatin1String("x_py=") % QString::number(y))
          << (QLatin1String("x_pw=") % QString::number(w)) << (QLatin1String("x_ph=") % QString::number(h));
}

} // namespace

QString FormatPanelReal(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    // 15 significant digits, rounded once: d.dddddddddddddd E exponent.
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.14E", value);
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::string digits;
    for (; *p && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    const int exponent = *p == 'E' ? std::atoi(p + 1) : 0;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const QString sep = DecimalSeparator();
    QString out = negative ? QStringLiteral("-") : QString();
    const QString d = QString::fromLatin1(digits);
    if (exponent < -5 || exponent >= 15) {
        out += d.left(1);
        if (d.size() > 1)
            out += sep + d.mid(1);
        out += QStringLiteral("E") + QString::number(exponent);
    } else if (exponent >= 0) {
        const int intDigits = exponent + 1;
        if (d.size() <= intDigits) {
            out += d + QString(intDigits - d.size(), QChar(u'0'));
        } else {
            out += d.left(intDigits) + sep + d.mid(intDigits);
        }
    } else {
        out += QStringLiteral("0") + sep + QString(-exponent - 1, QChar(u'0')) + d;
    }
    return out;
}

void AppendElementBlock(QStringList& lines, const PanelElementPlace& e, const ElementRecords& records) {
    if (!IsElementKind(e.Kind) || e.Slot < 0 || e.Slot >= records.Count(e.Kind))
        return;
    lines << QStringLiteral("{") << QStringLiteral("x_tp=") + QString::fromLatin1(KindFileTags[e.Kind]);
    AppendRect(lines, e.Rect.x(), e.Rect.y(), e.Rect.width(), e.Rect.height());
    WriteRecordKeys(records, e.Kind, e.Slot, lines);
    lines << QStringLiteral("}");
}

QByteArray FormatPanelFile(const PanelWindowPlace& window, const std::vector<PanelElementPlace>& elements,
                           const ElementRecords& records) {
    QStringList lines;
    lines << QStringLiteral("{") << QStringLiteral("x_tp=scr");
    AppendRect(lines, window.Left, window.Top, window.Width, window.Height);
    lines << QStringLiteral("s_ws=") + QString::number(window.State) << QStringLiteral("}");

    for (const PanelElementPlace& e : elements)
        AppendElementBlock(lines, e, records);

    // One text for the whole file, converted to the code page once: no line
    // holds a line break (text values are written with blanks for them).
    lines << QString();
    return ToAnsi(lines.join(QStringLiteral("\r\n")));
}

} // namespace quelnet
