#pragma once

#include "core/model/WindowModel.h"

namespace squadlink {

// Puts the fixed captions of frames, buttons, options, check boxes and column headings into
// the model, so that the model holds every caption the window shows. Labels that carry state
// (addresses, game details, status panes) are left alone: the behaviour fills those.
void applyCaptions(WindowModel& model);

}  // namespace squadlink
