#include "src/ui/ui_log.h"

namespace tracely {

// Only warnings and worse show unless a logging rule asks for more.
Q_LOGGING_CATEGORY(lcUi, "tracely.ui", QtWarningMsg)

} // namespace tracely
