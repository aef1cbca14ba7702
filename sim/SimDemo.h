#pragma once
// Demonstration mode: the inputs of the simulated controller move over time so
// that a panel pointed at it looks alive. Digital inputs toggle, each at its own
// rate; analog inputs follow slow waveforms between 0 and 100.

#include <QElapsedTimer>
#include <QObject>

class QTimer;

namespace quelnet::sim {

class SimController;

class SimDemo : public QObject {
    Q_OBJECT
public:
    explicit SimDemo(SimController& controller, QObject* parent = nullptr);
    void Start();
    // The inputs' values at `ms` milliseconds after the start (pure, for tests).
    static bool DigitalAt(int index, qint64 ms);
    static float AnalogAt(int index, qint64 ms);

private:
    void Step();

    SimController& m_controller;
    QTimer* m_timer;
    QElapsedTimer m_clock;
};

} // namespace quelnet::sim
