#pragma once

#include <QLoggingCategory>

namespace tracely {

// "tracely.capture": capture files that could not be read or written, and why. Off by default;
// QT_LOGGING_RULES="tracely.capture=true" turns it on.
Q_DECLARE_LOGGING_CATEGORY(lcCapture)

} // namespace tracely
