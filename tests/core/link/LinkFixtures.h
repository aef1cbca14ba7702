#pragma once
// Stand-ins for the window's log, progress bar and event pump, recording what
// the device link does with them.

#include "core/link/LinkInterfaces.h"

#include <QStringList>
#include <functional>

namespace quelnet::test {

class RecordingLog : public ILog {
public:
    void Clear() override { lines.clear(); }
    void Append(const QString& line) override {
        lines.append(line);
        if (onAppend)
            onAppend(line);
    }
    void RemoveLast() override {
        if (!lines.isEmpty())
            lines.removeLast();
    }
    int Count(const QString& line) const { return int(lines.count(line)); }

    QStringList lines;
    std::function<void(const QString&)> onAppend;
};

class RecordingProgress : public IProgress {
public:
    void SetMaximum(int maximum) override { m_maximum = maximum; }
    int Maximum() const override { return m_maximum; }
    void SetPosition(int position) override {
        m_position = position;
        positions.append(position);
    }
    int Position() const override { return m_position; }

    QList<int> positions; // every position set, in order
private:
    int m_maximum = 100;
    int m_position = 0;
};

class CallbackPump : public IEventPump {
public:
    explicit CallbackPump(std::function<void()> f) : m_f(std::move(f)) {}
    void ProcessEvents() override { m_f(); }

private:
    std::function<void()> m_f;
};

} // namespace quelnet::test
