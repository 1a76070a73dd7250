// Letting the user interface breathe during long loops. The window system
// installs the pump (remove and dispatch every pending window message); the
// cadence rules live here so that they are the same everywhere.
#pragma once

#include <cstdint>
#include <functional>

namespace qz {

// Installs the function that dispatches every pending window message; an
// empty function = nothing to pump (tests, batch work).
void SetMessagePump(std::function<void()> pump);

// Pumps `count` times; unless `force`, only every XMULTITASK[2]-th call does
// work (a divisor of 0 means every call). Re-entry is ignored.
void MULTITASK(int count = 1, bool force = false);
// Keeps pumping until `seconds` have passed.
void WAIT_TIME(double seconds);
// Waits until the tick count has advanced by `milliseconds`.
void XWAITMILLISEC(int64_t milliseconds);

}  // namespace qz
