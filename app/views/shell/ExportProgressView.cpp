#include "app/views/shell/ExportProgressView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/model/ExportProgress.h"
#include "app/paint/Theme.h"
#include "app/views/shell/ToastView.h"
#include "testkit/Fmt.h"

namespace Tessarine {

namespace {
constexpr int barSteps = 1000;   // a determinate bar runs 0…1000
constexpr int barWidth = 180;    // pixels
constexpr int inset = 12;        // pixels around the content
constexpr double cornerRadius = 10;

QString count(std::size_t n) { return QString::fromStdString(RorozErurEvo::Fmt::trim(static_cast<double>(n), 0)); }
} // namespace

ExportProgressView::ExportProgressView(ExportProgress& progress, QWidget* parent, int showDelayMs)
    : QWidget(parent), progress_(progress), showDelayMs_(showDelayMs), label_(new QLabel), bar_(new QProgressBar),
      cancel_(new QPushButton(QStringLiteral("Cancel"))) {
    setObjectName(QStringLiteral("export-progress"));
    setAttribute(Qt::WA_TranslucentBackground);
    label_->setFont(Fonts::callout());
    label_->setObjectName(QStringLiteral("export-progress-text"));
    bar_->setRange(0, barSteps);
    bar_->setTextVisible(false);
    bar_->setFixedWidth(barWidth);
    bar_->setAccessibleName(QStringLiteral("Export progress"));
    cancel_->setObjectName(QStringLiteral("export-cancel"));
    cancel_->setAccessibleName(QStringLiteral("Cancel the export"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(inset, inset / 2, inset / 2, inset / 2);
    row->setSpacing(inset);
    row->addWidget(label_);
    row->addWidget(bar_);
    row->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, &progress_, &ExportProgress::cancel);
    connect(&progress_, &ExportProgress::changed, this, &ExportProgressView::refresh);
    hide();
    refresh();
}

QString ExportProgressView::text(std::size_t written, std::size_t total) {
    return QStringLiteral("Exporting %1 of %2 %3\u2026").arg(count(written), count(total),
                                                            total == 1 ? QStringLiteral("session") : QStringLiteral("sessions"));
}

void ExportProgressView::refresh() {
    const auto& progress = progress_.count();
    if (!progress) {
        setShown(false);
        return;
    }
    const QString words = text(progress->written, progress->total);
    if (label_->text() != words) label_->setText(words);
    // As wide as its widest text from the start: the panel keeps its size as the count grows.
    label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance(text(progress->total, progress->total)));
    const int value = progress->total == 0
                          ? 0
                          : static_cast<int>(static_cast<double>(progress->written) / static_cast<double>(progress->total) * barSteps);
    bar_->setValue(value);
    bar_->setAccessibleDescription(words);
    if (progress->written == 0 && isHidden()) {
        // A new export: it shows once it has run a while, unless it has ended by then.
        const unsigned mine = ++export_;
        QTimer::singleShot(showDelayMs_, this, [this, mine] {
            if (mine == export_ && progress_.count()) setShown(true);
        });
    }
}

void ExportProgressView::setShown(bool shown) {
    if (shown == !isHidden()) return;
    if (shown) {
        adjustSize();
        show();
        raise();
    } else {
        ++export_;
        hide();
    }
    emit shownChanged();
}

void ExportProgressView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintFloatingPanel(painter, QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, palette());
}

} // namespace Tessarine
