// A window whose memory was made and mapped in ahead paints its whole first frame into it, the
// same pixels as a window left to make its memory as it paints.
#include "app/views/shell/WindowMemory.h"

#include "app/model/BackgroundWorker.h"

#include <QBackingStore>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// A window painted edge to edge: a stripe to each side and a label, so that a frame painted in
// part leaves the store's first bytes somewhere.
class Striped final : public QWidget {
public:
    Striped() {
        setAttribute(Qt::WA_OpaquePaintEvent);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Demo controller")));
        resize(320, 200);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(40, 120, 200));
        painter.fillRect(0, 0, width() / 3, height(), QColor(200, 60, 40));
        painter.fillRect(width() - 20, height() - 20, 20, 20, QColor(20, 160, 60));
    }
};

QImage firstFrame(bool prepared) {
    Striped window;
    BackgroundThreads worker;
    if (prepared) {
        WindowMemory::prepare(window, worker);
        EXPECT_EQ(window.backingStore()->size(), window.size()) << "the store is made at the window's size before it shows";
        worker.wait();
    }
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    // The store as it stands (the test's platform keeps it as an image in memory).
    QPaintDevice* store = window.backingStore()->paintDevice();
    if (!store || store->devType() != QInternal::Image) return {};
    return static_cast<QImage*>(store)->copy();
}

} // namespace

TEST(WindowMemory, APreparedWindowPaintsItsWholeFirstFrame) {
    const QImage plain = firstFrame(false);
    const QImage prepared = firstFrame(true);
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(prepared.convertToFormat(QImage::Format_RGB32), plain.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(prepared.pixelColor(prepared.width() - 1, prepared.height() - 1), QColor(20, 160, 60));
}
