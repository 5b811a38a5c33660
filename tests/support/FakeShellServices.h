#pragma once

// The fakes of the shell's own OS pieces, one class per file.
#include "support/FakeHotKeys.h"
#include "support/FakeInstanceChannel.h"
#include "support/FakeTray.h"
#include "support/FakeUrlScheme.h"
