#include "src/widgets/graph.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <qcustomplot.h>

#include <QImage>

#include <gtest/gtest.h>

using namespace tracely::widgets;

namespace {

QImage render(QWidget& w, QSize size) {
    w.resize(size);
    return w.grab().toImage();
}

QColor centre(const QImage& image) {
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

TEST(Paint, LitLedShowsItsColourAndUnlitLedIsDark) {
    TwoStateButton led(TwoStateButton::Look::Led);
    led.setColour(255);
    const QColor off = centre(render(led, {24, 24}));
    led.setValue(true);
    const QColor on = centre(render(led, {24, 24}));
    EXPECT_GT(on.red(), 200);
    EXPECT_LT(on.green(), 120);
    EXPECT_LT(off.red(), 100);
    led.setColour(16711680);
    const QColor blue = centre(render(led, {24, 24}));
    EXPECT_GT(blue.blue(), 200);
    EXPECT_LT(blue.red(), 120);
}

TEST(Paint, GraphScreenIsDark) {
    Graph g;
    const QImage image = render(g, {300, 200});
    const QRect screen = g.customPlot()->axisRect()->rect();
    const QColor c = image.pixelColor(screen.center() + QPoint(3, 3));
    EXPECT_LT(c.lightness(), 60);
}

// Odd sizes and scales must draw without fault (the sanitizer build watches).
TEST(Paint, WidgetsDrawInDegenerateStates) {
    Knob knob;
    Slide slide;
    TwoStateButton button;
    button.setCaption("A very long caption for a tiny button");
    for (const QSize size : {QSize(1, 1), QSize(12, 300), QSize(300, 12), QSize(160, 160)}) {
        knob.setRange(5, 5);
        EXPECT_FALSE(render(knob, size).isNull());
        knob.setRange(-1e300, 1e300);
        knob.setValue(1e299);
        EXPECT_FALSE(render(knob, size).isNull());
        knob.setWrapping(true);
        for (int i = 0; i < 40; ++i) {
            knob.setLabelText(knob.appendLabel(), QStringLiteral("%1 ").arg(i));
        }
        knob.setSelectedLabel(40);
        EXPECT_FALSE(render(knob, size).isNull());
        knob.clearLabels();
        knob.setWrapping(false);

        slide.setRange(3, 3);
        slide.addPointer("m", Qt::red);
        slide.setPointerValue("m", -1e300);
        EXPECT_FALSE(render(slide, size).isNull());
        slide.setOrientation(slide.orientation() == Qt::Vertical ? Qt::Horizontal : Qt::Vertical);
        slide.setRange(-1e300, 1e300);
        EXPECT_FALSE(render(slide, size).isNull());

        EXPECT_FALSE(render(button, size).isNull());
    }
}
