#pragma once
// Every bound the simulator puts on what its clients can make it hold or do, in
// one place. A client that breaks a bound loses its connection (or, for a cut
// frame, the frame); nothing else is affected and memory stays bounded however
// long the simulator runs.
//
// Besides these sizes: a long frame whose digest is not the control password's
// gets no reply and closes its connection; the two ways of programming without
// the control password that the protocol has (short frames, and page writes with
// the fixed DataFlash password) are refused while the programming jumper is
// missing. Nothing else changes the simulator's state.

#include <QtGlobal>

namespace quelnet::sim {

struct SimLimits {
    // Control-protocol connections open at once; one more is closed as soon as
    // it is accepted. The HTTP port has its own count of the same size.
    int maxConnections = 64;
    // Bytes one control connection may hold: received and not yet handled, and
    // replies not yet taken by the client, each (plus a 16 KiB socket read
    // buffer). No frame is longer (16 + 65,535 bytes); past the bound the
    // connection is simply not read until the bytes held are handled or sent.
    int connectionBufferBytes = 128 * 1024;
    // A connection on which nothing was received or sent for this long is closed.
    int idleTimeoutMs = 60000;
    // A frame begun but not complete this long after it stalled is dropped, so
    // that the next frame starts afresh (a client sends a frame in one write).
    int partialFrameMs = 1000;
    // An HTTP connection that has not sent its whole request this long after it
    // opened is closed; a request (head and body) is at most httpRequestBytes.
    int httpRequestMs = 10000;
    int httpRequestBytes = 64 * 1024;
    // The traffic log (request frames and HTTP requests, for tests) keeps the
    // newest entries within these bounds; the request numbering goes on.
    int logRequests = 16384;
    int logRequestBytes = 4 * 1024 * 1024;
    int logHttpRequests = 64;
};

// What the limits did, since start.
struct SimEvents {
    int connectionsRefused = 0; // over the connection count (control and HTTP)
    int idleClosed = 0;         // idle time-out, or an HTTP request not sent in time
    int partialFramesDropped = 0;
    qint64 mostHeld = 0; // the most bytes one control connection held (input or output)
    // Random faults drawn (Faults::dropPercent, Faults::wrongEchoPercent).
    int randomDrops = 0;
    int randomWrongEchoes = 0;
};

} // namespace quelnet::sim
