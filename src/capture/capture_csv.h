#pragma once

#include "src/capture/capture_record.h"

#include <string>
#include <string_view>

namespace tracely {

// The capture as comma-separated text: "name,value" lines describing how it was taken, an empty
// line, then a header row "time_s,volts,D0,...,D7" and one row per display point. Time is in
// seconds from the trigger point, volts at the input; the volts cell is empty when no analog
// channel was captured. Lines end in CRLF, as RFC 4180 has it.
std::string captureCsv(const CaptureRecord& record, const CapturePoints& points);

// One CSV field, quoted when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text);

} // namespace tracely
