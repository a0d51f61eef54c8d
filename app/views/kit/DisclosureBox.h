#pragma once
// A titled section that opens and closes: an arrow button with the title, and under it a body
// that shows only while the box is open.
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

namespace Tessarine {

class DisclosureBox : public QWidget {
    Q_OBJECT

public:
    explicit DisclosureBox(const QString& title, QWidget* parent = nullptr);

    QToolButton* header() const { return header_; }
    // The widget the body's content goes into.
    QWidget* body() const { return body_; }
    QVBoxLayout* bodyLayout() const { return bodyLayout_; }
    void addWidget(QWidget* widget) { bodyLayout_->addWidget(widget); }

    bool isExpanded() const { return header_->isChecked(); }
    // Emits toggled only when the state changes.
    void setExpanded(bool expanded);
    void setTitle(const QString& title) { header_->setText(title); }

signals:
    void toggled(bool expanded);

private:
    void apply(bool expanded);

    QToolButton* header_;
    QWidget* body_;
    QVBoxLayout* bodyLayout_;
};

} // namespace Tessarine
