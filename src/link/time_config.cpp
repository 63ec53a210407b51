#include "src/link/time_config.h"

#include "src/core/front_panel_state.h"
#include "src/instrument/timebase.h"
#include "src/instrument/trigger_codes.h"

namespace tracely::timebase {

void CofigTime(FrontPanelState& s, double timeRangeKnobValue) {
    const int p = knobPosition(timeRangeKnobValue);
    const auto scale = timeScaleFor(p);
    if (!scale) {
        return;
    }
    s.lngTimeScale = scale->lngTimeScale;
    s.intTimeBase = scale->intTimeBase;

    const auto rate = rateFromText(s.strSampleRate);
    if (!rate) {
        return;
    }
    const CaptureGeometry g = captureGeometry(*rate, s.lngBaudRate, p);
    s.bytREG_R8 = regs::withDecimation(s.bytREG_R8, g.r8Bit1);
    s.sngTimeAdj = g.sngTimeAdj;
    s.intCHaLenNext = g.points;
    s.intCHbLenNext = g.points;
    s.intLogicLenNext = g.points;
    s.intChunksNext = g.chunks;
    s.intCaptureLenNext = g.capture;
    s.intTrigStartNext = g.trigStart;
    s.intDumpOffsetNext = g.dumpOffset;
    s.bytREG_R11 = g.r11;
    s.bytREG_R12 = g.r12;
    s.bytREG_R13 = g.r13;
    s.bytREG_R20 = g.r20;
}

} // namespace tracely::timebase
