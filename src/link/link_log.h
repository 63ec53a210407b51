#pragma once

#include <QLoggingCategory>

namespace tracely {

// "tracely.link": why the serial component failed (the system's reason included). Off by default;
// QT_LOGGING_RULES="tracely.link=true" turns it on.
Q_DECLARE_LOGGING_CATEGORY(lcLink)

} // namespace tracely
