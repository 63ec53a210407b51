#pragma once

#include <QStatusBar>
#include <QString>

#include <vector>

class QLabel;

namespace tracely::widgets {

// A status bar of permanent, sunken text panels addressed by key ("sbrComPort", ...).
class KeyedStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit KeyedStatusBar(QWidget* parent = nullptr);

    // Adds a panel, or sets the text of the existing one with that key. Negative stretch
    // counts as 0. An empty key is refused (nullptr).
    QLabel* addPanel(const QString& key, const QString& text = {}, int stretch = 1);
    // Unknown keys: ignored / empty text.
    void setPanelText(const QString& key, const QString& text);
    QString panelText(const QString& key) const;
    QLabel* panel(const QString& key) const;
    int panelCount() const { return static_cast<int>(panels_.size()); }

private:
    std::vector<QLabel*> panels_; // owned by the status bar as Qt children
};

} // namespace tracely::widgets
