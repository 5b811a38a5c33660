#pragma once

struct _XDisplay;

namespace squadlink {

// The X11 connection Qt runs on; null under other platform plugins (Wayland, offscreen) or
// before the application object exists.
_XDisplay* qtX11Display();

}  // namespace squadlink
