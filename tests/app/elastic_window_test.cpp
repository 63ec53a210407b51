#include "src/app/main_window.h"
#include "src/ui/elastic_window.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/two_state_button.h"
#include "tests/support/test_window.h"
#include "tests/support/wait.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace tracely;
using tracely::test::waitUntil;

namespace {

// Loaded and shown.
struct Started : test::TestWindow {
    Started() { w.show(); }
    template <class W = QWidget> W* find(const char* name) const {
        return w.findChild<W*>(QString::fromLatin1(name));
    }
};

// A control as the layout recorded it, in twips (font in points).
struct Recorded {
    QWidget* w;
    QRect rect;
    double top, left, height, width;
};

Recorded record(QWidget* w, double tppX, double tppY) {
    const QRect g = w->geometry();
    return {w, g, g.y() * tppY, g.x() * tppX, g.height() * tppY, g.width() * tppX};
}

// What the rules give for a twips measure, back in pixels.
int pixels(double recorded, double ratio, double tpp) {
    return static_cast<int>(std::lround(std::floor(recorded / ratio) / tpp));
}

// Every control inside the one that holds it: nothing clipped, nothing off the window.
void expectInsideParents(const ElasticWindow& form) {
    for (int i = 0; i < form.controlCount(); ++i) {
        const QWidget* c = form.control(i);
        const QRect inside = c->parentWidget()->rect().adjusted(-1, -1, 1, 1);
        EXPECT_TRUE(inside.contains(c->geometry())) << c->objectName().toStdString();
    }
}

} // namespace

TEST(ElasticWindow, ControlsAndFontsFollowTheWindow) {
    Started s;
    const ElasticWindow& form = s.w.layoutForm();
    const double tppX = form.twipsPerPixelX();
    const double tppY = form.twipsPerPixelY();
    // Started at 12000 x 9000 twips.
    EXPECT_NEAR(form.width(), 12000, tppX);
    EXPECT_NEAR(form.height(), 9000, tppY);
    const double h0 = std::nearbyint(form.height());
    const double w0 = std::nearbyint(form.width());

    const FrontPanel& p = s.w.panel();
    std::vector<Recorded> design;
    for (QWidget* w : {static_cast<QWidget*>(p.CWKTimeRange), s.find("lblHScale"),
                       static_cast<QWidget*>(p.cmdCapture), static_cast<QWidget*>(p.CWGraph1),
                       static_cast<QWidget*>(p.CWBHelp), static_cast<QWidget*>(p.optTrigLVL)}) {
        ASSERT_NE(w, nullptr);
        design.push_back(record(w, tppX, tppY));
    }
    EXPECT_EQ(s.find("lblHScale")->font().pointSize(), 8); // designed at an even size
    const double barHeight = p.StatusBar1->height() * tppY;
    const int tickPixels = p.CWGraph1->customPlot()->xAxis->tickLabelFont().pixelSize();

    // One and a half times the client area.
    const QSize target(static_cast<int>(std::lround(s.w.width() * 1.5)),
                       static_cast<int>(std::lround((h0 - 400) / tppY * 1.5)));
    s.w.resize(target);
    ASSERT_TRUE(waitUntil([&] {
        return s.w.size() == target && p.cmdCapture->geometry() != design[2].rect;
    })) << s.w.width()
        << " x " << s.w.height();
    const double rH = (h0 - 400) / (form.height() - 400);
    const double rW = w0 / form.width();
    for (const Recorded& r : design) {
        SCOPED_TRACE(r.w->objectName().toStdString());
        EXPECT_EQ(r.w->y(), pixels(r.top, rH, tppY));
        EXPECT_EQ(r.w->x(), pixels(r.left, rW, tppX));
        EXPECT_EQ(r.w->height(), pixels(r.height, rH, tppY));
        EXPECT_EQ(r.w->width(), pixels(r.width, rW, tppX));
    }
    EXPECT_EQ(s.find("lblHScale")->font().pointSize(), 12);
    EXPECT_EQ(p.cmdCapture->font().pointSize(), 12);
    EXPECT_TRUE(s.find("lblHScale")->font().bold());
    EXPECT_EQ(p.StatusBar1->height(), pixels(barHeight, rH, tppY));
    EXPECT_EQ(p.StatusBar1->font().pointSize(), 12);
    // Docked at the window's foot, once the window has laid out its new height.
    EXPECT_TRUE(waitUntil([&] { return p.StatusBar1->geometry().bottom() == s.w.height() - 1; }));
    // The graph's lettering follows its size.
    EXPECT_NEAR(p.CWGraph1->customPlot()->xAxis->tickLabelFont().pixelSize(), tickPixels * 1.5,
                1.0);
    expectInsideParents(form);
}

TEST(ElasticWindow, AWindowMuchWiderThanTallKeepsEveryCaptionWhole) {
    Started s;
    const ElasticWindow& form = s.w.layoutForm();
    const QLabel* hScale = s.find<QLabel>("lblHScale");
    ASSERT_NE(hScale, nullptr);
    const int designWidth = hScale->width();
    // Fonts follow the width: twice as wide, as tall as designed.
    s.w.resize(s.w.width() * 2, s.w.height());
    ASSERT_TRUE(waitUntil([&] { return std::abs(hScale->width() - 2 * designWidth) <= 2; }));
    int labels = 0;
    for (int i = 0; i < form.controlCount(); ++i) {
        const auto* l = qobject_cast<const QLabel*>(form.control(i));
        if (l != nullptr && l->isVisible() && !l->text().isEmpty()) {
            ++labels;
            EXPECT_LE(l->sizeHint().height(), l->height())
                << l->objectName().toStdString() << " at " << l->font().pointSize() << " pt";
        }
    }
    EXPECT_GT(labels, 10);
}

TEST(ElasticWindow, ARestoredWindowTooSmallComesBackToItsMinimum) {
    Started s;
    const ElasticWindow& form = s.w.layoutForm();
    const QSize designed = s.w.size();
    const QRect capture = s.w.panel().cmdCapture->geometry();
    // 11000 x 8000 twips.
    s.w.resize(static_cast<int>(std::lround(11000 / form.twipsPerPixelX())),
               static_cast<int>(std::lround((8000 - 400) / form.twipsPerPixelY())));
    ASSERT_TRUE(waitUntil([&] { return s.w.size() == designed; }));
    EXPECT_NEAR(form.width(), 12000, form.twipsPerPixelX());
    EXPECT_NEAR(form.height(), 9000, form.twipsPerPixelY());
    EXPECT_TRUE(waitUntil([&] { return s.w.panel().cmdCapture->geometry() == capture; }));
}
