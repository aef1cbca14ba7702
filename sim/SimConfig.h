#pragma once
// Settings of one simulated controller: generation, identity, circuits, DataFlash
// file, timing and the faults injected for tests and demonstrations.

#include "sim/SimLimits.h"

#include <QChar>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QSet>
#include <QString>

namespace quelnet::sim {

// Which protocol the simulated controller speaks.
//   New: firmware 4.x, long authenticated frames and short frames.
//   Mid: earlier firmware (e.g. V2.1.4), short frames only; long frames get no reply.
//   Old: no control protocol on TCP at all, only the HTTP status page.
enum class Generation { New, Mid, Old };

// Faults injected into the control protocol (not into HTTP).
struct Faults {
    // 1-based request numbers, counted per server since start over all connections:
    // the request is carried out but its reply is not sent; the connection stays open.
    QSet<int> dropReplyTo;
    // DataFlash pages whose page read/write reply (long 0xA0/0xA1, short 0xA1)
    // echoes the address of the next page instead of their own.
    QSet<int> wrongEchoOnPage;
    // Every reply is sent this many milliseconds late; requests are handled in order.
    int replyDelayMs = 0;
    // 0 = never. Counted per connection: the N-th request is answered (unless its
    // reply is dropped), then the connection is closed.
    int closeAfterRequests = 0;
    // What the short 0xAE (prepare the configuration for the update) answers;
    // the tool accepts exactly "OK". Empty: no reply at all.
    QByteArray prepareReply = "OK";
    // DataFlash pages whose page writes (long or short 0xA1) are acknowledged as
    // usual but stored with the first byte inverted, as a failing memory would.
    QSet<int> corruptWrittenPages;
    // Random faults on the page requests (page reads and writes, long and short),
    // in percent: the reply is dropped, or it echoes the next page's address. The
    // draws follow `seed`, so a run can be repeated.
    // The link is lost right after the reply to the write of the last page
    // (short 0xA1 of page 0x7FF): the controller takes nothing more on it, so
    // the update start that follows never arrives and is met with a reset;
    // the controller keeps its program and goes on listening.
    bool closeBeforeUpdateStart = false;
    int dropPercent = 0;
    int wrongEchoPercent = 0;
    quint32 seed = 1;
};

// One named circuit. Names are at most 8 characters and match the 8 name bytes of
// a request exactly (case-sensitive).
struct CircuitSpec {
    QString name;
    bool analog = false;
    bool output = false;
};

struct SimConfig {
    Generation generation = Generation::New;
    QString password = "3958"; // control password of long frames
    bool jumper = true;        // programming jumper fitted
    QString version;           // empty: "V4.0.1" (New), "V2.1.4" (Mid), "V1.3" (Old)
    QString build = "20140612";
    QString serial = "S0817092";
    QString language = "PL";
    QChar board = 'A';
    quint16 tcpPort = 0, httpPort = 0; // 0 = system chooses
    QHostAddress bindAddress = QHostAddress(QHostAddress::LocalHost);
    Faults faults;
    QList<CircuitSpec> circuits = DefaultCircuits(); // OUT1..4, IN1..4, AN1, AN2, AOUT1
    QString flashFile;                               // empty: DataFlash only in memory
    // The firmware package naming the DataFlash's web files (SimWebFiles.h);
    // empty: the quelnet program beside the simulator.
    QString packageFile;
    // Names of the DataFlash files by package version tag, read from the package
    // at start; none: the web files are not served.
    QHash<QString, QStringList> webFileNames;
    int restartDelayMs = 3000;                       // after 0xAD (update start) or 0xAB (restart)
    bool demo = false;                               // inputs move over time
    bool httpGzip = false;                           // pages gzip-compressed to requests that accept gzip
    bool verbose = false;                            // one line per request on standard error
    SimLimits limits;

    static QList<CircuitSpec> DefaultCircuits();
    // The version reported: `version`, or the generation's default when empty.
    QString EffectiveVersion() const;
};

} // namespace quelnet::sim
