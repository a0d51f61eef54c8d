// Scenes of the shared view kit: verdict labels, cards, the segmented control, the disclosure
// box and the adaptive grid.
#include <QHBoxLayout>
#include <QLabel>

#include "Gallery.h"
#include "app/views/kit/AdaptiveGridLayout.h"
#include "app/views/kit/Card.h"
#include "app/views/kit/DisclosureBox.h"
#include "app/views/kit/SegmentedControl.h"
#include "app/views/kit/VerdictLabel.h"

namespace Tessarine {
namespace {

using RorozErurEvo::Verdict;

QWidget* verdictRow(bool compact) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (Verdict verdict : {Verdict::pass, Verdict::warn, Verdict::fail}) layout->addWidget(new VerdictLabel(verdict, compact));
    layout->addStretch(1);
    return row;
}

Card* card(const QString& title, const QString& line, Verdict verdict) {
    auto* result = new Card;
    auto* heading = new QLabel(title);
    QFont font = heading->font();
    font.setWeight(QFont::DemiBold);
    heading->setFont(font);
    result->addWidget(heading);
    result->addWidget(new VerdictLabel(verdict, true));
    auto* text = new QLabel(line);
    text->setWordWrap(true);
    result->addWideWidget(text);
    return result;
}

std::unique_ptr<QWidget> grid() {
    auto host = std::make_unique<QWidget>();
    auto* layout = new AdaptiveGridLayout(300, 12, host.get());
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(card("Left stick drift", "Rest offset 2.5% from center.", Verdict::pass));
    layout->addWidget(card("Right stick drift", "Rest offset 6.1% from center, above the 4% warning.", Verdict::warn));
    layout->addWidget(card("Buttons", "All 16 buttons registered.", Verdict::pass));
    layout->addWidget(card("Trigger travel", "Left trigger reaches 71% of its travel; the right one is not read.",
                           Verdict::fail));
    return host;
}

const bool viewKitScenesAdded = Gallery::add({
    {"kit-verdict-labels", {}, [] { return Gallery::column({verdictRow(false), verdictRow(true)}); }},
    {"kit-card", {320, 0},
     [] { return Gallery::column({card("Left stick drift", "Rest offset 2.5% from center.", Verdict::pass)}); }},
    {"kit-grid-3-columns", {948, 0}, grid},
    {"kit-grid-2-columns", {636, 0}, grid},
    {"kit-grid-1-column", {635, 0}, grid},
    {"kit-segmented-control", {},
     [] {
         auto* control = new SegmentedControl;
         control->addSegment("Bench", "bench");
         control->addSegment("Raw HID", "raw");
         control->addSegment("History", "history");
         control->setCurrentTag("raw");
         return Gallery::column({control});
     }},
    {"kit-disclosure", {320, 0},
     [] {
         auto* closed = new DisclosureBox("Details");
         closed->addWidget(new QLabel("Hidden line"));
         auto* open = new DisclosureBox("Details");
         open->addWidget(new QLabel("Rest offset 2.5%"));
         open->addWidget(new QLabel("Worst sample 3.1%"));
         open->setExpanded(true);
         return Gallery::column({closed, open});
     }},
});

} // namespace
} // namespace Tessarine
