// The drawing's large images take back the pixels of those let go, and the pool stays bounded.
#include <gtest/gtest.h>

#include <QColor>

#include <thread>
#include <vector>

#include "app/drawing/ImagePool.h"

using namespace Tessarine;

TEST(ImagePool, AnImageLetGoLendsItsPixelsToTheNextOfItsSizeOrALittleSmaller) {
    const uchar* first = nullptr;
    QImage copy;
    {
        QImage image = ImagePool::image(700, 400);
        ASSERT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        first = image.constBits();
        copy = image; // a copy holds the pixels as long as it lives
    }
    QImage other = ImagePool::image(700, 400);
    EXPECT_NE(other.constBits(), first) << "pixels still shown by a copy are not lent out";
    other.fill(Qt::blue);
    EXPECT_EQ(copy.pixelColor(350, 200), QColor(Qt::red));
    copy = QImage();

    QImage wider = ImagePool::image(701, 400);
    EXPECT_NE(wider.constBits(), first) << "a larger size gets pixels of its own";
    QImage again = ImagePool::image(700, 400);
    EXPECT_EQ(again.constBits(), first) << "the pixels let go are taken back";
    again.fill(Qt::green);
    EXPECT_EQ(again.pixelColor(0, 0), QColor(Qt::green));
    const uchar* wide = wider.constBits();
    again = QImage();
    wider = QImage();

    // Both are kept now; a slightly smaller image takes the closer fit, and a far smaller one
    // takes neither, so no small image holds on to a large buffer.
    QImage smaller = ImagePool::image(690, 400);
    EXPECT_EQ(smaller.constBits(), first);
    smaller.fill(Qt::yellow);
    EXPECT_EQ(smaller.pixelColor(689, 399), QColor(Qt::yellow));
    QImage small = ImagePool::image(300, 400);
    EXPECT_NE(small.constBits(), wide);
    EXPECT_NE(small.constBits(), first);
    // What the smaller image lent out returns whole: the image of the first size takes it again.
    smaller = QImage();
    EXPECT_EQ(ImagePool::image(700, 400).constBits(), first);
}

TEST(ImagePool, KeepsNoMoreThanItsBoundWhateverIsLetGoAndWherever) {
    std::vector<QImage> images;
    for (int i = 0; i < 12; ++i) images.push_back(ImagePool::image(2000, 1500 + i)); // 12 MB each, all sizes apart
    // Images go on another thread, as a painted image handed to the screen may.
    std::thread([moved = std::move(images)]() mutable { moved.clear(); }).join();
    EXPECT_GT(ImagePool::keptBytes(), 0);
    EXPECT_LE(ImagePool::keptBytes(), ImagePool::mostKept);
    // Small images never enter the pool; an empty size gives a null image, as QImage does.
    const qsizetype before = ImagePool::keptBytes();
    { QImage small = ImagePool::image(16, 16); }
    EXPECT_EQ(ImagePool::keptBytes(), before);
    EXPECT_TRUE(ImagePool::image(0, 10).isNull());
}

TEST(ImagePool, AClearedImageIsClearThoughItsPixelsWereUsed) {
    const uchar* used = nullptr;
    {
        QImage image = ImagePool::image(640, 410);
        image.fill(Qt::red);
        used = image.constBits();
    }
    const QImage cleared = ImagePool::clearImage(640, 410);
    EXPECT_EQ(cleared.constBits(), used) << "the pixels let go are taken back";
    for (int y = 0; y < cleared.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(cleared.constScanLine(y));
        for (int x = 0; x < cleared.width(); ++x) ASSERT_EQ(line[x], 0u) << x << "," << y;
    }
    EXPECT_TRUE(ImagePool::clearImage(0, 5).isNull());
}
