#include "cli/Arguments.h"

#include "cli/CliTexts.h"

#include <QLocale>
#include <cmath>

namespace quelnet::cli {

namespace {

const OptionSpec* Find(const QList<OptionSpec>& known, const QString& name) {
    for (const OptionSpec& o : known)
        if (o.name == name)
            return &o;
    return nullptr;
}

bool IsOperand(const QString& token) {
    if (!token.startsWith(u'-') || token == QLatin1String("-"))
        return true;
    return token.size() > 1 && (token[1].isDigit() || token[1] == u'.');
}

bool AllDigits(const QString& text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

ParsedArguments ParseArguments(const QStringList& arguments, const QList<OptionSpec>& known) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& token = arguments[i];
        if (optionsEnded || IsOperand(token)) {
            parsed.words << token;
            continue;
        }
        if (token == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (token == QLatin1String("-h")) {
            parsed.Set(QStringLiteral("help"), QString());
            continue;
        }
        const bool longForm = token.startsWith(QLatin1String("--"));
        const qsizetype eq = token.indexOf(u'=');
        const QString name = longForm ? token.mid(2, eq < 0 ? -1 : eq - 2) : QString();
        const OptionSpec* option = longForm ? Find(known, name) : nullptr;
        if (!option) {
            parsed.error = Tx(txt::UnknownOption).arg(longForm && eq >= 0 ? token.left(eq) : token);
            return parsed;
        }
        if (!option->TakesValue()) {
            if (eq >= 0) {
                parsed.error = Tx(txt::OptionTakesNoValue).arg("--" + name);
                return parsed;
            }
            parsed.Set(name, QString());
        } else if (eq >= 0) {
            parsed.Set(name, token.mid(eq + 1));
        } else if (i + 1 < arguments.size()) {
            parsed.Set(name, arguments[++i]);
        } else {
            parsed.error = Tx(txt::OptionNeedsValue).arg("--" + name);
            return parsed;
        }
    }
    return parsed;
}

std::optional<HostPort> ParseHostPort(const QString& text) {
    HostPort hp;
    const qsizetype colon = text.indexOf(u':');
    hp.host = colon < 0 ? text : text.left(colon);
    if (hp.host.isEmpty() || hp.host.contains(u' ') || hp.host.startsWith(u'-'))
        return std::nullopt;
    if (colon >= 0) {
        const std::optional<int> port = ParseInt(text.mid(colon + 1), 1, 65535);
        if (!port)
            return std::nullopt;
        hp.port = quint16(*port);
    }
    return hp;
}

std::optional<int> ParseInt(const QString& text, int min, int max) {
    if (!AllDigits(text) || text.size() > 9)
        return std::nullopt;
    const int v = text.toInt();
    if (v < min || v > max)
        return std::nullopt;
    return v;
}

std::optional<float> ParseAnalogValue(const QString& text) {
    QString t = text;
    t.replace(u',', u'.');
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > 3.0e38)
        return std::nullopt;
    return float(v);
}

} // namespace quelnet::cli
