#pragma once
// Reading the command line: command words and operands in order, options
// anywhere ("--name value", "--name=value", flags "--name"), "-h" for
// "--help", "--" ends the options. A token that starts with "-" followed by a
// digit or a point is an operand, so that negative values can be set.

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace quelnet::cli {

struct OptionSpec {
    QString name;      // without the leading "--"
    QString valueName; // empty: a flag without a value
    QString help;
    bool TakesValue() const { return !valueName.isEmpty(); }
};

struct ParsedArguments {
    QStringList words;              // command words and operands, in order
    QMap<QString, QString> values;  // every option given (flags with an empty value); the last one wins
    QMap<QString, QStringList> all; // every value of every option, in order (repeated options)
    QString error;                  // not empty: the line cannot be read

    bool Has(const QString& name) const { return values.contains(name); }
    QString Value(const QString& name, const QString& fallback = {}) const {
        return values.value(name, fallback);
    }
    QStringList Values(const QString& name) const { return all.value(name); }
    void Set(const QString& name, const QString& value) {
        values.insert(name, value);
        all[name].append(value);
    }
};

ParsedArguments ParseArguments(const QStringList& arguments, const QList<OptionSpec>& known);

// The controllers' control port when an address names none.
inline constexpr quint16 DefaultControlPort = 7080;

// "HOST" or "HOST:PORT"; the port is decimal, 1 to 65535.
struct HostPort {
    QString host;
    quint16 port = DefaultControlPort;
    QString PortText() const { return QString::number(port); }
    QString Text() const { return host + u':' + PortText(); }
};
std::optional<HostPort> ParseHostPort(const QString& text);

// A decimal integer from min to max, nothing else.
std::optional<int> ParseInt(const QString& text, int min, int max);

// An analog value: a finite decimal number with a point or a comma.
std::optional<float> ParseAnalogValue(const QString& text);

} // namespace quelnet::cli
