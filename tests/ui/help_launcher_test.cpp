#include "src/ui/help_launcher.h"
#include "src/widgets/two_state_button.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace tracely {
namespace {

class HelpTest : public ::testing::Test {
protected:
    HelpTest() {
        EXPECT_TRUE(QDir(tmp.path()).mkpath(QStringLiteral("my program/help")));
        button.setMomentary(true);
        QObject::connect(&button, &widgets::TwoStateButton::valueChanged,
                         [this](bool v) { launcher.helpButtonChanged(v); });
    }
    void writeManual() {
        QFile f(launcher.helpFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><head><title>Manual</title></head><body>Knobs</body></html>");
    }
    void pressAndRelease() {
        button.setValue(true);
        button.setValue(false);
    }

    QTemporaryDir tmp;
    QString programDir = tmp.path() + QStringLiteral("/my program");
    QWidget window;
    widgets::TwoStateButton button;
    HelpLauncher launcher{&window, programDir};
};

TEST_F(HelpTest, OpensOnTheReleaseAndReusesTheViewer) {
    writeManual();
    button.setValue(true);
    EXPECT_EQ(launcher.viewer(), nullptr);
    button.setValue(false);
    HelpViewer* viewer = launcher.viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(launcher.displayCount(), 1);
    EXPECT_TRUE(viewer->isVisible() && !viewer->isModal());
    EXPECT_EQ(viewer->parentWidget(), &window);

    viewer->hide();
    pressAndRelease();
    EXPECT_EQ(launcher.viewer(), viewer);
    EXPECT_EQ(launcher.displayCount(), 2);
    EXPECT_TRUE(viewer->isVisible());
}

TEST_F(HelpTest, MissingFileSaysSoUntilItIsThereAndAPathWithBlanksIsShownUnchanged) {
    EXPECT_EQ(launcher.helpFile(), programDir + "/help/tracely_help.html");
    pressAndRelease();
    const QTextBrowser* browser = launcher.viewer()->browser();
    EXPECT_TRUE(launcher.viewer()->isVisible());
    EXPECT_EQ(browser->toPlainText(), "help file not found: " + launcher.helpFile());
    writeManual();
    pressAndRelease();
    EXPECT_EQ(browser->source().toLocalFile(), launcher.helpFile());
    EXPECT_EQ(browser->documentTitle(), "Manual");
    EXPECT_TRUE(browser->toPlainText().contains("Knobs"));
    QFile::remove(launcher.helpFile());
    pressAndRelease();
    EXPECT_TRUE(browser->toPlainText().startsWith("help file not found"));
}

TEST(HelpLauncher, FolderBesideTheProgramElseTheInstalledOne) {
    struct Case {
        const char* what;
        QStringList folders; // made under a scratch root; the program sits in bin
        const char* expected;
    };
    const Case cases[] = {
        {"build tree", {"bin/help", "share/tracely/help"}, "bin/help"},
        {"installed", {"bin", "share/tracely/help"}, "share/tracely/help"},
        {"nowhere", {"bin"}, "bin/help"},
        {"share without help", {"bin", "share/tracely"}, "bin/help"},
    };
    for (const Case& c : cases) {
        QTemporaryDir root;
        for (const QString& f : c.folders) {
            ASSERT_TRUE(QDir(root.path()).mkpath(f)) << c.what;
        }
        const QString program = root.path() + QStringLiteral("/bin");
        EXPECT_EQ(HelpLauncher::helpFilePath(program),
                  root.path() + "/" + c.expected + "/tracely_help.html")
            << c.what;
    }
}

} // namespace
} // namespace tracely
