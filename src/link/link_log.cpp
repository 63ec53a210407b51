#include "src/link/link_log.h"

namespace tracely {

// Only warnings and worse show unless a logging rule asks for more.
Q_LOGGING_CATEGORY(lcLink, "tracely.link", QtWarningMsg)

} // namespace tracely
