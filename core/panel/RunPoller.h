#pragma once
// The run mode without widgets: one poll tick, a click on a button or digital
// indicator, a slider movement. All controller traffic is synchronous; the
// first failed exchange stops polling for the rest of the run (the error stop),
// while clicks and sliders keep working.

#include "core/panel/ElementModel.h"
#include "core/panel/RunSeams.h"

#include <QString>
#include <cstdint>

namespace quelnet {

class RunPoller {
public:
    RunPoller(ElementRecords& records, ICircuitIo& io, ITickSource& clock, IRunView& view);

    // One tick of the poll timer: buttons, then digital indicators, then analog
    // indicators, each in slot order; only enabled elements whose deadline has
    // passed are read. Does nothing once stopped.
    void Tick();

    // Click on a control named PP_<slot> (button) or ID_<slot> (digital indicator).
    void OutputClick(const QString& controlName);

    // Position change of a track bar named TZ_<slot>.
    void SliderChange(const QString& controlName, int position);

    // True after the error stop; nothing polls again.
    bool Stopped() const { return m_stopped; }

    // True while an exchange of a tick, click or slider move waits for its
    // result (the window may handle other events meanwhile).
    bool Busy() const { return m_busy; }

    // The window is closing: a running tick ends after the element it is
    // reading, and no tick starts again. Clicks and sliders still work.
    void Halt() { m_halted = true; }

    // The value a slider sends at a position: position * sStepVal + sStartVal,
    // computed in extended precision and rounded to single.
    static float SliderValue(const TES_Track& track, int position);

    // True when an element with this deadline is read at `now`. 0 means at the
    // next tick; otherwise the tick must be past the deadline. Both are 64-bit
    // milliseconds, so every period up to 2^32 - 1 ms is kept in full.
    static bool Due(std::uint64_t wL_Fresh, std::uint64_t now);

    // The next deadline: `now` plus the refresh period (0 meaning 1000).
    static std::uint64_t NextFresh(std::uint64_t now, std::uint32_t sI_Refr);

private:
    template <typename Record> bool PollDigital(int kind, int slot, Record& rec);
    bool PollAnalog(int slot, TES_ASign& rec);
    void ErrorStop();

    ElementRecords& m_records;
    ICircuitIo& m_io;
    ITickSource& m_clock;
    IRunView& m_view;
    bool m_stopped = false;
    bool m_halted = false;
    // The device link is not re-entrant: a timer tick or a click that arrives
    // while a request waits (a nested event loop) is not started on top of it.
    bool m_busy = false;
};

} // namespace quelnet
