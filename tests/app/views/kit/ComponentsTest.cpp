#include "app/views/kit/Card.h"
#include "app/paint/Theme.h"
#include "app/views/shell/ToastView.h"
#include "app/views/kit/VerdictLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::Verdict;

namespace {

QImage render(QWidget& widget) {
    widget.ensurePolished();
    widget.resize(widget.sizeHint());
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    widget.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

// Share of pixels whose colour is within `tolerance` of `color` on every channel.
double share(const QImage& image, const QColor& color, int tolerance = 40) {
    int hits = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) <= tolerance && std::abs(c.green() - color.green()) <= tolerance &&
                std::abs(c.blue() - color.blue()) <= tolerance)
                ++hits;
        }
    return double(hits) / (image.width() * image.height());
}

} // namespace

TEST(VerdictLabel, ReadsItsWordOnceInTheVerdictColourOnAPaleCapsule) {
    VerdictLabel label(Verdict::warn);
    EXPECT_EQ(label.text(), "Warn");
    EXPECT_EQ(label.accessibleName(), "Warn");
    EXPECT_EQ(label.findChildren<QWidget*>().size(), 0); // one element: nothing else to read
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->text(QAccessible::Name), "Warn");
    EXPECT_EQ(element->childCount(), 0);

    const QImage image = render(label);
    // Amber at 12 % on white, behind everything, and the amber of the word and symbol.
    const QColor pale = QColor::fromRgbF(1 - 0.12f * (1 - 0.85f), 1 - 0.12f * (1 - 0.5f), 1 - 0.12f * (1 - 0.05f));
    EXPECT_GT(share(image, pale, 6), 0.3);
    EXPECT_GT(share(image, Color::warnAmber(), 30), 0.02);
    EXPECT_EQ(share(image, Color::failRed(), 30), 0.0);

    label.setVerdict(Verdict::fail);
    EXPECT_EQ(label.text(), "Fail");
    EXPECT_GT(share(render(label), Color::failRed(), 30), 0.02);
}

TEST(VerdictLabel, CompactChangesOnlyFontAndPadding) {
    VerdictLabel regular(Verdict::pass, false), compact(Verdict::pass, true);
    EXPECT_EQ(regular.text(), compact.text());
    EXPECT_LT(compact.font().pointSizeF(), regular.font().pointSizeF());
    EXPECT_EQ(compact.font().weight(), QFont::DemiBold);
    EXPECT_EQ(compact.padding(), QMargins(6, 2, 6, 2));
    EXPECT_EQ(regular.padding(), QMargins(8, 3, 8, 3));
    EXPECT_LT(compact.sizeHint().width(), regular.sizeHint().width());
    EXPECT_LT(compact.sizeHint().height(), regular.sizeHint().height());
    // The symbol shows in both.
    EXPECT_GT(share(render(compact), Color::passGreen(), 30), 0.02);
    regular.setCompact(true);
    EXPECT_EQ(regular.sizeHint(), compact.sizeHint());
}

TEST(Card, StretchesToItsColumnAndKeepsContentLeftAligned) {
    QWidget column;
    auto* layout = new QHBoxLayout(&column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* card = new Card;
    auto* label = new QLabel("Drift");
    card->addWidget(label);
    auto* second = new QLabel("Second line");
    card->addWidget(second);
    layout->addWidget(card);
    column.resize(420, 200);
    column.show();
    EXPECT_EQ(card->width(), 420);
    EXPECT_EQ(label->x(), 12);
    EXPECT_EQ(label->y(), 12);
    EXPECT_EQ(second->y() - label->geometry().bottom() - 1, 8);
    EXPECT_LT(label->width(), 200); // not stretched across the card
}

TEST(Card, GivesWrappedTextEveryLineAndSpareHeightBelow) {
    QWidget column;
    auto* layout = new QVBoxLayout(&column);
    auto* card = new Card;
    auto* text = new QLabel(QString("Use the controller where you want to test the connection, for 5 to 15 minutes, "
                                    "keeping a stick moving in slow circles. Dropouts and disconnects are counted."));
    text->setWordWrap(true);
    card->addWideWidget(text);
    layout->addWidget(card, 1);
    column.resize(240, 600);
    column.show();
    QApplication::processEvents();
    EXPECT_GE(text->height(), text->heightForWidth(text->width()));
    EXPECT_EQ(text->y(), 12); // the spare height stays below the content
}

TEST(ToastView, InsetsTheMessageAndGrowsWithIt) {
    ToastView shortToast("Report saved");
    ToastView longToast("Couldn't save the session: The disk is full and nothing more can be written to it.");
    const QSize small = shortToast.sizeFor(2000), large = longToast.sizeFor(2000);
    const QFontMetrics metrics(shortToast.font());
    EXPECT_EQ(small.width(), metrics.horizontalAdvance("Report saved") + 28);
    EXPECT_EQ(small.height(), large.height());
    EXPECT_GT(large.width(), small.width());
    EXPECT_EQ(shortToast.contentsMargins(), QMargins(14, 8, 14, 8));
    // Narrower than the message: it wraps onto more lines with the same insets.
    const QSize wrapped = longToast.sizeFor(200);
    EXPECT_EQ(wrapped.width(), 200);
    EXPECT_GT(wrapped.height(), large.height());
    // Read as plain text.
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&shortToast);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->role(), QAccessible::StaticText);
    EXPECT_EQ(element->text(QAccessible::Name), "Report saved");
}
