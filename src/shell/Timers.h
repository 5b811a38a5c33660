#pragma once

#include "core/model/WindowModel.h"

namespace squadlink {

// Sets the intervals of the six timers with fixed intervals; enables nothing.
void InitTimers(WindowModel& ui);
// Stops every timer and clears its interval.
void StopTimers(WindowModel& ui);

}  // namespace squadlink
