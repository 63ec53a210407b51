#include "src/acquire/acquire_log.h"

namespace tracely {

// Only warnings and worse show unless a logging rule asks for more.
Q_LOGGING_CATEGORY(lcAcquire, "tracely.acquire", QtWarningMsg)

} // namespace tracely
