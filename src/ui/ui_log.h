#pragma once

#include <QLoggingCategory>

namespace tracely {

// "tracely.ui": what the windows could not show (a missing manual). Off by default;
// QT_LOGGING_RULES="tracely.ui=true" turns it on.
Q_DECLARE_LOGGING_CATEGORY(lcUi)

} // namespace tracely
