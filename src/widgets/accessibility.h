#pragma once

class QWidget;

namespace tracely::widgets {

// Registers the accessible interfaces of knobs, slides and two-state buttons with Qt (once;
// every widget constructor calls it). Knobs and slides expose their value; buttons and LEDs
// their checked state. Names fall back to the caption or the role in words, descriptions to
// the object name.
void installAccessibility();

// Drops an interface Qt made for `w` before it was described, so that the next query gives
// one that says the role and the state.
void renewAccessible(QWidget* w);

} // namespace tracely::widgets
