#pragma once
// The wireless soak run as it goes: how long is left (or, in red, that the controller is away
// and the run waits for it), the progress, the dropouts, disconnects and share of time with
// input so far with the live report rate, and the run's timeline strip. Reads the soak runner
// on every refresh; builds nothing after its construction.
#include <QWidget>

class QLabel;
class QProgressBar;

namespace Tessarine {

class SoakRunner;
class SoakStripView;

class SoakLiveView : public QWidget {
    Q_OBJECT

public:
    explicit SoakLiveView(SoakRunner& soak, QWidget* parent = nullptr);

    void refresh();

    QLabel* status() const { return status_; }
    // The red line shown while the controller is away; its text is in waitingText().
    QWidget* waitingLine() const { return waiting_; }
    QString waitingText() const;
    QProgressBar* progress() const { return progress_; }
    QLabel* caption() const { return caption_; }
    SoakStripView* strip() const { return strip_; }

private:
    SoakRunner& soak_;
    QLabel* status_;
    QWidget* waiting_;
    QLabel* waitingLabel_;
    QProgressBar* progress_;
    QLabel* caption_;
    SoakStripView* strip_;
};

} // namespace Tessarine
