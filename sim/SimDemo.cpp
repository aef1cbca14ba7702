#include "sim/SimDemo.h"

#include "sim/SimController.h"

#include <QTimer>
#include <cmath>

namespace quelnet::sim {

namespace {
constexpr int StepMs = 100;
constexpr qint64 HalfPeriodsMs[] = {1000, 1700, 2900, 4300}; // IN1..IN4, then again
constexpr double Pi = 3.14159265358979323846;
} // namespace

SimDemo::SimDemo(SimController& controller, QObject* parent)
    : QObject(parent), m_controller(controller), m_timer(new QTimer(this)) {
    connect(m_timer, &QTimer::timeout, this, &SimDemo::Step);
}

void SimDemo::Start() {
    m_clock.start();
    Step();
    m_timer->start(StepMs);
}

bool SimDemo::DigitalAt(int index, qint64 ms) {
    const qint64 half = HalfPeriodsMs[index % 4] * (1 + index / 4);
    return (ms / half) % 2 == 1;
}

float SimDemo::AnalogAt(int index, qint64 ms) {
    const double t = double(ms) / 1000.0;
    if (index % 2 == 0) { // sine, 20 s period
        const double period = 20.0 * (1 + index / 2);
        return float(50.0 - 50.0 * std::cos(2.0 * Pi * t / period));
    }
    const double period = 30.0 * (1 + index / 2); // triangle, 30 s period
    const double phase = std::fmod(t, period) / period;
    return float(phase < 0.5 ? 200.0 * phase : 200.0 * (1.0 - phase));
}

void SimDemo::Step() {
    const qint64 ms = m_clock.elapsed();
    int digital = 0, analog = 0;
    for (const CircuitSpec& c : m_controller.Circuits()) {
        if (c.output)
            continue;
        if (c.analog)
            m_controller.SetAnalog(c.name, std::round(AnalogAt(analog++, ms) * 10.0f) / 10.0f);
        else
            m_controller.SetDigital(c.name, DigitalAt(digital++, ms));
    }
}

} // namespace quelnet::sim
