// A report's stick plots as a PDF viewer shows them: drawn for white paper they look as the
// plots drawn with their see-through dashed gate, and as the screen shows them.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <vector>

#include "PdfTools.h"
#include "app/paint/StickPlotPaint.h"

using namespace Tessarine;
using RorozErurEvo::GateShape;
using RorozErurEvo::StickPlot;

namespace {

constexpr int dpi = 100;
const QRectF where(36, 36, 104, 104); // where a report draws a plot, in points

// One 72 dpi page a set of plot parameters.
QByteArray plotPages(const std::vector<StickPlotParams>& pages) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize(QSizeF(176, 176), QPageSize::Point)),
                                     QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) writer.newPage();
        painter.fillRect(QRectF(0, 0, 176, 176), Qt::white);
        paintStickPlot(painter, where, pages[i], Scheme::light());
    }
    painter.end();
    return bytes;
}

// The plot as a screen at the same resolution paints it.
QImage onScreen(const StickPlotParams& params, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(dpi / 72.0, dpi / 72.0);
    paintStickPlot(painter, where, params, Scheme::light());
    return image;
}

// Pixels whose red, green or blue differ by more than `tolerance`.
int differing(const QImage& a, const QImage& b, int tolerance) {
    if (a.size() != b.size()) return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            if (std::abs(p.red() - q.red()) > tolerance || std::abs(p.green() - q.green()) > tolerance ||
                std::abs(p.blue() - q.blue()) > tolerance)
                ++count;
        }
    return count;
}

} // namespace

TEST(ReportPlotPrint, OnWhitePaperAPlotPrintsAsItsSeeThroughDrawingAndItsScreenPicture) {
    REQUIRE_PDF_TOOLS();
    StickPlot measured{GateShape::round, 0.97, {}};
    for (int i = 0; i < 72; ++i)
        measured.radii.push_back(i == 40 ? std::nullopt : std::optional<double>(0.95 + 0.04 * std::cos(i * 0.17)));
    std::vector<StickPlotParams> cases;
    for (auto [gate, scale] : {std::pair{GateShape::round, 0.97}, std::pair{GateShape::octagonN64, 0.8}}) {
        StickPlotParams params;
        params.gate = gate;
        params.scale = scale;
        params.plot = measured;
        cases.push_back(params);
    }
    for (const StickPlotParams& params : cases) {
        StickPlotParams onPaper = params;
        onPaper.paper = QColor(Qt::white);
        const PdfTools::Document pdf(plotPages({onPaper, params}));
        const QImage printed = pdf.image(1, dpi), seeThrough = pdf.image(2, dpi);
        ASSERT_FALSE(printed.isNull());
        ASSERT_EQ(printed.size(), seeThrough.size());
        // A round gate is printed as the circle it is rather than its outline of 144 sides, so
        // the ends of its dashes may fall a hair apart; and a dash covers the faint crosshair.
        EXPECT_LT(differing(printed, seeThrough, 8), 60);
        EXPECT_LT(differing(printed, seeThrough, 16), 10);
        EXPECT_EQ(differing(printed, seeThrough, 40), 0);
        // The outline's translucent fill under its opaque stroke, the rings and the gate as the
        // screen paints them, but for the edges the two rasterisers smooth differently.
        EXPECT_LT(differing(printed, onScreen(params, printed.size()), 40), 20);
    }
}
