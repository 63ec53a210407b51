#include "src/ui/splash_box.h"

#include "src/widgets/identify.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tracely {

namespace {

QLabel* label(QWidget* parent, const char* id, const QString& role) {
    auto* l = new QLabel(parent);
    widgets::identify(l, QString::fromLatin1(id), role);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QFrame* divider(QWidget* parent, int index) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    widgets::identify(line, QStringLiteral("linDivide%1").arg(index),
                      QStringLiteral("divider %1").arg(index));
    return line;
}

} // namespace

SplashBox::SplashBox(QWidget* parent, ProgramInfo info, UserSource user)
    : QDialog(parent), user_(std::move(user)) {
    setObjectName(QStringLiteral("frmSplash"));
    buildControls();
    fill(info);
    adjustSize();
    fullHeight_ = height();
}

void SplashBox::buildControls() {
    imgIcon = label(this, "imgIcon", QStringLiteral("program icon"));
    imgIcon->setFixedSize(48, 48);
    lblTitle = label(this, "lblTitle", QStringLiteral("title"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = label(this, "lblVersion", QStringLiteral("version"));
    lblCompanyName = label(this, "lblCompanyName", QStringLiteral("company"));
    lblFileDescription = label(this, "lblFileDescription", QStringLiteral("description"));
    lblUserName = label(this, "lblUserName", QStringLiteral("user name"));
    lblUserInfo = label(this, "lblUserInfo", QStringLiteral("user organisation"));
    lblCopyright = label(this, "lblCopyright", QStringLiteral("copyright"));
    lblTrademark = label(this, "lblTrademark", QStringLiteral("trademark"));
    lblPathEXE = label(this, "lblPathEXE", QStringLiteral("program path"));
    lblWarning = label(this, "lblWarning", QStringLiteral("warning"));
    lblWarning->setWordWrap(true);
    linDivide = {divider(this, 0), divider(this, 1)};

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);            // one tick only
    Timer1->setTimerType(Qt::PreciseTimer); // a minimum must not end early

    belowDivide_ = new QWidget(this);
    cmdOK = new QPushButton(QStringLiteral("OK"), belowDivide_);
    widgets::identify(cmdOK, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), belowDivide_);
    widgets::identify(cmdSysInfo, QStringLiteral("cmdSysInfo"), QStringLiteral("System Info"));
    auto* lower = new QVBoxLayout(belowDivide_);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->addWidget(lblWarning);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    lower->addLayout(buttons);

    auto* heading = new QVBoxLayout;
    for (QLabel* l : {lblTitle, lblVersion, lblCompanyName, lblFileDescription}) {
        heading->addWidget(l);
    }
    auto* top = new QHBoxLayout;
    top->addWidget(imgIcon, 0, Qt::AlignTop);
    top->addLayout(heading, 1);

    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(lblUserName);
    column->addWidget(lblUserInfo);
    column->addWidget(linDivide[0]);
    column->addWidget(lblCopyright);
    column->addWidget(lblTrademark);
    column->addWidget(lblPathEXE);
    column->addWidget(linDivide[1]);
    column->addWidget(belowDivide_);
}

void SplashBox::fill(const ProgramInfo& info) {
    lblWarning->setText(QStringLiteral("generic warning information"));
    setWindowTitle(QStringLiteral("About ") + info.title);
    lblTitle->setText(info.title);
    lblCompanyName->setText(
        info.company.isEmpty() ? QString() : QStringLiteral("A product of ") + info.company);
    lblVersion->setText(versionText(info.version));
    lblCopyright->setText(info.copyright);
    lblTrademark->setText(info.trademark);
    const QFileInfo exe(info.executable);
    lblPathEXE->setText(QDir::toNativeSeparators(exe.absolutePath()) + QDir::separator() +
                        exe.fileName() + QLatin1Char(' '));
    lblFileDescription->setText(info.description);
}

void SplashBox::SplashOn(QWidget* owner, int minDisplayMs, const QString& userName,
                         const QString& userInfo) {
    if (isVisible()) {
        return;
    }
    if (owner != nullptr && owner != parentWidget()) {
        setParent(owner, windowFlags());
    }
    const int iconSize = imgIcon->width();
    imgIcon->setPixmap(owner != nullptr ? owner->windowIcon().pixmap(iconSize, iconSize)
                                        : QPixmap());
    cmdOK->setEnabled(false);
    cmdSysInfo->setEnabled(false);

    if (minDisplayMs > 0) {
        Timer1->start(minDisplayMs);
    }
    if (!userName.isEmpty()) {
        lblUserName->setText(userName);
        lblUserInfo->setText(userInfo);
    } else {
        const RegisteredUser user = user_ ? user_() : registeredUserFrom({}, {}, {});
        lblUserName->setText(user.owner);
        lblUserInfo->setText(user.organisation);
    }

    if (!titleBarRemoved_) {
        savedFlags_ = windowFlags();
        setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
        titleBarRemoved_ = true;
    }
    // The box ends at the second divider line.
    belowDivide_->hide();
    adjustSize();
    show();
    repaint();
}

bool SplashBox::minimumTimePending() const {
    return Timer1->isActive();
}

void SplashBox::endMinimumTime() {
    Timer1->stop();
    if (waiting_ != nullptr) {
        waiting_->quit();
    }
}

void SplashBox::SplashOff() {
    if (!isVisible()) {
        return;
    }
    if (Timer1->isActive()) {
        // The user interface keeps running while the minimum display time runs out.
        QEventLoop wait;
        connect(Timer1, &QTimer::timeout, &wait, &QEventLoop::quit);
        waiting_ = &wait;
        if (Timer1->isActive()) {
            wait.exec();
        }
        waiting_ = nullptr;
    }
    hide();
    if (titleBarRemoved_) {
        setWindowFlags(savedFlags_);
        titleBarRemoved_ = false;
    }
    belowDivide_->show();
    resize(width(), fullHeight_);
}

} // namespace tracely
