#include "src/ui/elastic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
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
    double screenH = 18000, screenW = 24000;
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
        if (!c.values.contains(p) ||
            std::find(c.refused.begin(), c.refused.end(), p) != c.refused.end()) {
            return false;
        }
        ++writes;
        c.values[p] = value;
        return true;
    }
    State windowState() const override { return state; }
    double height() const override { return h; }
    double width() const override { return w; }
    bool setHeight(std::int32_t v) override {
        ++sizeRequests;
        if (state != State::Normal) {
            return false;
        }
        h = v;
        return true;
    }
    bool setWidth(std::int32_t v) override {
        ++sizeRequests;
        if (state != State::Normal) {
            return false;
        }
        w = v;
        return true;
    }
    double screenHeight() const override { return screenH; }
    double screenWidth() const override { return screenW; }
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

struct Row {
    std::string measure;
    double recorded, h0, w0, height, width;
    std::int32_t expected;
};

std::vector<Row> rows() {
    std::ifstream in(TRACELY_TEST_DATA "/elastic_layout.txt");
    std::vector<Row> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream ss(line);
        Row r;
        ss >> r.measure >> r.recorded >> r.h0 >> r.w0 >> r.height >> r.width >> r.expected;
        out.push_back(r);
    }
    return out;
}

} // namespace

TEST(Elastic, WorkedExamples) {
    const std::vector<Row> table = rows();
    ASSERT_EQ(table.size(), 16u);
    const std::map<std::string, P> measures{{"top", P::Top},
                                            {"left", P::Left},
                                            {"height", P::Height},
                                            {"width", P::Width},
                                            {"font", P::FontSize}};
    for (const Row& r : table) {
        SCOPED_TRACE(r.measure + " " + std::to_string(r.recorded) + " at " +
                     std::to_string(r.height) + " x " + std::to_string(r.width));
        FakeForm f;
        f.h = r.h0;
        f.w = r.w0;
        f.controls.push_back(box(0, 0, 0, 0, 0));
        f.controls[0].values[measures.at(r.measure)] = r.recorded;
        class_Elastic e;
        e.Init(f);
        e.FormResize(f);
        resizeTo(e, f, r.height, r.width);
        EXPECT_EQ(f.at(0, measures.at(r.measure)), r.expected);
    }
}

TEST(Elastic, TheFirstResizeAfterInitChangesNothing) {
    FakeForm f;
    f.controls.push_back(box(1000, 1100, 300, 900, 8));
    class_Elastic e;
    e.Init(f);
    f.redraw = false;
    resizeTo(e, f, 13000, 18000);
    EXPECT_EQ(f.writes, 0);
    EXPECT_TRUE(f.redraw); // switched on, and left on by this early return
    f.redraw = false;
    e.FormResize(f);
    EXPECT_EQ(f.at(0, P::Left), 1650);
    EXPECT_EQ(f.at(0, P::FontSize), 12);
    EXPECT_FALSE(f.redraw); // remembered and restored
}

TEST(Elastic, ResizeBeforeAnyInitChangesNoControl) {
    FakeForm f;
    f.controls.push_back(box(1000, 1100, 300, 900, 8));
    class_Elastic e;
    resizeTo(e, f, 4000, 5000);
    EXPECT_EQ(f.writes, 0);
    EXPECT_EQ(f.h, 4000); // and no snap-back without a recorded size
    EXPECT_EQ(f.w, 5000);
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
        e.Init(f);
        e.FormResize(f);
        resizeTo(e, f, c.h, c.w);
        EXPECT_EQ(f.h, c.wantH) << c.h << " x " << c.w;
        EXPECT_EQ(f.w, c.wantW) << c.h << " x " << c.w;
        // The controls are laid out for the snapped size: the bottom control at the bottom.
        EXPECT_NEAR(f.at(0, P::Top), c.wantH - 400, 1.0) << c.h;
    }
}

TEST(Elastic, MissingOrRefusedPropertiesAreSkipped) {
    FakeForm f;
    FakeForm::Control graph = box(100, 200, 3000, 6000, 0);
    graph.values.erase(P::FontSize); // a graph has no font size
    f.controls.push_back(graph);
    FakeForm::Control stuck = box(100, 200, 300, 400, 8);
    stuck.refused = {P::Left}; // keeps its left, takes the rest
    f.controls.push_back(stuck);
    FakeForm::Control line;
    line.line = true;
    line.values = {{P::X1, 100}, {P::Y1, 200}, {P::X2, 300}, {P::Y2, 400}};
    f.controls.push_back(line);
    class_Elastic e;
    e.Init(f);
    e.FormResize(f);
    resizeTo(e, f, 17600, 24000); // twice the client area both ways
    EXPECT_EQ(f.at(0, P::Width), 12000);
    EXPECT_EQ(f.at(0, P::Height), 6000);
    EXPECT_FALSE(f.controls[0].values.contains(P::FontSize));
    EXPECT_EQ(f.at(1, P::Left), 200);
    EXPECT_EQ(f.at(1, P::Top), 200);
    EXPECT_EQ(f.at(1, P::FontSize), 16);
    EXPECT_EQ(f.at(2, P::X1), 200);
    EXPECT_EQ(f.at(2, P::Y1), 400);
    EXPECT_EQ(f.at(2, P::X2), 600);
    EXPECT_EQ(f.at(2, P::Y2), 800);
    EXPECT_FALSE(f.controls[2].values.contains(P::Top));
}

TEST(Elastic, AMaximisedOrScreenSizedInitRecordsTheScreen) {
    struct Case {
        State state;
        bool windState;
        double wantH0, wantW0;
    };
    for (const Case c :
         {Case{State::Normal, false, 9000, 12000}, Case{State::Normal, true, 18000, 24000},
          // A maximised window is the window system's to size: it keeps its own.
          Case{State::Maximised, false, 9000, 12000}}) {
        FakeForm f;
        f.state = c.state;
        class_Elastic e;
        e.Init(f, c.windState);
        EXPECT_EQ(e.initialHeight(), c.wantH0);
        EXPECT_EQ(e.initialWidth(), c.wantW0);
    }
}

TEST(Elastic, RatiosThatCannotScaleLeaveTheControlsAlone) {
    EXPECT_FALSE(elastic::ratios(9000, 12000, 400, 12000));
    EXPECT_FALSE(elastic::ratios(9000, 12000, 9000, 0));
    EXPECT_FALSE(elastic::ratios(0, 0, 9000, 12000));
    EXPECT_EQ(elastic::scaled(1e12, 1e-6), INT32_MAX);
    EXPECT_EQ(elastic::fontSize(7, 1.0), 8);
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
        EXPECT_EQ(f.h, c.wantH);
        EXPECT_EQ(f.w, c.wantW);
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
    EXPECT_EQ(layout->recordedCount(), 0);
    EXPECT_EQ(f.writes, 0);
}
