#pragma once
// What the run mode needs from the rest of the program, as small interfaces so
// that the poll logic can be driven by a fake controller and a fake clock:
//  - the circuit operations of the device link,
//  - the system's millisecond tick counter,
//  - the window that shows pictures and the error text.

#include "core/link/CircuitIo.h"

#include <QString>
#include <cstdint>

namespace quelnet {

// Milliseconds since system start, in 64 bits: a deadline up to the longest
// refresh period (2^32 - 1 ms, about 49.7 days) ahead is compared exactly,
// where a 32-bit tick would have to take one more than 2^31 ms ahead for past.
class ITickSource {
public:
    virtual ~ITickSource() = default;
    virtual std::uint64_t TickMs() = 0;
};

// The run-mode window as the poll logic sees it. Kinds and slots as in the
// element model (buttons and digital indicators for the digital calls).
class IRunView {
public:
    virtual ~IRunView() = default;
    // The picture for a digital state (false: sI_ImgL, true: sI_ImgH).
    virtual void ShowDigital(int kind, int slot, bool state) = 0;
    // The picture for an analog value by the levels of the indicator.
    virtual void ShowAnalog(int slot, float value) = 0;
    // No picture (an element without a state circuit).
    virtual void ClearPicture(int kind, int slot) = 0;
    // Start of every poll tick: the status bar is emptied and hidden.
    virtual void ClearStatus() = 0;
    // The error stop: the text in the status bar, shown, and polling stopped for good.
    virtual void ErrorStop(const QString& text) = 0;
};

} // namespace quelnet
