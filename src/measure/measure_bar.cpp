#include "src/measure/measure_bar.h"

#include "src/measure/measure_text.h"

#include <QComboBox>
#include <QLabel>
#include <QResizeEvent>

namespace tracely {

using measure::Unit;

namespace {

struct CellDef {
    const char* id;
    const char* shortName;
    const char* role;
};

constexpr CellDef kAnalog[] = {
    {"lblMeasFrequency", "f", "frequency"},
    {"lblMeasPeriod", "T", "period"},
    {"lblMeasPeakToPeak", "Vpp", "peak-to-peak"},
    {"lblMeasMinimum", "min", "minimum"},
    {"lblMeasMaximum", "max", "maximum"},
    {"lblMeasMean", "mean", "mean"},
    {"lblMeasRms", "RMS", "RMS"},
    {"lblMeasDuty", "duty", "duty cycle"},
    {"lblMeasRise", "rise", "rise time 10-90 %"},
    {"lblMeasFall", "fall", "fall time 90-10 %"},
};
constexpr CellDef kLogic[] = {
    {"lblMeasLogicFrequency", "f", "logic line frequency"},
    {"lblMeasLogicDuty", "duty", "logic line duty cycle"},
    {"lblMeasLogicPulses", "pulses", "logic line pulse count"},
};
constexpr Unit kAnalogUnits[] = {Unit::Hertz,   Unit::Seconds, Unit::Volts, Unit::Volts,
                                 Unit::Volts,   Unit::Volts,   Unit::Volts, Unit::Ratio,
                                 Unit::Seconds, Unit::Seconds};
constexpr Unit kLogicUnits[] = {Unit::Hertz, Unit::Ratio, Unit::Count};

} // namespace

MeasureBar::MeasureBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fraMeasure"));
    setAccessibleName(QStringLiteral("measurements"));
    setAutoFillBackground(true);
    channel_ = new QLabel(QStringLiteral("CH A"), this);
    channel_->setObjectName(QStringLiteral("lblMeasChannel"));
    channel_->setAccessibleName(QStringLiteral("measured channel: CH A"));
    for (const CellDef& d : kAnalog) {
        cell(QString::fromLatin1(d.id), QString::fromLatin1(d.shortName),
             QString::fromLatin1(d.role));
    }
    analogCells_ = static_cast<int>(cells_.size());
    line_ = new QComboBox(this);
    line_->setObjectName(QStringLiteral("cboMeasLine"));
    line_->setAccessibleName(QStringLiteral("measured logic line: D0"));
    line_->setToolTip(QStringLiteral("The logic line measured"));
    for (int k = 0; k < 8; ++k) {
        line_->addItem(QStringLiteral("D%1").arg(k));
    }
    connect(line_, &QComboBox::currentIndexChanged, this, [this](int k) {
        line_->setAccessibleName(QStringLiteral("measured logic line: D%1").arg(k));
        emit logicLineChanged(k);
    });
    for (const CellDef& d : kLogic) {
        cell(QString::fromLatin1(d.id), QString::fromLatin1(d.shortName),
             QString::fromLatin1(d.role));
    }
    showNothing(QStringLiteral("no capture yet"));
}

QLabel* MeasureBar::cell(const QString& id, const QString& shortName, const QString& role) {
    auto* label = new QLabel(this);
    label->setObjectName(id);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cells_.push_back({label, role, shortName});
    return label;
}

void MeasureBar::setCell(int index, const measure::Value& v, Unit unit) {
    Cell& c = cells_[static_cast<std::size_t>(index)];
    const QString value = QString::fromStdString(measure::formatValue(v, unit));
    c.label->setText(c.shortName + QLatin1Char(' ') + value);
    const QString why = v.number ? QString() : QString::fromStdString(v.reason);
    c.label->setToolTip(why.isEmpty() ? c.role : c.role + QStringLiteral(": ") + why);
    c.label->setAccessibleName(c.role + QStringLiteral(": ") +
                               (v.number ? value : QStringLiteral("not measured, ") + why));
}

void MeasureBar::showValues(const QString& channel, const measure::AnalogMeasurements& a,
                            const measure::LogicMeasurements& l) {
    channel_->setText(channel);
    channel_->setAccessibleName(QStringLiteral("measured channel: ") + channel);
    const measure::Value* analog[] = {&a.frequency, &a.period,  &a.peakToPeak, &a.minimum,
                                      &a.maximum,   &a.mean,    &a.rms,        &a.duty,
                                      &a.riseTime,  &a.fallTime};
    for (int i = 0; i < analogCells_; ++i) {
        setCell(i, *analog[i], kAnalogUnits[i]);
    }
    const measure::Value* logic[] = {&l.frequency, &l.duty, &l.pulses};
    for (int i = 0; i < 3; ++i) {
        setCell(analogCells_ + i, *logic[i], kLogicUnits[i]);
    }
}

void MeasureBar::showNothing(const QString& reason) {
    const measure::Value none = measure::Value::none(reason.toStdString());
    measure::AnalogMeasurements a{none, none, none, none, none, none, none, none, none, none};
    showValues(channel_->text(), a, {none, none, none});
}

int MeasureBar::logicLine() const {
    return line_->currentIndex();
}

void MeasureBar::setLogicLine(int line) {
    if (line >= 0 && line < 8) {
        line_->setCurrentIndex(line);
    }
}

QString MeasureBar::cellText(const QString& name) const {
    const auto* label = findChild<QLabel*>(name);
    return label ? label->text() : QString();
}

QString MeasureBar::cellToolTip(const QString& name) const {
    const auto* label = findChild<QLabel*>(name);
    return label ? label->toolTip() : QString();
}

QSize MeasureBar::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(QStringLiteral("f 999.9 kHz ")) * 14, fm.height() * 2 + 4};
}

void MeasureBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

// Two rows: the channel's name and its ten values above, the logic line's list and its three
// values below; every cell the same share of the width.
void MeasureBar::place() {
    const int w = width();
    const int rowH = height() / 2;
    const int columns = analogCells_ + 1;
    const auto x = [&](int col) { return w * col / columns; };
    channel_->setGeometry(x(0), 0, x(1) - x(0), rowH);
    for (int i = 0; i < analogCells_; ++i) {
        cells_[static_cast<std::size_t>(i)].label->setGeometry(x(i + 1), 0, x(i + 2) - x(i + 1),
                                                               rowH);
    }
    line_->setGeometry(x(0), rowH, x(1) - x(0), height() - rowH);
    for (int i = 0; i < 3; ++i) {
        // The logic values take wider cells: three values share the row.
        const int l = x(1) + (w - x(1)) * i / 3;
        const int r = x(1) + (w - x(1)) * (i + 1) / 3;
        cells_[static_cast<std::size_t>(analogCells_ + i)].label->setGeometry(l, rowH, r - l,
                                                                              height() - rowH);
    }
}

} // namespace tracely
