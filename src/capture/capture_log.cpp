#include "src/capture/capture_log.h"

namespace tracely {

// Only warnings and worse show unless a logging rule asks for more.
Q_LOGGING_CATEGORY(lcCapture, "tracely.capture", QtWarningMsg)

} // namespace tracely
