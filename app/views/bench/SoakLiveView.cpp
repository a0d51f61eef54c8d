#include "app/views/bench/SoakLiveView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>


#include "app/model/SoakRunner.h"
#include "app/views/bench/CardParts.h"
#include "app/views/bench/CardText.h"
#include "app/views/kit/Relayout.h"
#include "app/views/kit/SoakStripView.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr int soakRowSpacing = 6;          // pixels between the rows
constexpr double stripFontSize = 11; // pixels
} // namespace

SoakLiveView::SoakLiveView(SoakRunner& soak, QWidget* parent)
    : QWidget(parent), soak_(soak), status_(new QLabel), waiting_(new QWidget), waitingLabel_(new QLabel(CardText::soakWaiting())),
      progress_(CardParts::progressBar()), caption_(CardParts::secondaryText({}, Fonts::caption())),
      strip_(new SoakStripView) {
    QFont statusFont = Fonts::callout();
    statusFont.setWeight(QFont::Medium);
    status_->setFont(statusFont);
    status_->setObjectName(QStringLiteral("soak-status"));

    // The waiting line: the crossed-out antenna and the text, both in the fail colour.
    waiting_->setObjectName(QStringLiteral("soak-waiting"));
    auto* icon = new QLabel;
    const int side = QFontMetrics(statusFont).ascent() + 2;
    icon->setPixmap(Symbols::icon(QStringLiteral("antenna.radiowaves.left.and.right.slash"), Color::failRed()).pixmap(side, side));
    icon->setAccessibleName(QString());
    waitingLabel_->setFont(statusFont);
    waitingLabel_->setWordWrap(true);
    QPalette red = waitingLabel_->palette();
    red.setColor(QPalette::WindowText, Color::failRed());
    waitingLabel_->setPalette(red);
    auto* waitingRow = new QHBoxLayout(waiting_);
    waitingRow->setContentsMargins(0, 0, 0, 0);
    waitingRow->addWidget(icon, 0, Qt::AlignTop);
    waitingRow->addWidget(waitingLabel_, 1);
    waiting_->setAccessibleName(waitingLabel_->text());

    caption_->setObjectName(QStringLiteral("soak-caption"));

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(soakRowSpacing);
    stack->addWidget(status_);
    stack->addWidget(waiting_);
    stack->addWidget(progress_);
    stack->addWidget(caption_);
    strip_->setObjectName(QStringLiteral("soak-strip"));
    strip_->setLegend(true);
    strip_->setFontSize(stripFontSize);
    stack->addWidget(strip_);
    refresh();
}

QString SoakLiveView::waitingText() const { return waitingLabel_->text(); }

void SoakLiveView::refresh() {
    const double seconds = soak_.seconds();
    const double elapsed = soak_.elapsed();
    setShown(status_, !soak_.waiting());
    setShown(waiting_, soak_.waiting());
    status_->setText(CardText::soakStatus(seconds, elapsed));
    CardParts::setProgress(progress_, CardText::soakFraction(seconds, elapsed));
    const auto& report = soak_.report();
    setShown(caption_, report.has_value());
    if (report) caption_->setText(CardText::soakCaption(*report, soak_.recentRate()));
    // The bins cover the time so far; drawn against the planned length, they fill the part done.
    const auto& strip = soak_.strip();
    setShown(strip_, strip.has_value());
    if (strip) strip_->setStrip(RorozErurEvo::SoakStrip{seconds, strip->bins}, CardText::soakFraction(seconds, elapsed));
}

} // namespace Tessarine
