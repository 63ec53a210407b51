#pragma once

#include <QLoggingCategory>

namespace tracely {

// "tracely.settings": saves that failed or went elsewhere, and why. Off by default;
// QT_LOGGING_RULES="tracely.settings=true" turns it on.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

} // namespace tracely
