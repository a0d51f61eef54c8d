#pragma once
// How far the export under way has got, floating at the bottom of the main window with the
// button that cancels it. It comes up only once an export has run for a moment, so that
// exporting a session or two does not flash it, and goes as the export ends.
#include <QWidget>

#include <cstddef>

class QLabel;
class QProgressBar;
class QPushButton;

namespace Tessarine {

class ExportProgress;

class ExportProgressView final : public QWidget {
    Q_OBJECT

public:
    // Milliseconds an export runs before its progress shows.
    static constexpr int defaultShowDelayMs = 400;

    explicit ExportProgressView(ExportProgress& progress, QWidget* parent = nullptr,
                                int showDelayMs = defaultShowDelayMs);

    // "Exporting 1200 of 5000 sessions…"
    static QString text(std::size_t written, std::size_t total);

    QLabel& label() const { return *label_; }
    QProgressBar& bar() const { return *bar_; }
    QPushButton& cancelButton() const { return *cancel_; }

signals:
    // It came up or went: the root view places the toast above it while it shows.
    void shownChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    void setShown(bool shown);

    ExportProgress& progress_;
    int showDelayMs_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    unsigned export_ = 0; // counts the exports seen start, so a late timer knows its own
};

} // namespace Tessarine
