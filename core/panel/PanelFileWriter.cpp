// Writing the panel file: path, real numbers and the text.
#include "core/base/CodePage.h"
#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"
#include "core/panel/PanelFileKeys.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quelnet {

namespace {

QString DecimalSeparator() {
    const QString p = UserLocale().decimalPoint();
    return p.isEmpty() ? QStringLiteral(".") : p;
}

void AppendLine(QString& text, QLatin1String key, int value) {
    text += key;
    text += QString::number(value);
    text += QLatin1String("\r\n");
}

void AppendRect(QString& text, int x, int y, int w, int h) {
    AppendLine(text, QLatin1String("x_px="), x);
    AppendLine(text, QLatin1String("x_py="), y);
    AppendLine(text, QLatin1String("x_pw="), w);
    AppendLine(text, QLatin1String("x_ph="), h);
}

// The block's lines, each ending in CR LF.
void AppendBlockText(QString& text, const PanelElementPlace& e, const ElementRecords& records) {
    if (!IsElementKind(e.Kind) || e.Slot < 0 || e.Slot >= records.Count(e.Kind))
        return;
    text += QLatin1String("{\r\nx_tp=");
    text += QLatin1String(KindFileTags[e.Kind]);
    text += QLatin1String("\r\n");
    AppendRect(text, e.Rect.x(), e.Rect.y(), e.Rect.width(), e.Rect.height());
    WriteRecordKeys(records, e.Kind, e.Slot, text);
    text += QLatin1String("}\r\n");
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
    QString text;
    AppendBlockText(text, e, records);
    text.chop(2); // the last line's end
    if (!text.isEmpty())
        lines << text.split(QLatin1String("\r\n")); // no value holds a line break
}

QByteArray FormatPanelFile(const PanelWindowPlace& window, const std::vector<PanelElementPlace>& elements,
                           const ElementRecords& records) {
    // One text for the whole file, converted to the code page once.
    QString text;
    text.reserve(qsizetype(elements.size()) * 256 + 128);
    text += QLatin1String("{\r\nx_tp=scr\r\n");
    AppendRect(text, window.Left, window.Top, window.Width, window.Height);
    AppendLine(text, QLatin1String("s_ws="), window.State);
    text += QLatin1String("}\r\n");
    for (const PanelElementPlace& e : elements)
        AppendBlockText(text, e, records);
    return ToAnsi(text);
}

} // namespace quelnet
