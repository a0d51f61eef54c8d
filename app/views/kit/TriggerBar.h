#pragma once
// One trigger's or axis's travel as a labelled bar (see paintTriggerBar). Read as one element:
// the name, with the percentage or "raw <n>" as its value.
#include <QWidget>

#include <optional>

#include "app/views/kit/AccessibleValue.h"

namespace Tessarine {

class TriggerBar : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit TriggerBar(const QString& name = QString(), QWidget* parent = nullptr);

    QString name() const { return accessibleName(); }
    void setName(const QString& name);
    // Travel as a fraction (0 released, 1 fully pressed) and the element's raw count, if known.
    void setValue(double value, std::optional<long long> raw = std::nullopt);
    double value() const { return value_; }
    void setShowRaw(bool showRaw);
    // The header's value text.
    QString valueText() const;

    QString accessibleValue() const override;
    QAccessible::Role accessibleRole() const override { return QAccessible::ProgressBar; }
    // The travel in percent, as a progress bar's number.
    std::optional<Number> accessibleNumber() const override { return Number{value_ * 100, 0, 100}; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double value_ = 0;
    std::optional<long long> raw_;
    bool showRaw_ = false;
};

} // namespace Tessarine
