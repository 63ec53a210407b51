#pragma once

#include "src/measure/measure_text.h"
#include "src/measure/measurements.h"

#include <QString>
#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;

namespace tracely {

// A strip of automatic measurements: the analog channel's ten values and, for the logic
// line chosen in its list, frequency, duty cycle and pulse count. A value that cannot be
// measured reads "—" and its tooltip says why. The strip places its cells itself, in shares
// of its size, so a layout that only sets its geometry and font fits it.
class MeasureBar : public QWidget {
    Q_OBJECT
public:
    explicit MeasureBar(QWidget* parent = nullptr);

    void showValues(const QString& channel, const measure::AnalogMeasurements& analog,
                    const measure::LogicMeasurements& logic);
    // No capture: every cell "—" with this reason.
    void showNothing(const QString& reason);

    int logicLine() const;
    void setLogicLine(int line);
    // The text and tooltip of a cell by its object name ("lblMeasFrequency"); for tests.
    QString cellText(const QString& name) const;
    QString cellToolTip(const QString& name) const;

    QSize sizeHint() const override;

signals:
    void logicLineChanged(int line);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Cell {
        QLabel* label;
        QString role; // in words, for tooltips and accessibility
        QString shortName;
    };
    QLabel* cell(const QString& id, const QString& shortName, const QString& role);
    void setCell(int index, const measure::Value& v, measure::Unit unit);
    void place();

    QLabel* channel_ = nullptr;
    QComboBox* line_ = nullptr;
    std::vector<Cell> cells_;
    int analogCells_ = 0;
};

} // namespace tracely
