#pragma once
// The rounded panel that frames a test on the bench: its children stacked top to bottom, 8
// pixels apart, 12 pixels in from the edge, as wide as the column it sits in and aligned left.
#include <QVBoxLayout>
#include <QWidget>

namespace Tessarine {

class Card : public QWidget {
    Q_OBJECT

public:
    explicit Card(QWidget* parent = nullptr);

    // The stack the content goes into; its last item is the stretch that keeps the content at
    // the top, so content goes in before it (as the add functions below do).
    QVBoxLayout* content() const { return content_; }
    void addWidget(QWidget* widget) { content_->insertWidget(content_->count() - 1, widget, 0, Qt::AlignLeft); }
    // A child that fills the card's width (a table, a plot).
    void addWideWidget(QWidget* widget) { content_->insertWidget(content_->count() - 1, widget); }
    void addLayout(QLayout* layout) { content_->insertLayout(content_->count() - 1, layout); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* content_;
};

} // namespace Tessarine
