#include "core/panel/RunPoller.h"

namespace quelnet {

namespace {

constexpr std::uint32_t DefaultRefreshMs = 1000;

// Sets a flag for the lifetime of a scope.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyScope() { m_flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

RunPoller::RunPoller(ElementRecords& records, ICircuitIo& io, ITickSource& clock, IRunView& view)
    : m_records(records), m_io(io), m_clock(clock), m_view(view) {}

bool RunPoller::Due(std::uint64_t wL_Fresh, std::uint64_t now) {
    return wL_Fresh == 0 || now > wL_Fresh;
}

std::uint64_t RunPoller::NextFresh(std::uint64_t now, std::uint32_t sI_Refr) {
    return now + (sI_Refr == 0 ? DefaultRefreshMs : sI_Refr);
}

float RunPoller::SliderValue(const TES_Track& track, int position) {
    const long double value = static_cast<long double>(position) * static_cast<long double>(track.sStepVal) +
                              static_cast<long double>(track.sStartVal);
    return static_cast<float>(value);
}

void RunPoller::ErrorStop() {
    m_stopped = true;
    m_view.ErrorStop(m_io.GetLastError());
}

template <typename Record> bool RunPoller::PollDigital(int kind, int slot, Record& rec) {
    if (rec.sI_DCir.isEmpty()) {
        m_view.ClearPicture(kind, slot);
    } else {
        bool state = false;
        if (!m_io.GetInpDigi(rec.sHost, rec.sPort, rec.sPass, rec.sI_DCir, rec.sI_Conn, state)) {
            ErrorStop();
            return false;
        }
        m_view.ShowDigital(kind, slot, state);
    }
    rec.wL_Fresh = NextFresh(m_clock.TickMs(), rec.sI_Refr);
    return true;
}

bool RunPoller::PollAnalog(int slot, TES_ASign& rec) {
    if (rec.sI_ACir.isEmpty()) {
        m_view.ClearPicture(KindASign, slot);
    } else {
        float value = 0;
        if (!m_io.GetInpAnal(rec.sHost, rec.sPort, rec.sPass, rec.sI_ACir, rec.sI_Conn, value)) {
            ErrorStop();
            return false;
        }
        m_view.ShowAnalog(slot, value);
    }
    rec.wL_Fresh = NextFresh(m_clock.TickMs(), rec.sI_Refr);
    return true;
}

void RunPoller::Tick() {
    if (m_stopped || m_busy || m_halted)
        return;
    BusyScope busy(m_busy);
    m_view.ClearStatus();

    // Indexes, not iterators: the arrays are only read here, but a view call may
    // in principle let the window grow them.
    for (std::size_t i = 0; i < m_records.ES_Buttons.size(); ++i) {
        TES_Button& rec = m_records.ES_Buttons[i];
        if (!rec.sEnabled || !Due(rec.wL_Fresh, m_clock.TickMs()))
            continue;
        if (!PollDigital(KindButton, static_cast<int>(i), rec) || m_halted)
            return;
    }
    for (std::size_t i = 0; i < m_records.ES_DSigns.size(); ++i) {
        TES_DSign& rec = m_records.ES_DSigns[i];
        if (!rec.sEnabled || !Due(rec.wL_Fresh, m_clock.TickMs()))
            continue;
        if (!PollDigital(KindDSign, static_cast<int>(i), rec) || m_halted)
            return;
    }
    for (std::size_t i = 0; i < m_records.ES_ASigns.size(); ++i) {
        TES_ASign& rec = m_records.ES_ASigns[i];
        if (!rec.sEnabled || !Due(rec.wL_Fresh, m_clock.TickMs()))
            continue;
        if (!PollAnalog(static_cast<int>(i), rec) || m_halted)
            return;
    }
}

void RunPoller::OutputClick(const QString& controlName) {
    if (m_busy)
        return;
    int slot = -1;
    std::uint64_t* fresh = nullptr;
    const TES_Button* button = nullptr;
    const TES_DSign* sign = nullptr;
    if (SlotFromName(controlName, PrefixButtonPanel, &slot)) {
        if (slot < 0 || slot >= static_cast<int>(m_records.ES_Buttons.size()))
            return;
        button = &m_records.ES_Buttons[slot];
        fresh = &m_records.ES_Buttons[slot].wL_Fresh;
    } else if (SlotFromName(controlName, PrefixSignDImage, &slot)) {
        if (slot < 0 || slot >= static_cast<int>(m_records.ES_DSigns.size()))
            return;
        sign = &m_records.ES_DSigns[slot];
        fresh = &m_records.ES_DSigns[slot].wL_Fresh;
    } else {
        return;
    }

    const bool enabled = button ? button->sEnabled : sign->sEnabled;
    const QString& circ = button ? button->sO_DCir : sign->sO_DCir;
    if (!enabled || circ.isEmpty())
        return;

    BusyScope busy(m_busy);
    const bool done =
        button ? m_io.SetOutDigi(button->sHost, button->sPort, button->sPass, circ, button->sO_Mode)
               : m_io.SetOutDigi(sign->sHost, sign->sPort, sign->sPass, circ, sign->sO_Mode);
    if (done)
        *fresh = 0;
    else
        ErrorStop();
}

void RunPoller::SliderChange(const QString& controlName, int position) {
    if (m_busy)
        return;
    int slot = -1;
    if (!SlotFromName(controlName, PrefixSliderTrack, &slot))
        return;
    if (slot < 0 || slot >= static_cast<int>(m_records.ES_Tracks.size()))
        return;
    const TES_Track& rec = m_records.ES_Tracks[slot];
    if (!rec.sEnabled || rec.sO_ACir.isEmpty())
        return;

    BusyScope busy(m_busy);
    if (!m_io.SetOutAnal(rec.sHost, rec.sPort, rec.sPass, rec.sO_ACir, SliderValue(rec, position)))
        ErrorStop();
}

} // namespace quelnet
