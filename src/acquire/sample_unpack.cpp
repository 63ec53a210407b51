#include "src/acquire/sample_unpack.h"

#include <algorithm>

namespace tracely {

void unpackSamples(WindowCaptureMembers& s, const QByteArray& samples) {
    const auto capacity = static_cast<int>(std::min<std::size_t>(
        static_cast<std::size_t>(std::max<int>(s.intCaptureLen, 0)), s.bytSampleBuf.size()));
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2) {
        if (s.intWriteIdx < 1 || s.intWriteIdx > capacity) {
            break;
        }
        SampleRow& row = s.bytSampleBuf[static_cast<std::size_t>(s.intWriteIdx - 1)];
        row.logic = static_cast<std::uint8_t>(samples[i]);
        row.analog = static_cast<std::uint8_t>(samples[i + 1]);
        ++s.intWriteIdx;
    }
}

} // namespace tracely
