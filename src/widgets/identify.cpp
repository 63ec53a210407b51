#include "src/widgets/identify.h"

#include <QWidget>

namespace tracely::widgets {

void identify(QWidget* widget, const QString& objectName, const QString& accessibleName) {
    if (widget == nullptr) {
        return;
    }
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
    widget->setAccessibleDescription(objectName);
}

} // namespace tracely::widgets
