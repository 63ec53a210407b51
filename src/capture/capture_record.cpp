#include "src/capture/capture_record.h"

#include "src/acquire/display_points.h"
#include "src/acquire/trigger_search.h"

#include <algorithm>
#include <span>

namespace tracely {

const std::vector<float>* CapturePoints::analog(const CaptureRecord& r, char* which) const {
    // The capture cycle builds points for exactly one enabled channel.
    if (r.a.enabled && !r.b.enabled) {
        if (which) {
            *which = 'A';
        }
        return &cha;
    }
    if (r.b.enabled && !r.a.enabled) {
        if (which) {
            *which = 'B';
        }
        return &chb;
    }
    return nullptr;
}

CapturePoints displayPointsOf(const CaptureRecord& r) {
    FrontPanelState s;
    s.bytSampleBuf = r.samples;
    s.intCaptureLen = static_cast<std::int16_t>(std::min<std::size_t>(r.samples.size(), 32767));
    s.intTrigIndex = r.trigRow;
    s.bytS_REG_R8 = r.sent[3];
    s.lngBaudRate = r.baud;
    s.sngCHaAdj = r.a.adj;
    s.sngCHbAdj = r.b.adj;
    s.intCHaLen = r.chaLen;
    s.intCHbLen = r.chbLen;
    s.intLogicLen = r.logicLen;
    s.sngCHaData.clear();
    s.sngCHbData.clear();
    buildDisplayPoints(s, r.a.enabled, r.b.enabled);
    CapturePoints p;
    p.cha = std::move(s.sngCHaData);
    p.chb = std::move(s.sngCHbData);
    p.logic = std::move(s.bytLogicData);
    p.trigIndex = s.intTrigIndex;
    return p;
}

CaptureRecord recordFromState(const FrontPanelState& s, const CapturePanelFacts& f) {
    CaptureRecord r;
    const std::size_t rows = std::min(static_cast<std::size_t>(std::max<int>(s.intCaptureLen, 0)),
                                      s.bytSampleBuf.size());
    r.samples.assign(s.bytSampleBuf.begin(), s.bytSampleBuf.begin() + static_cast<long>(rows));
    const std::uint8_t regs[] = {s.bytREG_R3,  s.bytREG_R4,  s.bytREG_R5,  s.bytREG_R6,
                                 s.bytREG_R7,  s.bytREG_R8,  s.bytREG_R11, s.bytREG_R12,
                                 s.bytREG_R13, s.bytREG_R14, s.bytREG_R15, s.bytREG_R20};
    const int numbers[] = {3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 20};
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        r.image[static_cast<std::size_t>(numbers[i])] = regs[i];
    }
    r.sent = {s.bytS_REG_R5, s.bytS_REG_R6, s.bytS_REG_R7, s.bytS_REG_R8};
    r.timeRange = f.timeRange;
    r.sampleRate = s.strSampleRate;
    r.sampleClock = s.strSampleClock;
    r.baud = s.lngBaudRate;
    r.timeAdj = s.sngTimeAdj;
    r.timeScale = s.lngTimeScale;
    r.timeBase = s.intTimeBase;
    // The row the capture cycle's search found, found again on the same inputs: the state only
    // keeps the display point it became.
    const TriggerSearchInput in{s.bytS_REG_R5, s.bytS_REG_R6, s.bytS_REG_R7,
                                s.bytREG_R5,   s.bytREG_R6,   f.logicTrigger};
    r.trigRow = findTriggerRow(std::span(r.samples), s.intTrigStart, in, s.intTrigIndex);
    r.chaLen = std::max<std::int16_t>(s.intCHaLen, 0);
    r.chbLen = std::max<std::int16_t>(s.intCHbLen, 0);
    r.logicLen = std::max<std::int16_t>(s.intLogicLen, 0);
    r.a = f.a;
    r.a.range = s.bytCHaRange;
    r.a.adj = s.sngCHaAdj;
    r.a.scale = s.sngCHaScale;
    r.a.offset = s.sngCHaOffset;
    r.b = f.b;
    r.b.range = s.bytCHbRange;
    r.b.adj = s.sngCHbAdj;
    r.b.scale = s.sngCHbScale;
    r.b.offset = s.sngCHbOffset;
    r.pod = f.pod;
    r.primaryB = f.primaryB;
    r.logicTrigger = f.logicTrigger;
    r.triggerMode = f.triggerMode;
    r.triggerLevel = f.triggerLevel;
    r.triggerWord = f.triggerWord;
    r.showTrigLogic = s.blnShowTrigLogic;
    r.firmware = s.varFirmware;
    r.takenAt = f.takenAt;
    return r;
}

} // namespace tracely
