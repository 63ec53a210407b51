#pragma once

#include "src/ui/program_info.h"
#include "src/ui/registered_user.h"

#include <QDialog>
#include <QEventLoop>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace tracely {

// The program's identity box (frmSplash). At start-up it shows without a title bar, cut off at
// its second divider line, until start-up is done and a minimum display time has passed.
class SplashBox : public QDialog {
    Q_OBJECT
public:
    using UserSource = std::function<RegisteredUser()>;

    explicit SplashBox(QWidget* parent = nullptr, ProgramInfo info = currentProgramInfo(),
                       UserSource user = systemRegisteredUser);

    // Shows the splash, owned by `owner`, unless it is already showing. An empty userName
    // shows the registered owner and organisation instead of userName and userInfo. A minimum
    // display time of 0 or less sets no minimum.
    void SplashOn(QWidget* owner, int minDisplayMs = 3000, const QString& userName = {},
                  const QString& userInfo = {});
    // Takes the splash down once the minimum display time has passed, letting the user
    // interface run meanwhile. Does nothing when the splash is not showing.
    void SplashOff();
    // Ends the minimum display time now (the program is asked to stop while starting).
    void endMinimumTime();

    bool minimumTimePending() const; // Timer1 still running
    bool titleBarRemoved() const { return titleBarRemoved_; }
    int fullHeight() const { return fullHeight_; }

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCompanyName = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblTrademark = nullptr;
    QLabel* lblFileDescription = nullptr;
    QLabel* lblPathEXE = nullptr;
    QLabel* lblWarning = nullptr;
    QLabel* lblUserName = nullptr;
    QLabel* lblUserInfo = nullptr;
    QLabel* imgIcon = nullptr;
    std::array<QFrame*, 2> linDivide{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QTimer* Timer1 = nullptr;

private:
    void buildControls();
    void fill(const ProgramInfo& info);

    UserSource user_;
    QWidget* belowDivide_ = nullptr; // what the splash cuts off
    int fullHeight_ = 0;
    Qt::WindowFlags savedFlags_;
    bool titleBarRemoved_ = false;
    QEventLoop* waiting_ = nullptr; // SplashOff's wait, while it runs
};

} // namespace tracely
