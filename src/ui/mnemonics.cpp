#include "src/ui/mnemonics.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QStackedWidget>

namespace tracely {

namespace {

bool hasMnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&')) {
                return true;
            }
            ++i; // a literal ampersand
        }
    }
    return false;
}

// Widgets under `w` that take a mnemonic, not descending into stacked pages.
void collect(QWidget* w, std::vector<QWidget*>& out, std::vector<QStackedWidget*>& stacks) {
    for (QObject* child : w->children()) {
        auto* cw = qobject_cast<QWidget*>(child);
        if (cw == nullptr) {
            continue;
        }
        if (auto* stack = qobject_cast<QStackedWidget*>(cw)) {
            stacks.push_back(stack);
            continue;
        }
        // Tabs keep their captions as they are: Ctrl+Tab already reaches every page.
        if (qobject_cast<QAbstractButton*>(cw) || qobject_cast<QGroupBox*>(cw)) {
            out.push_back(cw);
        }
        collect(cw, out, stacks);
    }
}

void claim(const QString& text, std::set<QChar>& used) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && text[i + 1] != QLatin1Char('&')) {
            used.insert(text[i + 1].toLower());
            return;
        }
    }
}

void label(const std::vector<QWidget*>& widgets, std::set<QChar>& used) {
    // Letters already chosen by hand are taken first.
    for (QWidget* w : widgets) {
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            claim(b->text(), used);
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            claim(g->title(), used);
        }
    }
    for (QWidget* w : widgets) {
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(withMnemonic(b->text(), used));
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            g->setTitle(withMnemonic(g->title(), used));
        }
    }
}

} // namespace

QString withMnemonic(const QString& text, std::set<QChar>& used) {
    if (hasMnemonic(text)) {
        return text;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isLetterOrNumber() && used.insert(c.toLower()).second) {
            QString out = text;
            out.insert(i, QLatin1Char('&'));
            return out;
        }
    }
    return text;
}

void assignMnemonics(QWidget* root) {
    if (root == nullptr) {
        return;
    }
    std::vector<QWidget*> shared;
    std::vector<QStackedWidget*> stacks;
    collect(root, shared, stacks);
    std::set<QChar> used;
    label(shared, used);
    for (QStackedWidget* stack : stacks) {
        for (int i = 0; i < stack->count(); ++i) {
            std::vector<QWidget*> page;
            std::vector<QStackedWidget*> inner;
            collect(stack->widget(i), page, inner);
            std::set<QChar> pageUsed = used;
            label(page, pageUsed);
        }
    }
}

} // namespace tracely
