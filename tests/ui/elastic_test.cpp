#include "src/ui/elastic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace tracely;
using P = ElasticForm::Property;
using State = ElasticForm::State;

namespace {

// A window of plain numbers. A control lacks the properties it has no entry for: reading one
// fails, and so does writing one.
struct FakeForm : ElasticForm {
    struct Control {
        bool line = false;
        std::map<P, double> values;
        std::vector<P> refused; // present, but every write is refused
    };
    std::vector<Control> controls;
    State state = State::Normal;
    double h = 9000, w = 12000;
    bool redraw = false;
    int writes = 0;
    int sizeRequests = 0; // including those refused

    int controlCount() const override { return static_cast<int>(controls.size()); }
    bool isLine(int i) const override { return controls.at(static_cast<std::size_t>(i)).line; }
    std::optional<double> property(int i, P p) const override {
        const auto& v = controls.at(static_cast<std::size_t>(i)).values;
        const auto it = v.find(p);
        return it == v.end() ? std::nullopt : std::optional<double>(it->second);
    }
    bool setProperty(int i, P p, std::int32_t value) override {
        Control& c = controls.at(static_cast<std::size_t>(i));
        if (!c.values.contains(p) || std::ranges::find(c.refused, p) != c.refused.end()) {
            return false;
        }
        ++writes;
        c.values[p] = value;
        return true;
    }
    State windowState() const override { return state; }
    double height() const override { return h; }
    double width() const override { return w; }
    bool resize(double& side, std::int32_t v) {
        ++sizeRequests;
        side = state == State::Normal ? v : side;
        return state == State::Normal;
    }
    bool setHeight(std::int32_t v) override { return resize(h, v); }
    bool setWidth(std::int32_t v) override { return resize(w, v); }
    double screenHeight() const override { return 18000; }
    double screenWidth() const override { return 24000; }
    bool autoRedraw() const override { return redraw; }
    void setAutoRedraw(bool on) override { redraw = on; }

    double at(int i, P p) const { return controls.at(static_cast<std::size_t>(i)).values.at(p); }
};

FakeForm::Control box(double top, double left, double height, double width, double font) {
    return {false,
            {{P::Top, top},
             {P::Left, left},
             {P::Height, height},
             {P::Width, width},
             {P::FontSize, font}},
            {}};
}

// The window made h x w, and its resize event.
void resizeTo(class_Elastic& e, FakeForm& f, double h, double w) {
    f.h = h;
    f.w = w;
    e.FormResize(f);
}

// A layout recorded on the form as it is, past the resize that follows the recording.
void record(class_Elastic& e, FakeForm& f) {
    e.Init(f);
    e.FormResize(f);
}

} // namespace

TEST(Elastic, WorkedExamples) {
    std::ifstream in(TRACELY_TEST_DATA "/elastic_layout.txt");
    const std::map<std::string, P> measures{{"top", P::Top},
                                            {"left", P::Left},
                                            {"height", P::Height},
                                            {"width", P::Width},
                                            {"font", P::FontSize}};
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream ss(line);
        std::string measure;
        double recorded, h0, w0, height, width;
        std::int32_t expected;
        ss >> measure >> recorded >> h0 >> w0 >> height >> width >> expected;
        SCOPED_TRACE(line);
        ++rows;
        FakeForm f;
        f.h = h0;
        f.w = w0;
        f.controls.push_back(box(0, 0, 0, 0, 0));
        f.controls[0].values[measures.at(measure)] = recorded;
        class_Elastic e;
        record(e, f);
        resizeTo(e, f, height, width);
        EXPECT_EQ(f.at(0, measures.at(measure)), expected);
    }
    EXPECT_EQ(rows, 16);
}

TEST(Elastic, NothingMovesBeforeInitNorOnTheFirstResizeAfterIt) {
    FakeForm f;
    f.controls.push_back(box(1000, 1100, 300, 900, 8));
    class_Elastic e;
    resizeTo(e, f, 4000, 5000);
    // No control written, and no snap-back without a recorded size.
    EXPECT_EQ(std::tuple(f.writes, f.h, f.w), std::tuple(0, 4000.0, 5000.0));
    f.h = 9000, f.w = 12000;
    e.Init(f);
    f.redraw = false;
    resizeTo(e, f, 13000, 18000);
    EXPECT_EQ(f.writes, 0);
    EXPECT_TRUE(f.redraw); // switched on, and left on by this early return
    f.redraw = false;
    e.FormResize(f);
    EXPECT_EQ(std::tuple(f.at(0, P::Left), f.at(0, P::FontSize)), std::tuple(1650.0, 12.0));
    EXPECT_FALSE(f.redraw); // remembered and restored
}

TEST(Elastic, TooSmallSnapsBackToHalfTheRecordedSize) {
    struct Case {
        double h, w, wantH, wantW;
    };
    for (const Case c : {Case{4000, 5000, 4500, 6000}, Case{4400, 7000, 4500, 7000},
                         Case{6000, 5999, 6000, 6000}, Case{4500, 6000, 4500, 6000}}) {
        FakeForm f;
        f.controls.push_back(box(8600, 0, 0, 0, 8));
        class_Elastic e;
        record(e, f);
        resizeTo(e, f, c.h, c.w);
        EXPECT_EQ(std::tuple(f.h, f.w), std::tuple(c.wantH, c.wantW)) << c.h << " x " << c.w;
        // The controls are laid out for the snapped size: the bottom control at the bottom.
        EXPECT_NEAR(f.at(0, P::Top), c.wantH - 400, 1.0) << c.h;
    }
}

TEST(Elastic, MissingOrRefusedPropertiesAreSkipped) {
    FakeForm f;
    FakeForm::Control graph = box(100, 200, 3000, 6000, 0);
    graph.values.erase(P::FontSize); // a graph has no font size
    FakeForm::Control stuck = box(100, 200, 300, 400, 8);
    stuck.refused = {P::Left}; // keeps its left, takes the rest
    const FakeForm::Control line{
        true, {{P::X1, 100}, {P::Y1, 200}, {P::X2, 300}, {P::Y2, 400}}, {}};
    f.controls = {graph, stuck, line};
    class_Elastic e;
    record(e, f);
    resizeTo(e, f, 17600, 24000); // twice the client area both ways
    EXPECT_EQ(std::tuple(f.at(0, P::Width), f.at(0, P::Height)), std::tuple(12000.0, 6000.0));
    EXPECT_FALSE(f.controls[0].values.contains(P::FontSize));
    EXPECT_EQ(std::tuple(f.at(1, P::Left), f.at(1, P::Top), f.at(1, P::FontSize)),
              std::tuple(200.0, 200.0, 16.0));
    EXPECT_EQ(std::tuple(f.at(2, P::X1), f.at(2, P::Y1), f.at(2, P::X2), f.at(2, P::Y2)),
              std::tuple(200.0, 400.0, 600.0, 800.0));
    EXPECT_FALSE(f.controls[2].values.contains(P::Top));
}

TEST(Elastic, AMaximisedOrScreenSizedInitRecordsTheScreen) {
    // A maximised window is the window system's to size: it keeps its own.
    for (const auto& [state, windState, h0, w0] :
         {std::tuple{State::Normal, false, 9000.0, 12000.0},
          std::tuple{State::Normal, true, 18000.0, 24000.0},
          std::tuple{State::Maximised, false, 9000.0, 12000.0}}) {
        FakeForm f;
        f.state = state;
        class_Elastic e;
        e.Init(f, windState);
        EXPECT_EQ(std::tuple(e.initialHeight(), e.initialWidth()), std::tuple(h0, w0));
    }
    // Sizes that cannot scale leave the controls alone; a huge one is clamped, not overflowed.
    EXPECT_FALSE(elastic::ratios(9000, 12000, 400, 12000));
    EXPECT_FALSE(elastic::ratios(0, 0, 9000, 12000));
    EXPECT_EQ(elastic::scaled(1e12, 1e-6), INT32_MAX);
}

TEST(MainWindowResize, ARestoredWindowKeepsItsMinimumThenTheLayoutFollows) {
    struct Case {
        State state;
        bool recording; // a resize while the layout records the window
        double h, w, wantH, wantW;
        bool laidOut;
    };
    for (const Case c : {Case{State::Normal, false, 8000, 11000, 9000, 12000, true},
                         Case{State::Normal, false, 8000, 13000, 9000, 13000, true},
                         Case{State::Normal, false, 9500, 11999, 9500, 12000, true},
                         Case{State::Normal, true, 8000, 11000, 9000, 12000, false},
                         Case{State::Minimised, false, 8000, 11000, 8000, 11000, true},
                         Case{State::Maximised, false, 8000, 11000, 8000, 11000, true}}) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.state)) + " " + std::to_string(c.h) + " x " +
                     std::to_string(c.w) + (c.recording ? " recording" : ""));
        FakeForm f;
        f.h = 12000; // recorded large enough that no size here is below half of it
        f.w = 16000;
        f.controls.push_back(box(1000, 1000, 1000, 1000, 16));
        auto layout = std::make_unique<class_Elastic>();
        layout->Init(f);
        Form_Resize(f, layout, false); // the resize that follows the recording
        f.state = c.state;
        f.h = c.h;
        f.w = c.w;
        Form_Resize(f, layout, c.recording);
        EXPECT_EQ(std::tuple(f.h, f.w), std::tuple(c.wantH, c.wantW));
        // A minimised or maximised window is not even asked to change its size.
        EXPECT_EQ(f.sizeRequests > 0, c.state == State::Normal);
        EXPECT_EQ(f.at(0, P::Width) != 1000, c.laidOut);
    }
}

TEST(MainWindowResize, TheFirstResizeMakesTheLayoutWhichChangesNoControlYet) {
    FakeForm f;
    f.controls.push_back(box(1000, 1000, 1000, 1000, 16));
    std::unique_ptr<class_Elastic> layout;
    Form_Resize(f, layout, true);
    EXPECT_EQ(layout, nullptr); // not while the layout would be recording
    f.w = 13000;
    Form_Resize(f, layout, false);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(std::tuple(layout->recordedCount(), f.writes), std::tuple(0, 0));
}
