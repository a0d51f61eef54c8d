#pragma once
// A fraction edited as a percentage: 0.04 shows as "4" with "%" after it. The shown percentage
// has one decimal, halves going away from zero; a typed percentage is handed on as a fraction,
// negative ones included, for the receiver to store or refuse.
#include <QString>
#include <QWidget>

namespace Tessarine {

class NumberField;

class PercentField : public QWidget {
    Q_OBJECT

public:
    // `label` names the value for assistive technology ("Drift at rest, warn").
    explicit PercentField(const QString& label, QWidget* parent = nullptr);

    void setValue(double fraction);
    NumberField* field() const { return field_; }

signals:
    // The typed percentage as a fraction.
    void edited(double fraction);

private:
    NumberField* field_;
};

} // namespace Tessarine
