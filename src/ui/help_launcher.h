#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <memory>

class QTextBrowser;

namespace tracely {

// The in-program help viewer: a non-modal window with the manual in a text browser.
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the file (or a short note that it is missing) and brings the window up.
    void showFile(const QString& file);
    QTextBrowser* browser() const { return txtHelp_; }

private:
    QTextBrowser* txtHelp_ = nullptr;
};

// Opens the manual from the HELP button (cHTMLHelp). The viewer is created on the first
// request, as a window of `owner`, and reused afterwards.
class HelpLauncher {
public:
    explicit HelpLauncher(QWidget* owner, QString programDir);
    ~HelpLauncher();
    HelpLauncher(const HelpLauncher&) = delete;
    HelpLauncher& operator=(const HelpLauncher&) = delete;

    // The manual's folder: <programDir>/help when it is there (a build tree), else the
    // installed data folder <programDir>/../share/tracely/help when that is there, else
    // <programDir>/help, which the viewer then reports missing.
    static QString helpFolder(const QString& programDir);
    // <helpFolder>/tracely_help.html.
    static QString helpFilePath(const QString& programDir);
    QString helpFile() const { return helpFilePath(programDir_); }

    // The HELP button's value-changed event: the button is momentary, so help opens on the
    // release (false) and the press (true) does nothing.
    void helpButtonChanged(bool value);
    // Shows `file` in the viewer; the path is used exactly as given.
    void DisplayHelp(const QString& file);

    HelpViewer* viewer() const { return viewer_; } // nullptr before the first request
    int displayCount() const { return displayCount_; }

private:
    QWidget* owner_;
    QString programDir_;
    QPointer<HelpViewer> viewer_;           // a Qt child of owner_ when there is one
    std::unique_ptr<HelpViewer> ownViewer_; // held here when there is no owner
    int displayCount_ = 0;
};

} // namespace tracely
