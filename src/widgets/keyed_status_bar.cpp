#include "src/widgets/keyed_status_bar.h"

#include "src/widgets/described.h"
#include "src/widgets/identify.h"

#include <QLabel>

#include <algorithm>

namespace tracely::widgets {

KeyedStatusBar::KeyedStatusBar(QWidget* parent) : QStatusBar(parent) {}

QLabel* KeyedStatusBar::panel(const QString& key) const {
    const auto it = std::find_if(panels_.begin(), panels_.end(),
                                 [&](const QLabel* l) { return l->objectName() == key; });
    return it == panels_.end() ? nullptr : *it;
}

QLabel* KeyedStatusBar::addPanel(const QString& key, const QString& text, int stretch) {
    if (key.isEmpty()) {
        return nullptr;
    }
    if (QLabel* existing = panel(key)) {
        existing->setText(text);
        return existing;
    }
    auto* label = new QLabel(text, this);
    // The name stays empty so that assistive technology reads the panel's text.
    identify(label, key, QString());
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(4, 0, 4, 0);
    addPermanentWidget(label, std::max(stretch, 0));
    panels_.push_back(label);
    return label;
}

void KeyedStatusBar::setPanelText(const QString& key, const QString& text) {
    if (QLabel* label = panel(key); label && label->text() != text) {
        label->setText(text);
        announce(label);
    }
}

QString KeyedStatusBar::panelText(const QString& key) const {
    const QLabel* label = panel(key);
    return label == nullptr ? QString() : label->text();
}

} // namespace tracely::widgets
