#pragma once

// The fakes of the platform bundle and of what the link writes to, one class per file.
#include "support/FakeApplication.h"
#include "support/FakeAttention.h"
#include "support/FakeChatView.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/FakeDesktop.h"
#include "support/FakeMessageBox.h"
#include "support/FakePump.h"
#include "support/FakeSettings.h"
#include "support/FakeSound.h"
#include "support/FakeWindowSystem.h"
