#pragma once

#include <QString>

class QWidget;

namespace tracely::widgets {

// Gives a control its identity in one go: the object name (its identifier, e.g.
// "CWKTimeRange"), the accessible name (its caption or role in words) and the accessible
// description, which is always the object name so that GUI automation finds it.
void identify(QWidget* widget, const QString& objectName, const QString& accessibleName);

} // namespace tracely::widgets
