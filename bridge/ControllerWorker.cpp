#include "bridge/ControllerWorker.h"

#include "bridge/Log.h"
#include "core/link/DeviceLink.h"
#include "core/panel/RunPoller.h"

#include <algorithm>
#include <chrono>

namespace quelnet::bridge {

namespace {

// Circuits whose deadlines fall this close together are read in one pass,
// after the last of them: each read still waits its whole period, and a
// controller's circuits cost one wake-up per period instead of one each.
constexpr std::uint64_t GatherMs = 10;

std::uint64_t NowMs() {
    return std::uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count());
}

QString Trimmed(const QString& field) {
    QString s = field;
    s.remove(QChar(0));
    return s.trimmed();
}

} // namespace

ControllerWorker::ControllerWorker(const ControllerConfig& config, const BridgeSettings& settings, IPublisher& out)
    : m_config(config), m_settings(settings), m_out(out) {
    for (const CircuitConfig& c : config.circuits) {
        m_circuits.emplace_back();
        m_circuits.back().config = c;
        m_circuits.back().stateTopic = StateTopic(settings, config.name, c.name);
    }
}

ControllerWorker::~ControllerWorker() {
    Stop();
}

void ControllerWorker::Beat() {
    m_beat = NowMs();
}

bool ControllerWorker::Stuck() const {
    const std::uint64_t nowMs = NowMs();
    // An exchange is a connection and a reply, each within the link time-out;
    // an identification two of the shorter identification time-out.
    const std::uint64_t limit = 4 * std::uint64_t(m_settings.linkTimeoutMs) + 10000;
    const std::uint64_t beat = m_beat;
    return !m_waiting && nowMs > beat && nowMs - beat > limit;
}

void ControllerWorker::Start() {
    Beat();
    m_thread = std::thread([this] { Run(); });
}

void ControllerWorker::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ControllerWorker::Command(const QString& circuit, const QByteArray& payload) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({circuit, payload});
    }
    m_wake.notify_all();
}

void ControllerWorker::SetOnline(bool online, const QString& why) {
    if (m_online == int(online))
        return;
    m_online = int(online);
    m_out.Publish(AvailabilityTopic(m_settings, m_config.name), online ? "online" : "offline", true);
    if (online)
        LogInfo(QStringLiteral("%1: online").arg(m_config.name));
    else
        LogWarning(QStringLiteral("%1: offline: %2").arg(m_config.name, why));
}

void ControllerWorker::Identify(TfmCommon& link) {
    Beat();
    QString ver, rea, ser, lng;
    QChar boa;
    bool con = false;
    if (!link.CheckNewQuelnet(m_config.address, QString::number(m_config.port), m_config.password, ver, boa, con, rea,
                              ser, lng))
        return;
    m_identified = true;
    Identity id{Trimmed(ver), boa.isNull() ? QString() : QString(boa), Trimmed(rea), Trimmed(ser)};
    LogInfo(QStringLiteral("%1: %2, serial %3").arg(m_config.name, id.version, id.serial));
    if (onIdentified)
        onIdentified(id);
}

bool ControllerWorker::Read(TfmCommon& link, Circuit& c, bool force) {
    Beat();
    const std::uint8_t mode = c.config.output ? 1 : 0;
    QByteArray payload;
    bool ok = false;
    if (c.config.analog) {
        float value = 0;
        ok = link.GetInpAnal(m_config.address, m_config.port, m_config.password, c.config.name, mode, value);
        payload = AnalogPayload(value);
    } else {
        bool state = false;
        ok = link.GetInpDigi(m_config.address, m_config.port, m_config.password, c.config.name, mode, state);
        payload = DigitalPayload(state);
    }
    if (!ok)
        return false;
    c.fresh = RunPoller::NextFresh(NowMs(), c.config.periodMs);
    ++c.sinceSent;
    if (force || !c.known || payload != c.last || c.sinceSent >= m_settings.republishPeriods) {
        m_out.Publish(c.stateTopic, payload, true);
        c.known = true;
        c.last = payload;
        c.sinceSent = 0;
    }
    return true;
}

void ControllerWorker::Execute(TfmCommon& link, const Pending& cmd) {
    auto it = std::find_if(m_circuits.begin(), m_circuits.end(),
                           [&](const Circuit& c) { return c.config.name == cmd.circuit; });
    if (it == m_circuits.end()) {
        LogWarning(QStringLiteral("%1: no circuit %2 in the configuration; command ignored").arg(m_config.name, cmd.circuit));
        return;
    }
    const bridge::Command parsed = ParseCommand(it->config, cmd.payload);
    if (!parsed.ok) {
        LogWarning(QStringLiteral("%1: command ignored: %2").arg(m_config.name, parsed.why));
        return;
    }
    Beat();
    const bool done = it->config.analog
                          ? link.SetOutAnal(m_config.address, m_config.port, m_config.password, it->config.name,
                                            parsed.value)
                          : link.SetOutDigi(m_config.address, m_config.port, m_config.password, it->config.name,
                                            parsed.mode);
    if (!done) {
        LogWarning(QStringLiteral("%1: %2 not set: %3").arg(m_config.name, it->config.name, link.GetLastError()));
        return;
    }
    // The state as the controller now has it, published whether or not it changed.
    if (!Read(link, *it, true))
        it->fresh = 0;
}

void ControllerWorker::Wait(std::uint64_t untilMs) {
    m_waiting = true;
    {
        std::unique_lock lock(m_mutex);
        const auto now = NowMs();
        if (untilMs > now)
            m_wake.wait_for(lock, std::chrono::milliseconds(untilMs - now),
                            [this] { return m_stop || !m_queue.empty(); });
    }
    Beat();
    m_waiting = false;
}

void ControllerWorker::Run() {
    TfmCommon link; // created and used on this thread only
    TfmCommon::Timeouts t;
    t.Link = m_settings.linkTimeoutMs;
    t.Identify = std::min(t.Identify, m_settings.linkTimeoutMs);
    link.SetTimeouts(t);

    std::uint32_t shortest = 1000;
    for (const Circuit& c : m_circuits)
        shortest = std::min(shortest, std::uint32_t(RunPoller::NextFresh(0, c.config.periodMs)));
    const std::uint64_t firstPause = std::max<std::uint32_t>(shortest, 100);
    std::uint64_t pause = firstPause;
    std::uint64_t retryAt = 0;

    std::vector<Pending> commands;
    for (;;) {
        commands.clear();
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                break;
            commands.swap(m_queue);
        }
        if (m_online == 0 && NowMs() < retryAt) {
            if (!commands.empty())
                LogWarning(QStringLiteral("%1: offline; %2 command(s) dropped").arg(m_config.name).arg(commands.size()));
            Wait(retryAt);
            continue;
        }
        // Once per coming online, so that a controller that cannot tell who
        // it is costs no extra exchange per read.
        if (!m_identified && m_online != 1)
            Identify(link);
        for (const Pending& cmd : commands)
            Execute(link, cmd);

        bool failed = false;
        for (Circuit& c : m_circuits) {
            if (RunPoller::Due(c.fresh, NowMs()) && !Read(link, c, false)) {
                failed = true;
                break;
            }
        }
        if (failed) {
            SetOnline(false, link.GetLastError());
            link.EndComm();
            retryAt = NowMs() + pause;
            pause = std::min<std::uint64_t>(pause * 2, std::uint64_t(m_settings.retryMaxMs));
            for (Circuit& c : m_circuits)
                c.fresh = 0;
            continue;
        }
        SetOnline(true, {});
        pause = firstPause;
        std::uint64_t first = UINT64_MAX, last = 0;
        for (const Circuit& c : m_circuits)
            first = std::min(first, c.fresh);
        for (const Circuit& c : m_circuits)
            if (c.fresh <= first + GatherMs)
                last = std::max(last, c.fresh);
        // Due() wants the tick past the deadline.
        Wait(last + 1);
    }
    link.EndComm();
}

} // namespace quelnet::bridge
