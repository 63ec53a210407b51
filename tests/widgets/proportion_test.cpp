// The panel's own widgets draw in proportion to their size: drawn twice as large and shrunk
// back, a widget looks as it does at its own size (lettering, ticks, pointers and lamps alike).
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace tracely::widgets;

namespace {

QImage drawn(QWidget& w, QSize size) {
    w.resize(size);
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Mean difference of the grey levels, 0 (same) to 255.
double difference(const QImage& a, const QImage& b) {
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
        }
    }
    return sum / (a.width() * a.height());
}

// Drawn at `size` and at twice it, the larger shrunk back: how far the two differ.
double unlikeness(const std::function<std::unique_ptr<QWidget>()>& make, QSize size) {
    auto small = make();
    auto large = make();
    const QImage one = drawn(*small, size);
    const QImage two =
        drawn(*large, size * 2).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return difference(one, two);
}

} // namespace

TEST(Proportions, TwiceTheSizeLooksTheSameShrunkBack) {
    using Made = std::unique_ptr<QWidget>;
    const struct {
        const char* name;
        std::function<Made()> make;
        QSize size;
    } cases[] = {
        {"knob with labels",
         []() -> Made {
             auto k = std::make_unique<Knob>();
             k->setRange(1, 6);
             for (int v : {50, 20, 10, 5, 2, 1}) {
                 k->setLabelText(k->appendLabel(), QString::number(v));
             }
             return k;
         },
         {84, 84}},
        {"vertical slide with a marker",
         []() -> Made {
             auto s = std::make_unique<Slide>(Qt::Vertical);
             s->setRange(-4, 4);
             s->addPointer(QStringLiteral("TrigLvl"), Qt::red);
             s->setPointerValue(QStringLiteral("TrigLvl"), 1.5);
             return s;
         },
         {56, 180}},
        {"horizontal slide",
         []() -> Made {
             auto s = std::make_unique<Slide>(Qt::Horizontal);
             s->setRange(-5500, 5500);
             return s;
         },
         {240, 48}},
        {"two-state button",
         []() -> Made {
             auto b = std::make_unique<TwoStateButton>(TwoStateButton::Look::Button);
             b->setValue(true);
             return b;
         },
         {96, 48}},
        {"LED",
         []() -> Made {
             auto l = std::make_unique<TwoStateButton>(TwoStateButton::Look::Led);
             l->setValue(true);
             return l;
         },
         {40, 40}},
    };
    for (const auto& c : cases) {
        // Lettering is hinted to whole pixels, so a little difference remains; a widget
        // drawn at fixed sizes differs by 20 and more.
        EXPECT_LT(unlikeness(c.make, c.size), 8.0) << c.name;
    }
}
