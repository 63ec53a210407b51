#include "src/ui/help_launcher.h"

#include "src/ui/help_placement.h"
#include "src/ui/ui_log.h"
#include "src/widgets/identify.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tracely {

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Tracely Help"));
    setModal(false);
    txtHelp_ = new QTextBrowser(this);
    widgets::identify(txtHelp_, QStringLiteral("txtHelp"), QStringLiteral("manual"));
    txtHelp_->setOpenExternalLinks(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(txtHelp_);
    resize(720, 600);
}

void HelpViewer::showFile(const QString& file) {
    const QFileInfo info(file);
    if (info.isFile() && info.isReadable()) {
        const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        if (txtHelp_->source() == url) {
            txtHelp_->reload(); // the page may have changed, or a note may be in its place
        } else {
            txtHelp_->setSource(url);
        }
    } else {
        qCInfo(lcUi).noquote() << "help file not found:" << file;
        txtHelp_->setPlainText(QStringLiteral("help file not found: ") + file);
    }
    show();
    raise();
    activateWindow();
}

HelpLauncher::HelpLauncher(QWidget* owner, QString programDir)
    : owner_(owner), programDir_(std::move(programDir)) {}

HelpLauncher::~HelpLauncher() = default;

QString HelpLauncher::helpFolder(const QString& programDir) {
    const QString beside = programDir + QStringLiteral("/help");
    if (QFileInfo(beside).isDir()) {
        return beside;
    }
    // Kept relative to the program, so any installation prefix works.
    const QString installed = programDir + QStringLiteral("/../share/tracely/help");
    if (QFileInfo(installed).isDir()) {
        return QDir::cleanPath(installed);
    }
    return beside;
}

QString HelpLauncher::helpFilePath(const QString& programDir) {
    return helpFolder(programDir) + QStringLiteral("/tracely_help.html");
}

void HelpLauncher::helpButtonChanged(bool value) {
    if (value) {
        return; // pressed: help opens on the release
    }
    DisplayHelp(helpFile());
}

void HelpLauncher::DisplayHelp(const QString& file) {
    if (viewer_.isNull()) {
        if (owner_ != nullptr) {
            viewer_ = new HelpViewer(owner_);
            // Beside the panel, not on top of it: the manual is read while using the panel.
            const QWidget* window = owner_->window();
            const QRect screen = window->screen() ? window->screen()->availableGeometry() : QRect();
            viewer_->setGeometry(besideWindow(window->frameGeometry(), viewer_->size(), screen));
        } else {
            ownViewer_ = std::make_unique<HelpViewer>();
            viewer_ = ownViewer_.get();
        }
    }
    ++displayCount_;
    viewer_->showFile(file);
}

} // namespace tracely
