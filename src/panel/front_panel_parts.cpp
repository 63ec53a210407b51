#include "src/panel/front_panel_parts.h"

#include "src/widgets/two_state_button.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tracely::panel_parts {

using widgets::TwoStateButton;

TwoStateButton* button(QWidget* parent, const char* id, const QString& caption, bool momentary) {
    auto* b = named(new TwoStateButton(TwoStateButton::Look::Button, parent), id, caption);
    b->setCaption(caption);
    b->setMomentary(momentary);
    b->setFixedHeight(kButtonHeight);
    return b;
}

TwoStateButton* led(QWidget* parent, const char* id, const QString& role, quint32 colour) {
    auto* l = named(new TwoStateButton(TwoStateButton::Look::Led, parent), id, role);
    l->setColour(colour);
    return l;
}

QLabel* caption(QWidget* parent, const char* id, const QString& text) {
    auto* l = named(new QLabel(text, parent), id, text);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QGroupBox* frame(QWidget* parent, const char* id, const QString& title) {
    return named(new QGroupBox(title, parent), id, title);
}

QWidget* withLed(QWidget* parent, TwoStateButton* b, TwoStateButton* l) {
    b->setMinimumWidth(36);
    return row(parent, {b, l});
}

QWidget* column(QWidget* parent, std::initializer_list<QWidget*> items) {
    auto* box = new QWidget(parent);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    for (QWidget* w : items) {
        v->addWidget(w, 0, Qt::AlignHCenter);
    }
    return box;
}

QWidget* row(QWidget* parent, std::initializer_list<QWidget*> items) {
    auto* box = new QWidget(parent);
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(3);
    bool first = true;
    for (QWidget* w : items) {
        h->addWidget(w, first ? 1 : 0, first ? Qt::Alignment() : Qt::AlignVCenter);
        first = false;
    }
    return box;
}

} // namespace tracely::panel_parts
