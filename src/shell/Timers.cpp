#include "shell/Timers.h"

namespace squadlink {

void InitTimers(WindowModel& ui) {
    ui.tDelayUpdate.setInterval(5000);
    ui.tTimeout.setInterval(30000);
    ui.tFlood.setInterval(500);
    ui.tWaitCD.setInterval(3000);
    ui.tFixBanner.setInterval(250);
    ui.t1sec.setInterval(1000);
}

void StopTimers(WindowModel& ui) {
    for (Timer* timer : {&ui.tTimeout, &ui.tFlood, &ui.t1sec, &ui.tSW, &ui.tBanner, &ui.tFixBanner,
                         &ui.tWaitCD, &ui.tDelayUpdate}) {
        timer->setInterval(0);
        timer->stop();
    }
}

}  // namespace squadlink
