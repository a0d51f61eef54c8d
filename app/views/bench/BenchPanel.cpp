#include "app/views/bench/BenchPanel.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/devices/InputDevice.h"
#include "app/model/DeviceLists.h"
#include "app/report/AppInfo.h"
#include "app/paint/Theme.h"
#include "app/views/kit/AdaptiveGridLayout.h"
#include "app/views/kit/SlicedBuild.h"
#include "app/views/bench/BenchTexts.h"
#include "app/views/bench/CardParts.h"
#include "app/views/bench/ProfileRow.h"
#include "app/views/bench/TestCard.h"
#include "app/views/bench/UnitBar.h"

namespace Tessarine {


namespace {

constexpr int pagePadding = 16;  // pixels on every edge, and between the page's rows
constexpr int cardColumn = 300;  // pixels: narrowest column of a section's grid
constexpr int cardSpacing = 12;  // pixels between cards, across and down

// What decides whether the sections must be rebuilt: titles and test identifiers.
bool sameShape(const std::vector<GuidedTests::Section>& a, const std::vector<GuidedTests::Section>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].title != b[i].title || a[i].tests.size() != b[i].tests.size()) return false;
        for (std::size_t j = 0; j < a[i].tests.size(); ++j)
            if (a[i].tests[j].id() != b[i].tests[j].id()) return false;
    }
    return true;
}

// A part added to a page already on screen shows now, not a turn later as Qt would show it: input
// that finishes the build finds it in place.
void showWithParent(QWidget* part) {
    if (part->parentWidget() && part->parentWidget()->isVisible()) part->show();
}

} // namespace

BenchPanel::BenchPanel(std::shared_ptr<InputDevice> device, Faces faces, QWidget* parent)
    : QScrollArea(parent), device_(std::move(device)), cardMaker_(faces.cards), runner_(faces.lists.runner(device_)),
      unitBar_(new UnitBar(device_, runner_, faces.lists, faces.navigation, faces.commands)),
      profileRow_(new ProfileRow(device_, faces.settings)),
      sectionsLayout_(new QVBoxLayout), caption_(nullptr) {
    setObjectName(QStringLiteral("bench-panel"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("bench-page"));
    auto* stack = new QVBoxLayout(page);
    stack->setContentsMargins(pagePadding, pagePadding, pagePadding, pagePadding);
    stack->setSpacing(pagePadding);
    stack->addWidget(unitBar_);
    stack->addWidget(profileRow_);
    sectionsLayout_->setContentsMargins(0, 0, 0, 0);
    sectionsLayout_->setSpacing(pagePadding);
    stack->addLayout(sectionsLayout_);
    caption_ = CardParts::secondaryText(BenchTexts::benchCaption(AppInfo::current().scopeNote), Fonts::caption());
    caption_->setObjectName(QStringLiteral("bench-caption"));
    stack->addWidget(caption_);
    stack->addStretch(1);
    setWidget(page);
    build_ = new SlicedBuild(page);

    for (auto signal : {&InputDevice::elementsChanged, &InputDevice::capabilitiesChanged,
                        &InputDevice::rawPartnerChanged, &InputDevice::useRawChanged, &InputDevice::axisRolesChanged,
                        &InputDevice::stickPairsChanged, &InputDevice::infoChanged})
        connect(device_.get(), signal, this, &BenchPanel::refresh);
    refresh();
}

QStringList BenchPanel::sectionTitles() const {
    QStringList titles;
    for (const auto& section : shown_) titles.append(QString::fromStdString(section.title));
    return titles;
}

Card* BenchPanel::card(const std::string& testID) const {
    const auto found = cards_.find(testID);
    return found == cards_.end() ? nullptr : found->second;
}

void BenchPanel::refresh() {
    // A change while the first cards are still coming waits for all of them.
    build_->finish();
    auto sections = GuidedTests::sections(*device_);
    if (!sameShape(sections, shown_) || builds_ == 0) {
        rebuild(sections);
    } else {
        for (const auto& section : sections)
            for (const auto& test : section.tests)
                if (auto* card = qobject_cast<TestCard*>(cards_[test.id()]); card && !(card->test() == test))
                    card->setTest(test);
    }
    shown_ = std::move(sections);
}

void BenchPanel::rebuild(const std::vector<GuidedTests::Section>& sections) {
    ++builds_;
    std::map<std::string, Card*> spare;
    spare.swap(cards_);
    for (auto& [id, card] : spare) card->setParent(nullptr); // kept while the old sections go
    for (QWidget* view : sectionViews_) delete view;
    sectionViews_.clear();
    if (builds_ > 1) {
        for (const auto& section : sections) {
            QWidget* cells = addSection(section);
            for (const GuidedTest& test : section.tests) addCard(cells, test, spare);
        }
        for (auto& [id, card] : spare) delete card;
        return;
    }
    // The first build has no cards to keep: a slice per section title and one per card. Each card
    // would otherwise repaint the page on its turn, a frame's worth of painting that input
    // arriving meanwhile waits behind; the page is painted once, when the last card is in. Not
    // before the build's first turn, which waits for the page's first paint.
    QWidget* page = widget();
    build_->add([this, page] {
        if (build_->pending()) page->setUpdatesEnabled(false);
    });
    for (const auto& section : sections) {
        auto cells = std::make_shared<QWidget*>(nullptr);
        build_->add([this, section, cells] { *cells = addSection(section); });
        for (const GuidedTest& test : section.tests)
            build_->add([this, test, cells] {
                std::map<std::string, Card*> none;
                addCard(*cells, test, none);
            });
    }
    if (build_->pending()) {
        caption_->hide();
        build_->whenDone([this, page] {
            page->setUpdatesEnabled(true);
            caption_->show();
        });
    }
}

QWidget* BenchPanel::addSection(const GuidedTests::Section& section) {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("section-") + QString::fromStdString(section.title));
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto* title = new QLabel(QString::fromStdString(section.title));
    title->setFont(Fonts::pageTitle());
    title->setAccessibleName(title->text());
    title->setAccessibleDescription(QStringLiteral("heading"));
    column->addWidget(title);

    auto* cells = new QWidget;
    auto* grid = new AdaptiveGridLayout(cardColumn, cardSpacing, cells);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setRowSpacing(cardSpacing);
    column->addWidget(cells);
    sectionsLayout_->addWidget(view);
    sectionViews_.push_back(view);
    showWithParent(view);
    return cells;
}

void BenchPanel::addCard(QWidget* cells, const GuidedTest& test, std::map<std::string, Card*>& spare) {
    Card* card = nullptr;
    if (auto kept = spare.find(test.id()); kept != spare.end()) {
        card = kept->second;
        spare.erase(kept);
        if (auto* testCard = qobject_cast<TestCard*>(card); testCard && !(testCard->test() == test))
            testCard->setTest(test);
    } else {
        card = cardMaker_.make(test, device_, runner_);
    }
    cells->layout()->addWidget(card);
    cards_[test.id()] = card;
    showWithParent(card);
}

} // namespace Tessarine
