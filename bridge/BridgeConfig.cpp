#include "bridge/BridgeConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace quelnet::bridge {

namespace {

// Circuit names travel in the request's 8 name bytes.
constexpr int MaxCircuitName = 8;
// The bridge's own status lives at PREFIX/bridge/status.
const QString ReservedName = QStringLiteral("bridge");

class Parser {
public:
    Parser(const QString& file, ConfigResult& out) : m_file(file), m_out(out) {}

    void Line(int no, const QString& raw);
    void Finish();

private:
    void Error(int line, const QString& field, const QString& message) {
        m_out.errors.append({m_file, line, field, message});
    }
    bool Int(int line, const QString& field, const QString& value, long long lo, long long hi, long long& v);
    bool Real(int line, const QString& field, const QString& value, double& v);
    QString ReadSecret(int line, const QString& field, const QString& path);
    // A path as written, taken from the configuration file's folder.
    QString Resolve(const QString& path) const { return QDir(QFileInfo(m_file).absolutePath()).absoluteFilePath(path); }
    void Broker(int line, const QString& key, const QString& value);
    void Bridge(int line, const QString& key, const QString& value);
    void Controller(int line, const QString& key, const QString& value);
    void Circuit(int line, const QString& value);
    void EndController();

    enum class Section { None, Broker, Bridge, Controller };
    QString m_file;
    ConfigResult& m_out;
    Section m_section = Section::None;
    ControllerConfig m_controller;
    bool m_hasAddress = false;
    QSet<QString> m_names;
    int m_certLine = 0, m_keyLine = 0;
};

bool Parser::Int(int line, const QString& field, const QString& value, long long lo, long long hi,
                 long long& v) {
    bool ok = false;
    v = value.toLongLong(&ok);
    if (!ok || v < lo || v > hi) {
        Error(line, field, QStringLiteral("'%1' is not a whole number from %2 to %3").arg(value).arg(lo).arg(hi));
        return false;
    }
    return true;
}

bool Parser::Real(int line, const QString& field, const QString& value, double& v) {
    bool ok = false;
    v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        Error(line, field, QStringLiteral("'%1' is not a number").arg(value));
        return false;
    }
    return true;
}

QString Parser::ReadSecret(int line, const QString& field, const QString& path) {
    // Under systemd, secrets are handed over as credentials.
    QString expanded = path;
    expanded.replace(QStringLiteral("$CREDENTIALS_DIRECTORY"), qEnvironmentVariable("CREDENTIALS_DIRECTORY"));
    const QString full = Resolve(expanded);
    QFile f(full);
    if (!f.open(QIODevice::ReadOnly)) {
        Error(line, field, QStringLiteral("cannot read '%1': %2").arg(full, f.errorString()));
        return {};
    }
    // The first line, without its end: files written by echo end in a newline.
    QString text = QString::fromUtf8(f.readAll());
    return text.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
}

void Parser::Broker(int line, const QString& key, const QString& value) {
    BrokerConfig& b = m_out.config.broker;
    long long v = 0;
    if (key == u"host") {
        if (value.isEmpty())
            Error(line, key, QStringLiteral("is empty"));
        b.host = value;
    } else if (key == u"port") {
        if (Int(line, key, value, 1, 65535, v))
            b.port = std::uint16_t(v);
    } else if (key == u"client_id") {
        if (value.isEmpty() || value.size() > 64)
            Error(line, key, QStringLiteral("must have 1 to 64 characters"));
        b.clientId = value;
    } else if (key == u"user") {
        b.user = value;
    } else if (key == u"password_file") {
        b.passwordFile = value;
        b.password = ReadSecret(line, key, value);
    } else if (key == u"ca_file" || key == u"cert_file" || key == u"key_file") {
        const QString full = Resolve(value);
        if (!QFileInfo(full).isReadable())
            Error(line, key, QStringLiteral("cannot read '%1'").arg(full));
        (key == u"ca_file" ? b.caFile : key == u"cert_file" ? b.certFile : b.keyFile) = full;
        (key == u"cert_file" ? m_certLine : m_keyLine) = line;
    } else if (key == u"keepalive") {
        if (Int(line, key, value, 5, 3600, v))
            b.keepaliveS = int(v);
    } else {
        Error(line, key, QStringLiteral("unknown in [broker]"));
    }
}

void Parser::Bridge(int line, const QString& key, const QString& value) {
    BridgeSettings& s = m_out.config.bridge;
    long long v = 0;
    static const QRegularExpression topicPath(QStringLiteral("^[A-Za-z0-9_-]+(/[A-Za-z0-9_-]+)*$"));
    if (key == u"prefix" || key == u"discovery_prefix") {
        const bool discovery = key == u"discovery_prefix";
        if (!(discovery && value.isEmpty()) && !topicPath.match(value).hasMatch())
            Error(line, key, QStringLiteral("'%1' is not a topic path (letters, digits, _ and - between /)").arg(value));
        (discovery ? s.discoveryPrefix : s.prefix) = value;
    } else if (key == u"republish_periods") {
        if (Int(line, key, value, 1, 1000000, v))
            s.republishPeriods = int(v);
    } else if (key == u"state_file") {
        s.stateFile = value.isEmpty() ? value : Resolve(value);
    } else if (key == u"link_timeout_ms") {
        if (Int(line, key, value, 100, 60000, v))
            s.linkTimeoutMs = int(v);
    } else if (key == u"retry_max_ms") {
        if (Int(line, key, value, 100, 3600000, v))
            s.retryMaxMs = int(v);
    } else {
        Error(line, key, QStringLiteral("unknown in [bridge]"));
    }
}

void Parser::Controller(int line, const QString& key, const QString& value) {
    long long v = 0;
    if (key == u"address") {
        if (value.isEmpty())
            Error(line, key, QStringLiteral("is empty"));
        m_controller.address = value;
        m_hasAddress = true;
    } else if (key == u"port") {
        if (Int(line, key, value, 1, 65535, v))
            m_controller.port = std::uint16_t(v);
    } else if (key == u"password") {
        m_controller.password = value;
    } else if (key == u"password_file") {
        m_controller.password = ReadSecret(line, key, value);
    } else if (key == u"circuit") {
        Circuit(line, value);
    } else {
        Error(line, key, QStringLiteral("unknown in [controller %1]").arg(m_controller.name));
    }
}

// NAME digital|analog input|output [PERIOD_MS] [min=X] [max=X] [step=X]
void Parser::Circuit(int line, const QString& value) {
    const QString field = QStringLiteral("circuit");
    const QStringList words = value.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.size() < 3) {
        Error(line, field, QStringLiteral("expected: NAME digital|analog input|output [PERIOD_MS] [min=] [max=] [step=]"));
        return;
    }
    CircuitConfig c;
    c.line = line;
    c.name = words[0];
    if (!IsTopicName(c.name) || c.name.size() > MaxCircuitName) {
        Error(line, field, QStringLiteral("name '%1': 1 to 8 letters, digits, _ or -").arg(c.name));
        return;
    }
    for (const CircuitConfig& other : m_controller.circuits)
        if (other.name == c.name) {
            Error(line, field, QStringLiteral("'%1' is already on line %2").arg(c.name).arg(other.line));
            return;
        }
    if (words[1] != u"digital" && words[1] != u"analog") {
        Error(line, field, QStringLiteral("kind '%1': digital or analog").arg(words[1]));
        return;
    }
    if (words[2] != u"input" && words[2] != u"output") {
        Error(line, field, QStringLiteral("direction '%1': input or output").arg(words[2]));
        return;
    }
    c.analog = words[1] == u"analog";
    c.output = words[2] == u"output";
    bool ok = true;
    for (int i = 3; i < words.size() && ok; ++i) {
        const QString& w = words[i];
        if (i == 3 && !w.contains(u'=')) {
            long long v = 0;
            ok = Int(line, QStringLiteral("circuit period"), w, 1, 4294967295LL, v);
            c.periodMs = std::uint32_t(v);
            continue;
        }
        const QString k = w.section(u'=', 0, 0), val = w.section(u'=', 1);
        double* target = k == u"min" ? &c.min : k == u"max" ? &c.max : k == u"step" ? &c.step : nullptr;
        if (!target || !c.analog || !c.output) {
            Error(line, field, QStringLiteral("'%1': only an analog output takes min=, max= and step=").arg(w));
            return;
        }
        ok = Real(line, QStringLiteral("circuit ") + k, val, *target);
    }
    if (!ok)
        return;
    if (c.analog && c.output && (c.min >= c.max || c.step <= 0)) {
        Error(line, field, QStringLiteral("'%1': min must be below max and step above 0").arg(c.name));
        return;
    }
    m_controller.circuits.append(c);
}

void Parser::EndController() {
    if (m_section != Section::Controller)
        return;
    if (!m_hasAddress)
        Error(m_controller.line, QStringLiteral("address"), QStringLiteral("controller '%1' has no address").arg(m_controller.name));
    else if (m_controller.circuits.isEmpty())
        Error(m_controller.line, QStringLiteral("circuit"), QStringLiteral("controller '%1' has no circuit").arg(m_controller.name));
    else
        m_out.config.controllers.append(m_controller);
}

void Parser::Line(int no, const QString& raw) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
        return;
    if (line.startsWith(u'[')) {
        EndController();
        m_section = Section::None;
        if (!line.endsWith(u']')) {
            Error(no, line, QStringLiteral("a section line ends with ]"));
            return;
        }
        const QStringList words = line.mid(1, line.size() - 2).split(u' ', Qt::SkipEmptyParts);
        if (words == QStringList{QStringLiteral("broker")}) {
            m_section = Section::Broker;
        } else if (words == QStringList{QStringLiteral("bridge")}) {
            m_section = Section::Bridge;
        } else if (words.size() == 2 && words[0] == u"controller") {
            const QString& name = words[1];
            if (!IsTopicName(name) || name == ReservedName)
                Error(no, QStringLiteral("controller"),
                      QStringLiteral("name '%1': letters, digits, _ or - (and not '%2')").arg(name, ReservedName));
            else if (m_names.contains(name))
                Error(no, QStringLiteral("controller"), QStringLiteral("'%1' is named twice").arg(name));
            m_names.insert(name);
            m_section = Section::Controller;
            m_controller = ControllerConfig{};
            m_controller.name = name;
            m_controller.line = no;
            m_hasAddress = false;
        } else {
            Error(no, line, QStringLiteral("unknown section (broker, bridge, controller NAME)"));
        }
        return;
    }
    const int eq = line.indexOf(u'=');
    if (eq <= 0) {
        Error(no, line.section(u' ', 0, 0), QStringLiteral("expected KEY = VALUE"));
        return;
    }
    const QString key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
    switch (m_section) {
    case Section::Broker: Broker(no, key, value); break;
    case Section::Bridge: Bridge(no, key, value); break;
    case Section::Controller: Controller(no, key, value); break;
    case Section::None: Error(no, key, QStringLiteral("outside a section")); break;
    }
}

void Parser::Finish() {
    EndController();
    const BrokerConfig& b = m_out.config.broker;
    if (b.keyFile.isEmpty() && !b.certFile.isEmpty())
        Error(m_certLine, QStringLiteral("cert_file"), QStringLiteral("needs key_file as well"));
    if (b.certFile.isEmpty() && !b.keyFile.isEmpty())
        Error(m_keyLine, QStringLiteral("key_file"), QStringLiteral("needs cert_file as well"));
    if (!b.certFile.isEmpty() && b.caFile.isEmpty())
        Error(m_certLine, QStringLiteral("ca_file"), QStringLiteral("a client certificate needs ca_file"));
}

QString FormatReal(double v) {
    return QString::number(v, 'g', 15);
}

} // namespace

QString ConfigError::Text() const {
    QString where = file;
    if (line > 0)
        where += u':' + QString::number(line);
    return where + QStringLiteral(": field '") + field + QStringLiteral("': ") + message;
}

bool IsTopicName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_-]+$"));
    return re.match(name).hasMatch();
}

ConfigResult ParseBridgeConfig(const QString& file, const QString& text) {
    ConfigResult result;
    Parser parser(file, result);
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i)
        parser.Line(i + 1, lines[i]);
    parser.Finish();
    return result;
}

ConfigResult ReadBridgeConfig(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        ConfigResult r;
        r.errors.append({file, 0, QStringLiteral("--config"), QStringLiteral("cannot read: ") + f.errorString()});
        return r;
    }
    return ParseBridgeConfig(file, QString::fromUtf8(f.readAll()));
}

QString FormatBridgeConfig(const BridgeConfig& config) {
    QString out;
    const BrokerConfig& b = config.broker;
    out += QStringLiteral("[broker]\nhost = %1\nport = %2\nclient_id = %3\nkeepalive = %4\n")
               .arg(b.host)
               .arg(b.port)
               .arg(b.clientId)
               .arg(b.keepaliveS);
    if (!b.user.isEmpty())
        out += QStringLiteral("user = ") + b.user + u'\n';
    if (!b.passwordFile.isEmpty())
        out += QStringLiteral("password_file = ") + b.passwordFile + u'\n';
    if (!b.caFile.isEmpty())
        out += QStringLiteral("ca_file = ") + b.caFile + u'\n';
    if (!b.certFile.isEmpty())
        out += QStringLiteral("cert_file = %1\nkey_file = %2\n").arg(b.certFile, b.keyFile);
    const BridgeSettings& s = config.bridge;
    out += QStringLiteral("\n[bridge]\nprefix = %1\ndiscovery_prefix = %2\nrepublish_periods = %3\n"
                          "link_timeout_ms = %4\nretry_max_ms = %5\n")
               .arg(s.prefix, s.discoveryPrefix)
               .arg(s.republishPeriods)
               .arg(s.linkTimeoutMs)
               .arg(s.retryMaxMs);
    if (!s.stateFile.isEmpty())
        out += QStringLiteral("state_file = ") + s.stateFile + u'\n';
    for (const ControllerConfig& c : config.controllers) {
        out += QStringLiteral("\n[controller %1]\naddress = %2\nport = %3\npassword = %4\n")
                   .arg(c.name, c.address)
                   .arg(c.port)
                   .arg(c.password);
        for (const CircuitConfig& k : c.circuits) {
            out += QStringLiteral("circuit = %1 %2 %3 %4")
                       .arg(k.name, k.analog ? QStringLiteral("analog") : QStringLiteral("digital"),
                            k.output ? QStringLiteral("output") : QStringLiteral("input"))
                       .arg(k.periodMs);
            if (k.analog && k.output)
                out += QStringLiteral(" min=%1 max=%2 step=%3").arg(FormatReal(k.min), FormatReal(k.max), FormatReal(k.step));
            out += u'\n';
        }
    }
    return out;
}

QList<ControllerConfig> ShardControllers(const QList<ControllerConfig>& all, int index, int count) {
    QList<ControllerConfig> kept;
    for (const ControllerConfig& c : all) {
        // FNV-1a over the name's UTF-8: the same on every machine and run.
        std::uint32_t h = 2166136261u;
        for (const char ch : c.name.toUtf8())
            h = (h ^ std::uint8_t(ch)) * 16777619u;
        if (int(h % std::uint32_t(count)) == index)
            kept.append(c);
    }
    return kept;
}

BridgeConfig Shard(const BridgeConfig& config, int index, int count) {
    if (count <= 1)
        return config;
    BridgeConfig part = config;
    part.controllers = ShardControllers(config.controllers, index, count);
    QSet<QString> mine;
    for (const ControllerConfig& c : part.controllers)
        mine.insert(c.name);
    for (const ControllerConfig& c : config.controllers)
        if (!mine.contains(c.name))
            part.elsewhere.append(c);
    part.bridge.shard = QStringLiteral("%1of%2").arg(index + 1).arg(count);
    part.broker.clientId += u'-' + part.bridge.shard;
    if (!part.bridge.stateFile.isEmpty())
        part.bridge.stateFile += u'.' + part.bridge.shard;
    return part;
}

} // namespace quelnet::bridge
