#include "src/settings/settings_log.h"

namespace tracely {

// Only warnings and worse show unless a logging rule asks for more.
Q_LOGGING_CATEGORY(lcSettings, "tracely.settings", QtWarningMsg)

} // namespace tracely
