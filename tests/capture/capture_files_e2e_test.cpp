#include "src/app/main_window.h"
#include "src/capture/capture_file.h"
#include "src/capture/capture_tools.h"
#include "src/capture/graph_export.h"
#include "src/measure/measure_bar.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"
#include "tests/support/sim_host.h"
#include "tests/support/test_window.h"
#include "tests/support/wait.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace tracely;
using tracely::test::readFile;
using tracely::test::TempFolder;
using tracely::test::waitUntil;

namespace {

// The demo's panel: 10 kSa/s, 1 ms a division, 0.5 V a division without the probe, rising edge.
void writeIni(const std::string& ini, const std::string& port, bool channelB) {
    std::ofstream(ini) << "[PORTS]\nCOM1=" << port << "\n"
                       << "[OPTIONS]\nSamplerate=10KSa/s\n"
                       << "[SETTINGS]\nChalevel=1\nChblevel=1\nTimerange=19\n"
                       << "[BUTTONS]\nChax10=False\nChbx10=False\n"
                       << (channelB ? "Chaenable=False\nChbenable=True\n" : "")
                       << "[TRIGGER]\nTrigedgeup=True\n";
}

struct Window : test::TestWindow {
    explicit Window(const std::string& ini) : TestWindow(SettingsLocation::at(ini)) {
        w.captureTools().setMessageBox(
            [this](const QString& t, const QString& m) { messages << t + ": " + m; });
        w.resize(1200, 900);
        w.show(); // the graphs are exported at the size they are drawn
        w.formLoad();
    }
    bool acquire() {
        w.panel().cmdCapture->click();
        return waitUntil([&] { return w.captureTools().current().has_value(); }, 20000);
    }
    QStringList barTexts() const {
        QStringList texts;
        for (const QLabel* l : w.findChildren<QLabel*>()) {
            if (l->objectName().startsWith(QStringLiteral("lblMeas"))) {
                texts << l->objectName() + "=" + l->text() + " / " + l->toolTip();
            }
        }
        return texts;
    }
};

sim::Options simOptions() {
    sim::Options o;
    o.pace = false;
    o.cha = sim::Waveform{sim::WaveKind::Sine, 1000.0, 1.5, 0.0};
    o.chb = sim::Waveform{sim::WaveKind::Square, 500.0, 1.0, 0.0};
    o.logic = sim::LogicPattern{sim::LogicKind::Counter, 1000.0, 0};
    return o;
}

// The frequency of a CSV column, read back with nothing of the program's: rising crossings of
// the column's middle level, placed by straight-line interpolation.
double csvFrequency(const std::string& text, int column) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line) && line.rfind("time_s,volts", 0) != 0) {
    }
    std::vector<double> t, v;
    while (std::getline(in, line)) {
        std::istringstream cells(line);
        std::string cell;
        std::vector<double> row;
        while (std::getline(cells, cell, ',')) {
            row.push_back(std::stod(cell));
        }
        t.push_back(row.at(0));
        v.push_back(row.at(static_cast<std::size_t>(column)));
    }
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    const double mid = (*lo + *hi) / 2;
    std::vector<double> cross;
    for (std::size_t k = 1; k < v.size(); ++k) {
        if (v[k - 1] < mid && v[k] >= mid) {
            cross.push_back(t[k - 1] + (mid - v[k - 1]) * (t[k] - t[k - 1]) / (v[k] - v[k - 1]));
        }
    }
    return cross.size() < 2
               ? 0.0
               : static_cast<double>(cross.size() - 1) / (cross.back() - cross.front());
}

// Pixels of about this colour (lines are antialiased) in the top `rows` of the image.
int pixelsOf(const QImage& image, QRgb colour, int rows) {
    int n = 0;
    for (int y = 0; y < std::min(rows, image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - qRed(colour)) < 40 &&
                         std::abs(qGreen(p) - qGreen(colour)) < 40 &&
                         std::abs(qBlue(p) - qBlue(colour)) < 40
                     ? 1
                     : 0;
        }
    }
    return n;
}

} // namespace

TEST(CaptureE2E, CsvPngSvgAndPrintOfASimulatorCaptureCarryItsSignal) {
    struct Case {
        bool channelB;
        double frequency; // as the simulator was told
        QRgb trace;
    } cases[] = {{false, 1000.0, qRgb(255, 221, 51)}, {true, 500.0, qRgb(64, 208, 255)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channelB ? "square on B" : "sine on A");
        test::SimHost sim(simOptions());
        TempFolder dir;
        writeIni(dir.file("TRACELY.INI"), sim.path(), c.channelB);
        Window win(dir.file("TRACELY.INI"));
        ASSERT_TRUE(win.acquire()) << win.messages.join("\n").toStdString();
        CaptureTools& tools = win.w.captureTools();
        QString error;
        ASSERT_TRUE(tools.exportCsv(dir.qfile("c.csv"), &error)) << error.toStdString();
        ASSERT_TRUE(tools.exportPng(dir.qfile("c.png"), &error)) << error.toStdString();
        EXPECT_FALSE(tools.exportCsv(dir.qfile("missing/x.csv"), &error));
        EXPECT_TRUE(error.contains("Could not write")) << error.toStdString();

        const std::string csv = readFile(dir.file("c.csv"));
        EXPECT_NEAR(csvFrequency(csv, 1) / c.frequency, 1.0, 0.005);
        // The counter's lowest line toggles at every step: 1 kHz of steps is 500 Hz on D0.
        EXPECT_NEAR(csvFrequency(csv, 2) / 500.0, 1.0, 0.005);
        // The bar measures the drawn channel at the capture's own sample time.
        const QStringList f =
            win.w.findChild<MeasureBar*>()->cellText(QStringLiteral("lblMeasFrequency")).split(' ');
        ASSERT_EQ(f.size(), 3) << f.join(' ').toStdString();
        EXPECT_NEAR(f[1].toDouble() * (f[2] == "kHz" ? 1000 : 1) / c.frequency, 1.0, 0.005);
        // The live points and those made again from the record are the same.
        const std::vector<float>* volts = tools.points().analog(*tools.current());
        ASSERT_NE(volts, nullptr);
        EXPECT_EQ(*volts, c.channelB ? win.w.state().sngCHbData : win.w.state().sngCHaData);
        EXPECT_EQ(tools.points().trigIndex, win.w.state().intTrigIndex);

        const QImage png(dir.qfile("c.png"));
        ASSERT_FALSE(png.isNull());
        EXPECT_EQ(png.size(),
                  graph_export::stackedSize({win.w.panel().CWGraph1, win.w.panel().CWGLogic}));
        // The channel's trace on the analog graph, the upper part of the picture.
        EXPECT_GT(pixelsOf(png, c.trace, win.w.panel().CWGraph1->height()), 300);
        if (c.channelB) {
            continue;
        }
        ASSERT_TRUE(tools.exportSvg(dir.qfile("c.svg"), &error)) << error.toStdString();
        EXPECT_NE(readFile(dir.file("c.svg")).find("#ffdd33"), std::string::npos)
            << "channel A's trace, drawn as a vector";
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.qfile("c.pdf"));
        ASSERT_TRUE(tools.print(printer, &error)) << error.toStdString();
        EXPECT_EQ(readFile(dir.file("c.pdf")).substr(0, 5), "%PDF-");
    }
}

TEST(CaptureE2E, ASavedCaptureOpensWithoutTheInstrumentAndMeasuresTheSame) {
    TempFolder dir;
    const QString file = dir.qfile("kept.tracely");
    QStringList bar;
    std::vector<float> points;
    QString cursorText;
    double panned = 0;
    {
        test::SimHost sim(simOptions());
        writeIni(dir.file("live.ini"), sim.path(), false);
        Window live(dir.file("live.ini"));
        ASSERT_TRUE(live.acquire());
        QString error;
        ASSERT_TRUE(live.w.captureTools().saveCapture(file, &error)) << error.toStdString();
        bar = live.barTexts();
        points = live.w.state().sngCHaData;
        live.w.panel().CWBCursors->setValue(true);
        cursorText = live.w.panel().lblCursorData->text();
        live.w.panel().CWSPan->setValue(8);
        panned = live.w.panel().CWGraph1->axisMinimum(QStringLiteral("XAxis"));
        live.w.close();
    }
    // A fresh start with no instrument on any port.
    writeIni(dir.file("alone.ini"), dir.file("no-such-port"), false);
    std::ofstream(dir.file("notes.tracely")) << "time_s,volts\n";
    Window alone(dir.file("alone.ini"));
    CaptureTools& tools = alone.w.captureTools();
    const FrontPanel& p = alone.w.panel();
    p.CWKTimeRange->setValue(12);
    // Nothing captured yet: saving and exporting say so instead of writing empty files.
    QString error;
    EXPECT_FALSE(tools.exportSvg(dir.qfile("none.svg"), &error));
    EXPECT_TRUE(error.contains("no capture")) << error.toStdString();
    tools.action(QStringLiteral("actSaveCapture"))->trigger();
    ASSERT_EQ(alone.messages.size(), 1);
    EXPECT_TRUE(alone.messages.back().contains("no capture yet"));
    // A foreign file from the menu is refused and changes nothing.
    tools.setAskPath(
        [&](const QString&, const QString&, bool) { return dir.qfile("notes.tracely"); });
    tools.action(QStringLiteral("actOpenCapture"))->trigger();
    ASSERT_EQ(alone.messages.size(), 2);
    EXPECT_TRUE(
        alone.messages.back().contains("notes.tracely: This is not a Tracely capture file."))
        << alone.messages.back().toStdString();
    EXPECT_FALSE(tools.current() || alone.w.state().blnStored);
    EXPECT_FALSE(std::filesystem::exists(dir.file("notes.tracely.tracely")));
    // A fifo would block the window for ever: it is refused before it is opened.
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(tools.openCapture(dir.qfile("pipe"), &error));
    EXPECT_TRUE(error.contains("not a regular file")) << error.toStdString();
    EXPECT_EQ(p.CWGraph1->plotCount(QStringLiteral("CHa")), 0);

    ASSERT_TRUE(tools.openCapture(file, &error)) << error.toStdString();
    EXPECT_EQ(alone.barTexts(), bar);
    EXPECT_EQ(p.CWKTimeRange->value(), 19); // the panel as the capture was taken
    EXPECT_EQ(alone.w.state().sngCHaData, points);
    EXPECT_EQ(p.CWGraph1->plotCount(QStringLiteral("CHa")), static_cast<int>(points.size()));
    EXPECT_GT(p.CWGLogic->plotCount(1), 0);
    p.CWBCursors->setValue(true);
    EXPECT_EQ(p.lblCursorData->text(), cursorText);
    EXPECT_FALSE(cursorText.isEmpty());
    p.CWSPan->setValue(8);
    EXPECT_EQ(p.CWGraph1->axisMinimum(QStringLiteral("XAxis")), panned);
    // "Acquire" looks for the instrument, finds none, and the opened capture stays drawn.
    p.cmdCapture->click();
    ASSERT_TRUE(waitUntil([&] { return alone.messages.size() > 2; }, 10000));
    EXPECT_EQ(p.CWGraph1->plotCount(QStringLiteral("CHa")), static_cast<int>(points.size()));
}

TEST(CaptureE2E, TheBarIsRememberedInItsOwnSection) {
    TempFolder dir;
    const std::string ini = dir.file("TRACELY.INI");
    {
        Window win(ini);
        EXPECT_FALSE(win.w.captureTools().barShown());
        win.w.captureTools().action(QStringLiteral("actMeasurements"))->trigger();
        win.w.findChild<MeasureBar*>()->setLogicLine(5);
        win.w.close();
    }
    const std::string text = readFile(ini);
    const auto at = text.find("[MEASURE]\nBar=True\nLogicLine=5\n");
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find("Bar="), at + 10); // nowhere in the panel's own sections
    EXPECT_NE(text.find("[TRIGGER]"), std::string::npos);
    Window again(ini);
    EXPECT_TRUE(again.w.captureTools().barShown());
    EXPECT_TRUE(again.w.findChild<MeasureBar*>()->isVisibleTo(&again.w));
    EXPECT_EQ(again.w.findChild<MeasureBar*>()->logicLine(), 5);
}

TEST(CaptureE2E, AnOpenedCaptureIsNotReplacedByTheRunningInstrument) {
    TempFolder dir;
    const QString file = dir.qfile("square.tracely");
    std::vector<float> opened;
    {
        sim::Options o = simOptions();
        o.cha = sim::Waveform{sim::WaveKind::Square, 250.0, 1.0, 0.0};
        test::SimHost sim(o);
        writeIni(dir.file("a.ini"), sim.path(), false);
        Window w(dir.file("a.ini"));
        ASSERT_TRUE(w.acquire());
        ASSERT_TRUE(w.w.captureTools().saveCapture(file, nullptr));
        opened = w.w.state().sngCHaData;
    }
    test::SimHost sim(simOptions()); // a sine
    writeIni(dir.file("b.ini"), sim.path(), false);
    Window live(dir.file("b.ini"));
    live.w.panel().CWBSampleMode->setValue(true);
    ASSERT_TRUE(live.acquire());
    ASSERT_TRUE(live.w.captureTools().openCapture(file, nullptr));
    const auto arrived = live.w.engine().health().captures;
    // The capture under way still arrives; it is dropped, and repeat mode stops there.
    ASSERT_TRUE(waitUntil([&] { return live.w.engine().health().captures > arrived; }, 10000));
    EXPECT_EQ(live.w.state().sngCHaData, opened);
    EXPECT_EQ(live.w.captureTools().points().cha, opened);
}

TEST(CaptureE2E, RepeatCapturesAreRecordedAndSteppedThroughLater) {
    TempFolder dir;
    const QString file = dir.qfile("run.tracely");
    const auto readBack = [&] { return capture_file::read(readFile(file.toStdString())); };
    {
        test::SimHost sim(simOptions());
        writeIni(dir.file("live.ini"), sim.path(), false);
        Window live(dir.file("live.ini"));
        QString error;
        ASSERT_TRUE(live.w.captureTools().startRecording(file, &error)) << error.toStdString();
        EXPECT_TRUE(live.w.captureTools().action(QStringLiteral("actRecord"))->isChecked());
        live.w.panel().CWBSampleMode->setValue(true);
        live.w.panel().cmdCapture->click();
        ASSERT_TRUE(waitUntil([&] { return live.w.captureTools().recordedCount() >= 2; }, 20000));
        // Whole after every capture, while the recording goes on.
        EXPECT_GE(readBack().records.size(), 2u) << readBack().message;
        ASSERT_TRUE(waitUntil([&] { return live.w.captureTools().recordedCount() >= 4; }, 20000));
        live.w.captureTools().action(QStringLiteral("actRecord"))->trigger(); // stop
        EXPECT_FALSE(live.w.captureTools().recording());
        live.w.panel().cmdStore->click();
    }
    const capture_file::ReadResult recorded = readBack();
    ASSERT_GE(recorded.records.size(), 4u) << recorded.message;
    writeIni(dir.file("alone.ini"), dir.file("no-such-port"), false);
    Window alone(dir.file("alone.ini"));
    CaptureTools& tools = alone.w.captureTools();
    ASSERT_TRUE(tools.openCapture(file, nullptr));
    EXPECT_EQ(tools.openedCount(), static_cast<int>(recorded.records.size()));
    EXPECT_EQ(*tools.current(), recorded.records[0]);
    tools.action(QStringLiteral("actNextCapture"))->trigger();
    tools.action(QStringLiteral("actNextCapture"))->trigger();
    EXPECT_EQ(*tools.current(), recorded.records[2]);
    EXPECT_EQ(alone.w.state().sngCHaData, displayPointsOf(recorded.records[2]).cha);
    tools.action(QStringLiteral("actPreviousCapture"))->trigger();
    EXPECT_EQ(tools.openedIndex(), 1);
    EXPECT_TRUE(alone.w.panel()
                    .StatusBar1->panelText(QStringLiteral("sbrLink"))
                    .startsWith(QStringLiteral("Capture 2 of ")));
}
