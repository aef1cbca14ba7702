#pragma once
// What the device link needs from the window that runs a transfer: a log of
// text lines, a progress indicator and a way to let the window repaint between
// pages. The windows adapt their memo, progress bar and event loop to these.

#include <QString>

namespace quelnet {

class ILog {
public:
    virtual ~ILog() = default;
    virtual void Clear() = 0;
    virtual void Append(const QString& line) = 0;
    virtual void RemoveLast() = 0; // removes the last line, whatever it is
};

// A running step's line (ending in " ...") gives way to its outcome line. The
// line removed is whatever is last at that moment, a retry line included.
inline void ReplaceLastLine(ILog& memo, const QString& line) {
    memo.RemoveLast();
    memo.Append(line);
}

class IProgress {
public:
    virtual ~IProgress() = default;
    virtual void SetMaximum(int maximum) = 0;
    virtual int Maximum() const = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
};

class IEventPump {
public:
    virtual ~IEventPump() = default;
    virtual void ProcessEvents() = 0; // let the interface handle pending events
};

} // namespace quelnet
