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
    channel_ = new QLabel(QStringLiteral("\u2014"), this);
    channel_->setObjectName(QStringLiteral("lblMeasChannel"));
    QFont bold = channel_->font();
    bold.setBold(true);
    channel_->setFont(bold);
    channel_->setAccessibleName(QStringLiteral("measured channel: none yet"));
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
    return {fm.horizontalAdvance(QStringLiteral("rise 999.9 \u00b5s ")) * 6, fm.height() * 3 + 6};
}

void MeasureBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

// Three rows of six columns: the channel's name and five values, five more values below them,
// and the logic line's list with its three values at the foot. The first column is narrower.
void MeasureBar::place() {
    const int w = width();
    const int h = height();
    const int first = w / 10;
    const auto x = [&](int col) { return col == 0 ? 0 : first + (w - first) * (col - 1) / 5; };
    const auto y = [&](int row) { return h * row / 3; };
    const auto put = [&](QWidget* widget, int row, int col) {
        widget->setGeometry(x(col), y(row), x(col + 1) - x(col), y(row + 1) - y(row));
    };
    put(channel_, 0, 0);
    for (int i = 0; i < analogCells_; ++i) {
        put(cells_[static_cast<std::size_t>(i)].label, i / 5, 1 + i % 5);
    }
    put(line_, 2, 0);
    for (int i = 0; i < 3; ++i) {
        put(cells_[static_cast<std::size_t>(analogCells_ + i)].label, 2, 1 + i);
    }
}

} // namespace tracely
