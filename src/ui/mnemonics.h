#pragma once

#include <QChar>
#include <QString>

#include <set>

class QWidget;

namespace tracely {

// `text` with an '&' before the first letter or digit not yet in `used` (compared without
// case), which is then added to `used`. Text that already has a mnemonic, or has no free
// letter, comes back unchanged ("&&" counts as a literal ampersand).
QString withMnemonic(const QString& text, std::set<QChar>& used);

// Gives every button, check box, option button and titled frame under `root` an Alt-key
// mnemonic. Stacked pages are separate scopes (only the shown one takes keys); what lies
// outside them (the dialog's buttons) is shared by all, and claims its letters first.
void assignMnemonics(QWidget* root);

} // namespace tracely
