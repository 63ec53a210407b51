#pragma once

#include <QLoggingCategory>

namespace tracely {

// "tracely.acquire": echoes that did not match, replies the framer rejected, links lost. Off by
// default; QT_LOGGING_RULES="tracely.acquire=true" turns it on.
Q_DECLARE_LOGGING_CATEGORY(lcAcquire)

} // namespace tracely
