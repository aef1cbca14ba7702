#include "sim/SimCommandLine.h"

#include <QCommandLineParser>
#include <climits>

namespace quelnet::sim {

namespace {

constexpr quint16 DefaultTcpPort = 7080;
constexpr quint16 DefaultHttpPort = 8080;

const char* Description =
    "Simulated Quelnet controller for trying the panel and the maintenance tools without hardware.\n"
    "\n"
    "Generations (--generation):\n"
    "  new  firmware 4.x: long authenticated frames and short frames on the TCP port.\n"
    "  mid  earlier firmware (version V2.1.4 by default): short frames only; long frames get no reply.\n"
    "  old  no control protocol on TCP; only the status page on the HTTP port, shown after the\n"
    "       form post of \"y1=<password>\" to /0.\n"
    "\n"
    "Every generation serves the status page on the HTTP port. The new and mid generations also\n"
    "serve the web pages and graphics of their DataFlash there by file name (the names from the\n"
    "firmware package, --package), the first page at /; the configuration area and the program\n"
    "copy are never served.\n"
    "Long frames must carry the digest of the control password (--password). A frame with a wrong\n"
    "digest gets no reply: the simulator closes the connection. DataFlash page writes (0xA1) are\n"
    "also accepted with the digest of the fixed DataFlash password 3958.\n"
    "Digital circuits can be read at their input (0x12) or output (0x13), analog ones likewise\n"
    "(0x1A/0x1B); only outputs can be set. Setting an input, or a name the simulator does not\n"
    "have, gets the \"no such circuit\" reply (code 0x08, status 0).\n"
    "The restart (0xAB) and the update start (short 0xAD) close every connection and stop\n"
    "listening; the simulator listens again after --restart-delay milliseconds.\n"
    "Firmware update: on the update start the simulator checks the program copy at 0x2900\n"
    "(0x1D800 bytes, check word in the last four, little-endian). When it holds, the program is\n"
    "installed: the simulator reports the first zero-terminated version text of the program\n"
    "(V<digit>.<digit>.<digit>, optionally a lower-case letter) and speaks its generation (4.x\n"
    "new, earlier mid). Coming from below version 4 after the short 0xAE (configuration\n"
    "prepared), it resets its configuration to the factory settings: factory configuration in\n"
    "pages 6-37, control password 3958. Otherwise it keeps its version and says so on standard\n"
    "error.\n"
    "The DataFlash (512 KiB) starts erased (0xFF) or with the content of --flash FILE; page\n"
    "writes are saved to that file shortly after they arrive and when the simulator ends.\n"
    "\n"
    "Faults: requests are numbered from 1 since start over all connections (--drop-reply);\n"
    "--close-after counts the requests of each connection, answers the N-th, then closes.\n"
    "--drop-rate and --wrong-echo-rate act on page reads and writes only, drawn from --fault-seed.\n"
    "Lists are comma-separated; page numbers may be written in hexadecimal as 0x...\n";

// The limits as SimLimits sets them.
QString LimitsText() {
    const SimLimits l;
    return QString("\nLimits: at most %1 connections on each port, %2 KiB held per connection each way,\n"
                   "%3 s idle time-out, a frame that stops half-way dropped after %4 ms. Without the\n"
                   "programming jumper (--no-jumper) the short programming frames and the page writes\n"
                   "with the DataFlash password are refused.")
        .arg(l.maxConnections)
        .arg(l.connectionBufferBytes / 1024)
        .arg(l.idleTimeoutMs / 1000)
        .arg(l.partialFrameMs);
}

bool ReadInt(const QString& text, int min, int max, int* out) {
    bool ok = false;
    const QString t = text.trimmed();
    const bool hex = t.startsWith("0x", Qt::CaseInsensitive);
    const int v = hex ? t.mid(2).toInt(&ok, 16) : t.toInt(&ok, 10);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

bool ReadIntSet(const QString& text, int min, int max, QSet<int>* out) {
    for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
        int v = 0;
        if (!ReadInt(part, min, max, &v))
            return false;
        out->insert(v);
    }
    return true;
}

bool Latin1(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

} // namespace

SimCommandLine ParseSimCommandLine(const QStringList& arguments) {
    SimCommandLine result;
    SimConfig& c = result.config;
    c.tcpPort = DefaultTcpPort;
    c.httpPort = DefaultHttpPort;

    QCommandLineParser p;
    p.setApplicationDescription(Description + LimitsText());
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption programVersion("version", "Show the program's version.");
    const QCommandLineOption package(
        "package",
        "Firmware package naming the web files of the DataFlash, served by name on the HTTP port "
        "(default: the quelnet program beside the simulator).",
        "file");
    const QCommandLineOption port(
        "port", "TCP port of the control protocol (default 7080; 0: any free port).", "port", "7080");
    const QCommandLineOption httpPort(
        "http-port", "HTTP port of the status page (default 8080; 0: any free port).", "port", "8080");
    const QCommandLineOption bind("bind", "Address to listen on (default 127.0.0.1).", "address",
                                  "127.0.0.1");
    const QCommandLineOption password("password", "Control password (default 3958).", "text", "3958");
    const QCommandLineOption generation("generation", "new, mid or old (default new).", "generation", "new");
    const QCommandLineOption jumper("jumper", "Report the programming jumper fitted (default).");
    const QCommandLineOption noJumper("no-jumper", "Report the programming jumper missing.");
    const QCommandLineOption version(
        "version-text", "Firmware version reported (default V4.0.1, V2.1.4 or V1.3 by generation).", "text");
    const QCommandLineOption board("board", "Hardware variant letter (default A).", "letter", "A");
    const QCommandLineOption build("build", "Build text, 8 characters (default 20140612).", "text", c.build);
    const QCommandLineOption serial("serial", "Serial number, 8 characters (default S0817092).", "text",
                                    c.serial);
    const QCommandLineOption language("language", "Language code, PL or LT (default PL).", "code", "PL");
    const QCommandLineOption flash("flash", "Load the DataFlash from FILE and save page writes to it.",
                                   "file");
    const QCommandLineOption restartDelay(
        "restart-delay", "Milliseconds unreachable after a restart or update start (default 3000).", "ms",
        "3000");
    const QCommandLineOption demo("demo",
                                  "Let the inputs move: digital inputs toggle, analog inputs follow slow "
                                  "waveforms between 0 and 100.");
    const QCommandLineOption dOut("digital-outputs", "Digital outputs (default OUT1,OUT2,OUT3,OUT4).",
                                  "names", "OUT1,OUT2,OUT3,OUT4");
    const QCommandLineOption dIn("digital-inputs", "Digital inputs (default IN1,IN2,IN3,IN4).", "names",
                                 "IN1,IN2,IN3,IN4");
    const QCommandLineOption aIn("analog-inputs", "Analog inputs (default AN1,AN2).", "names", "AN1,AN2");
    const QCommandLineOption aOut("analog-outputs", "Analog outputs (default AOUT1).", "names", "AOUT1");
    const QCommandLineOption drop(
        "drop-reply", "Fault: do not send the replies to these requests (numbers from 1).", "numbers");
    const QCommandLineOption wrongEcho(
        "wrong-echo-page", "Fault: page read/write replies for these pages echo the next page's address.",
        "pages");
    const QCommandLineOption delay("reply-delay", "Fault: send every reply this many milliseconds late.",
                                   "ms", "0");
    const QCommandLineOption closeAfter("close-after", "Fault: close each connection after its N-th request.",
                                        "n", "0");
    const QCommandLineOption prepareReply(
        "prepare-reply", "Fault: answer the short 0xAE (prepare the configuration) with TEXT instead of OK.",
        "text", "OK");
    const QCommandLineOption corrupt(
        "corrupt-page",
        "Fault: page writes to these pages are acknowledged but stored with their first byte inverted.",
        "pages");
    const QCommandLineOption httpGzip("http-gzip",
                                      "Send the web pages gzip-compressed (Content-Encoding: gzip) to "
                                      "requests that accept gzip.");
    const QCommandLineOption dropRate(
        "drop-rate", "Fault: drop the replies to this percentage of the page reads and writes, at random.",
        "percent", "0");
    const QCommandLineOption wrongEchoRate(
        "wrong-echo-rate",
        "Fault: this percentage of the page read/write replies echo the next page's address, at random.",
        "percent", "0");
    const QCommandLineOption closeBeforeStart(
        "close-before-update-start",
        "Fault: lose the link right after the reply to the last page write (short 0xA1 of page 0x7FF), "
        "so that the update start never arrives; the controller keeps its program and does not restart.");
    const QCommandLineOption faultSeed("fault-seed", "Seed of the random faults (default 1).", "n", "1");
    const QCommandLineOption verbose("verbose", "Write a line per request on standard error.");
    p.addOptions({help,         port,     httpPort,   bind,         password, generation,    jumper,
                  noJumper,     version,  board,      build,        serial,   language,      flash,
                  restartDelay, demo,     dOut,       dIn,          aIn,      aOut,          drop,
                  wrongEcho,    delay,    closeAfter, prepareReply, dropRate, wrongEchoRate, faultSeed,
                  corrupt,      httpGzip, verbose});
    p.addOption(closeBeforeStart);
    p.addOptions({package, programVersion});
    result.helpText = p.helpText();

    if (!p.parse(arguments)) {
        result.error = p.errorText();
        return result;
    }
    if (p.isSet(help)) {
        result.help = true;
        return result;
    }
    if (p.isSet(programVersion)) {
        result.version = true;
        return result;
    }
    if (!p.positionalArguments().isEmpty()) {
        result.error = "unexpected argument " + p.positionalArguments().first();
        return result;
    }
    auto fail = [&result](const QString& text) {
        result.error = text;
        return result;
    };

    int v = 0;
    if (!ReadInt(p.value(port), 0, 65535, &v))
        return fail("--port needs a number from 0 to 65535");
    c.tcpPort = quint16(v);
    if (!ReadInt(p.value(httpPort), 0, 65535, &v))
        return fail("--http-port needs a number from 0 to 65535");
    c.httpPort = quint16(v);
    c.bindAddress = QHostAddress(p.value(bind));
    if (c.bindAddress.isNull())
        return fail("--bind needs an IP address, not " + p.value(bind));

    c.password = p.value(password);
    const QString gen = p.value(generation).toLower();
    if (gen == "new")
        c.generation = Generation::New;
    else if (gen == "mid")
        c.generation = Generation::Mid;
    else if (gen == "old")
        c.generation = Generation::Old;
    else
        return fail("--generation must be new, mid or old");
    if (p.isSet(jumper) && p.isSet(noJumper))
        return fail("--jumper and --no-jumper exclude each other");
    c.jumper = !p.isSet(noJumper);

    c.version = p.value(version);
    if (p.value(board).size() != 1 || !Latin1(p.value(board)))
        return fail("--board needs one letter");
    c.board = p.value(board)[0];
    c.build = p.value(build);
    c.serial = p.value(serial);
    c.language = p.value(language).toUpper();
    if (c.language.size() != 2 || !Latin1(c.language))
        return fail("--language needs a two-letter code such as PL or LT");
    if (!Latin1(c.version) || !Latin1(c.build) || !Latin1(c.serial))
        return fail("--version-text, --build and --serial take single-byte (Latin-1) characters only");
    c.flashFile = p.value(flash);
    c.packageFile = p.value(package);
    if (!ReadInt(p.value(restartDelay), 0, 3600000, &c.restartDelayMs))
        return fail("--restart-delay needs a number of milliseconds");
    c.demo = p.isSet(demo);
    c.verbose = p.isSet(verbose);
    c.httpGzip = p.isSet(httpGzip);

    c.circuits.clear();
    QSet<QString> seen;
    const struct {
        const QCommandLineOption& option;
        bool analog, output;
    } kinds[] = {{dOut, false, true}, {dIn, false, false}, {aIn, true, false}, {aOut, true, true}};
    for (const auto& k : kinds) {
        for (const QString& raw : p.value(k.option).split(',', Qt::SkipEmptyParts)) {
            const QString name = raw.trimmed();
            if (name.isEmpty() || name.size() > 8 || !Latin1(name))
                return fail(QString("circuit name \"%1\": 1 to 8 single-byte characters").arg(name));
            if (seen.contains(name))
                return fail(QString("circuit name \"%1\" given twice").arg(name));
            seen.insert(name);
            c.circuits.append({name, k.analog, k.output});
        }
    }

    if (!ReadIntSet(p.value(drop), 1, INT_MAX, &c.faults.dropReplyTo))
        return fail("--drop-reply needs request numbers from 1, separated by commas");
    if (!ReadIntSet(p.value(wrongEcho), 0, 2047, &c.faults.wrongEchoOnPage))
        return fail("--wrong-echo-page needs page numbers from 0 to 2047 (0x7FF), separated by commas");
    if (!ReadInt(p.value(delay), 0, 600000, &c.faults.replyDelayMs))
        return fail("--reply-delay needs a number of milliseconds");
    if (!ReadInt(p.value(closeAfter), 0, INT_MAX, &c.faults.closeAfterRequests))
        return fail("--close-after needs a number of requests (0: never)");
    if (!Latin1(p.value(prepareReply)))
        return fail("--prepare-reply takes single-byte (Latin-1) characters only");
    c.faults.prepareReply = p.value(prepareReply).toLatin1();
    if (!ReadIntSet(p.value(corrupt), 0, 2047, &c.faults.corruptWrittenPages))
        return fail("--corrupt-page needs page numbers from 0 to 2047 (0x7FF), separated by commas");
    if (!ReadInt(p.value(dropRate), 0, 100, &c.faults.dropPercent))
        return fail("--drop-rate needs a percentage from 0 to 100");
    if (!ReadInt(p.value(wrongEchoRate), 0, 100, &c.faults.wrongEchoPercent))
        return fail("--wrong-echo-rate needs a percentage from 0 to 100");
    if (!ReadInt(p.value(faultSeed), 0, INT_MAX, &v))
        return fail("--fault-seed needs a number from 0");
    c.faults.seed = quint32(v);
    c.faults.closeBeforeUpdateStart = p.isSet(closeBeforeStart);
    return result;
}

} // namespace quelnet::sim
