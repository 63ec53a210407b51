#pragma once

#include "src/instrument/lamp_colours.h"
#include "src/widgets/identify.h"

#include <QColor>
#include <QString>

#include <initializer_list>

class QGroupBox;
class QLabel;
class QWidget;

namespace tracely::widgets {
class TwoStateButton;
}

// Small makers the front panel's design is built from (internal to the design).
namespace tracely::panel_parts {

// Trace colours: channel A yellow, channel B cyan, as on most bench scopes.
inline const QColor kChannelA(255, 221, 51);
inline const QColor kChannelB(64, 208, 255);
inline const QColor kTrigger(255, 80, 80);
inline constexpr int kButtonHeight = 30;
inline constexpr int kDesignPointSize = 8;

template <class W> W* named(W* w, const char* id, const QString& accessible) {
    widgets::identify(w, QString::fromLatin1(id), accessible);
    return w;
}

widgets::TwoStateButton* button(QWidget* parent, const char* id, const QString& caption,
                                bool momentary = false);
widgets::TwoStateButton* led(QWidget* parent, const char* id, const QString& role,
                             quint32 colour = colour::kGreen);
// A bold group label, as printed on the panel.
QLabel* caption(QWidget* parent, const char* id, const QString& text);
QGroupBox* frame(QWidget* parent, const char* id, const QString& title);
// A button with its indicator lamp beside it.
QWidget* withLed(QWidget* parent, widgets::TwoStateButton* b, widgets::TwoStateButton* l);
// Widgets stacked and centred.
QWidget* column(QWidget* parent, std::initializer_list<QWidget*> items);
// Widgets side by side, the first taking the spare width.
QWidget* row(QWidget* parent, std::initializer_list<QWidget*> items);

} // namespace tracely::panel_parts
