#include "src/core/front_panel_state.h"

namespace tracely {

void commitCaptureGeometry(WindowCaptureMembers& s) {
    s.intCHaLen = s.intCHaLenNext;
    s.intCHbLen = s.intCHbLenNext;
    s.intLogicLen = s.intLogicLenNext;
    s.intCaptureLen = s.intCaptureLenNext;
    s.intDumpOffset = s.intDumpOffsetNext;
    s.intTrigStart = s.intTrigStartNext;
    s.intChunksLeft = s.intChunksNext;
}

} // namespace tracely
