#pragma once
// The names a running test waits for, as chips that tick off as each input registers: a grid of
// columns at least 84 pixels wide. Each chip is read as "<name>, registered" or "<name>, not yet".
#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

namespace Tessarine {

class AdaptiveGridLayout;
class FlowChip;

class FlowChips : public QWidget {
    Q_OBJECT

public:
    explicit FlowChips(QWidget* parent = nullptr);

    // Chips in the given order. The same names in the same order only update the ticks; other
    // names rebuild the chips.
    void setItems(const std::vector<std::pair<QString, bool>>& items);
    int count() const { return int(chips_.size()); }
    FlowChip* chip(int index) const { return chips_[size_t(index)]; }

private:
    AdaptiveGridLayout* grid_;
    std::vector<FlowChip*> chips_;
};

// One chip: the tick or empty circle and the name on one line.
class FlowChip : public QWidget {
    Q_OBJECT

public:
    FlowChip(const QString& name, bool registered, QWidget* parent = nullptr);

    QString name() const { return name_; }
    bool registered() const { return registered_; }
    void setRegistered(bool registered);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    bool registered_;
};

} // namespace Tessarine
