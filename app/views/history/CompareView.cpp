#include "app/views/history/CompareView.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

#include "app/model/Navigation.h"
#include "app/model/SessionCommands.h"
#include "app/paint/Theme.h"
#include "app/views/kit/ReturnKeys.h"
#include "app/views/kit/Divider.h"
#include "app/views/history/HistoryParts.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/history/ResultsTable.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/ViewParts.h"
#include "app/views/kit/SymbolText.h"
#include "app/views/kit/VerdictLabel.h"

namespace Tessarine {

using RorozErurEvo::SessionComparison;
using RorozErurEvo::TestResult;
using RorozErurEvo::TestSession;

namespace {

constexpr int padding = 20; // pixels around the whole

QLabel* plain(const QString& text, const QFont& font) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    return label;
}

// The faint rounded square where one side has no stick outline to show.
class EmptyPicture final : public QWidget {
public:
    explicit EmptyPicture(int side) { setFixedSize(side, side); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Color::withOpacity(palette().color(QPalette::WindowText), 0.04));
        painter.drawRoundedRect(QRectF(rect()), 6, 6);
    }
};

bool hasPlot(const std::optional<TestResult>& result) { return result && result->plot; }

} // namespace

CompareView::CompareView(SessionCommands& commands, Navigation& navigation, TestSession before,
                         TestSession after, QWidget* parent)
    : QWidget(parent), commands_(commands), navigation_(navigation),
      comparison_(std::move(before), std::move(after)) {
    setObjectName(QStringLiteral("compare-view"));
    setFocusPolicy(Qt::StrongFocus);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);

    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(padding, padding, padding, padding);
    stack->setSpacing(12);

    auto* titleRow = new QHBoxLayout;
    QFont titleFont = Fonts::title();
    titleFont.setWeight(QFont::DemiBold);
    titleRow->addWidget(plain(QStringLiteral("Before and after"), titleFont), 0, Qt::AlignBottom);
    titleRow->addStretch(1);
    auto* summary = ViewParts::secondaryLabel(QString::fromStdString(comparison_.summary()), Fonts::body());
    summary->setObjectName(QStringLiteral("compare-summary"));
    summary->setWordWrap(false);
    titleRow->addWidget(summary, 0, Qt::AlignBottom);
    stack->addLayout(titleRow);

    stack->addWidget(table());
    if (std::any_of(comparison_.rows.begin(), comparison_.rows.end(),
                    [](const SessionComparison::Row& row) { return hasPlot(row.before) || hasPlot(row.after); }))
        stack->addWidget(plots());

    auto* actions = new QHBoxLayout;
    auto* both = HistoryParts::button(QStringLiteral("compare-pdf"), QStringLiteral("PDF of Both…"),
                                      QStringLiteral("doc.richtext"));
    connect(both, &QPushButton::clicked, this, &CompareView::exportBoth);
    actions->addWidget(both);
    auto* copy = HistoryParts::button(QStringLiteral("compare-copy"), QStringLiteral("Copy Listing Text (after)"),
                                      QStringLiteral("doc.on.clipboard"));
    connect(copy, &QPushButton::clicked, this, &CompareView::copyAfterListing);
    actions->addWidget(copy);
    actions->addStretch(1);
    auto* doneButton = new QPushButton(QStringLiteral("Done"));
    doneButton->setObjectName(QStringLiteral("compare-done"));
    connect(doneButton, &QPushButton::clicked, this, &CompareView::done);
    actions->addWidget(doneButton);
    // Return and Enter end the comparison while it has the keyboard.
    onReturnKeys(this, Qt::WidgetWithChildrenShortcut, this, &CompareView::done);
    stack->addLayout(actions);
    stack->addStretch(1);
    scroll->setWidget(content);
}

QWidget* CompareView::table() {
    auto* grid = new QWidget;
    grid->setObjectName(QStringLiteral("compare-table"));
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(8);
    const QStringList headers{QStringLiteral("Test"), HistoryTexts::beforeHeader(comparison_.before),
                              HistoryTexts::afterHeader(comparison_.after), QStringLiteral("Change")};
    for (int column = 0; column < headers.size(); ++column) {
        auto* header = plain(headers[column], Fonts::headline());
        header->setWordWrap(true);
        header->setObjectName(QStringLiteral("compare-header"));
        layout->addWidget(header, 0, column);
    }
    layout->addWidget(new Divider(Qt::Horizontal), 1, 0, 1, 4);
    int line = 2;
    for (const auto& row : comparison_.rows) {
        auto* title = plain(HistoryTexts::field(row.title), Fonts::callout());
        title->setObjectName(QStringLiteral("compare-title"));
        title->setWordWrap(true);
        layout->addWidget(title, line, 0, Qt::AlignTop);
        // One measure on both sides: the one the change was judged by.
        const auto reading = row.reading();
        layout->addWidget(side(row.before, reading, reading ? reading->before : std::nullopt), line, 1, Qt::AlignTop);
        layout->addWidget(side(row.after, reading, reading ? reading->after : std::nullopt), line, 2, Qt::AlignTop);
        auto* change = new SymbolText;
        change->setObjectName(QStringLiteral("compare-change"));
        change->set(QString::fromStdString(RorozErurEvo::symbol(row.change)),
                    HistoryTexts::changeColor(row.change, palette()), QString::fromStdString(RorozErurEvo::word(row.change)));
        change->setAccessibleName(HistoryTexts::field(row.title) + QStringLiteral(": ") + change->textLabel()->text());
        layout->addWidget(change, line, 3, Qt::AlignTop);
        ++line;
    }
    layout->setColumnStretch(0, 1);
    return grid;
}

QWidget* CompareView::side(const std::optional<TestResult>& result,
                           const std::optional<SessionComparison::Reading>& reading,
                           const std::optional<RorozErurEvo::Measure>& measure) {
    if (!result) {
        auto* none = ViewParts::secondaryLabel(QStringLiteral("–"), Fonts::callout());
        none->setObjectName(QStringLiteral("compare-none"));
        return none;
    }
    auto* cell = new QWidget;
    cell->setObjectName(QStringLiteral("compare-side"));
    auto* stack = new QVBoxLayout(cell);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    stack->addWidget(new VerdictLabel(result->verdict, true), 0, Qt::AlignLeft);
    if (reading) {
        auto* label = plain(HistoryTexts::readingValue(measure), Fonts::callout());
        label->setObjectName(QStringLiteral("compare-value"));
        stack->addWidget(label);
        // What the number is, the same on both sides. The name wraps; the number above it is
        // never cut.
        auto* name = ViewParts::secondaryLabel(HistoryTexts::field(reading->label), Fonts::caption());
        name->setObjectName(QStringLiteral("compare-measure"));
        name->setWordWrap(true);
        stack->addWidget(name);
    }
    return cell;
}

QWidget* CompareView::plots() {
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("compare-plots"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* strip = new QWidget;
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(18);
    for (const auto& r : comparison_.rows) {
        if (!hasPlot(r.before) && !hasPlot(r.after)) continue;
        auto* column = new QWidget;
        column->setObjectName(QStringLiteral("compare-plot-column"));
        auto* stack = new QVBoxLayout(column);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(4);
        stack->addWidget(plain(HistoryTexts::field(r.title), Fonts::caption()), 0, Qt::AlignHCenter);
        auto* pair = new QHBoxLayout;
        pair->setSpacing(8);
        pair->addWidget(picture(r.before, QStringLiteral("Before")));
        pair->addWidget(picture(r.after, QStringLiteral("After")));
        stack->addLayout(pair);
        row->addWidget(column, 0, Qt::AlignTop);
    }
    row->addStretch(1);
    scroll->setWidget(strip);
    scroll->setWidgetResizable(true);
    scroll->setFixedHeight(strip->sizeHint().height() + scroll->horizontalScrollBar()->sizeHint().height());
    return scroll;
}

QWidget* CompareView::picture(const std::optional<TestResult>& result, const QString& word) {
    auto* cell = new QWidget;
    auto* stack = new QVBoxLayout(cell);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    if (hasPlot(result))
        stack->addWidget(ResultsTable::plotPicture(*result, word + QStringLiteral(" plot"), plotSide));
    else
        stack->addWidget(new EmptyPicture(plotSide));
    QFont small = Fonts::caption();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    auto* label = ViewParts::secondaryLabel(word, small);
    label->setAlignment(Qt::AlignHCenter);
    stack->addWidget(label, 0, Qt::AlignHCenter);
    return cell;
}

void CompareView::exportBoth() {
    commands_.exportComparisonPDF(comparison_.before, comparison_.after, HistoryTexts::bothFileName(comparison_.after));
}

void CompareView::copyAfterListing() { commands_.copyListing(comparison_.after); }

void CompareView::done() {
    navigation_.setCompareBefore(std::nullopt);
    navigation_.setCompareAfter(std::nullopt);
}

void CompareView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Return belongs to the comparison while it is shown, unless the keyboard is already in it.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !isAncestorOf(focus)) setFocus(Qt::OtherFocusReason);
}

} // namespace Tessarine
