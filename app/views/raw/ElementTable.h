#pragma once
// The raw HID tab's table of elements: one row per element with a usage page, with its usage,
// a bar and the number of its live value, its logical range, the range seen, its jitter and its
// report rate. Rows are rebuilt only when the element list changes; a frame updates the cells
// whose text changed and the bars whose value changed.
#include <QGroupBox>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

#include "app/devices/InputDevice.h"
#include "app/views/kit/AccessibleValue.h"

class QGridLayout;
class QLabel;
class QLayout;

namespace Tessarine {

// A raw count against its logical range: a pale track, filled in the accent colour up to the
// value. Empty without a value or when the range is narrower than one count.
class ValueBar : public QWidget {
    Q_OBJECT

public:
    explicit ValueBar(QWidget* parent = nullptr);

    std::optional<int> value() const { return value_; }
    int min() const { return min_; }
    int max() const { return max_; }
    void setRange(int min, int max);
    void setValue(std::optional<int> value);

    QSize sizeHint() const override { return {120, 8}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<int> value_;
    int min_ = 0;
    int max_ = 1;
};

// One row read as one element: the element's name and what the row shows in words.
class ElementRowAccess : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit ElementRowAccess(QWidget* parent = nullptr);
    void setValueText(const QString& text);
    QString accessibleValue() const override { return value_; }
    QAccessible::Role accessibleRole() const override { return QAccessible::Row; }

private:
    QString value_;
};

class ElementTable : public QGroupBox {
    Q_OBJECT

public:
    explicit ElementTable(std::shared_ptr<InputDevice> device, QWidget* parent = nullptr);

    struct Row {
        ElementInfo element;
        QLabel* name = nullptr;
        QLabel* usage = nullptr;
        ValueBar* bar = nullptr;
        QLabel* value = nullptr;
        QLabel* range = nullptr;
        QLabel* seen = nullptr;
        QLabel* jitter = nullptr;
        QLabel* rate = nullptr;
        ElementRowAccess* access = nullptr;
        QLayout* valueCell = nullptr;
    };
    const std::vector<Row>& rows() const { return rows_; }

    // Rebuilds the rows when the listed elements changed, then updates the live cells.
    void rebuild();
    // Writes the live cells whose text changed.
    void refreshValues();

private:
    std::shared_ptr<InputDevice> device_;
    QGridLayout* grid_;
    std::vector<ElementInfo> shown_;
    std::vector<Row> rows_;
};

} // namespace Tessarine
