#include "app/drawing/PathRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Tessarine::PathRaster {

namespace {

// A straight edge in pixel coordinates, top end first; `winding` is +1 for an edge drawn
// downwards and −1 for one drawn upwards.
struct Edge {
    double x0, y0, x1, y1;
    double winding;
};

// Points lie on a grid of 1/64 pixel, as the raster painter keeps them.
double snapped(double value) { return std::floor(value * 64 + 0.5) / 64; }

// Pixels per unit of `t` along its larger axis, which sets how finely curves are cut.
double largestScale(const QTransform& t) {
    if (t.type() <= QTransform::TxTranslate) return 1;
    if (t.type() == QTransform::TxScale) return std::max(std::abs(t.m11()), std::abs(t.m22()));
    return std::sqrt(std::max(t.m11() * t.m11() + t.m12() * t.m12(), t.m21() * t.m21() + t.m22() * t.m22()));
}

// Cuts the cubic a-b-c-d into lines, appending their ends to `out`: a piece is halved until its
// control points lie within `tolerance` of its chord (measured against the chord's length, or
// plainly for a chord under a unit), at most nine times.
void flattenCubic(QPointF a, QPointF b, QPointF c, QPointF d, double tolerance, std::vector<QPointF>& out) {
    struct Piece {
        double x1, y1, x2, y2, x3, y3, x4, y4;
    };
    Piece pieces[10];
    int levels[10];
    pieces[0] = {a.x(), a.y(), b.x(), b.y(), c.x(), c.y(), d.x(), d.y()};
    levels[0] = 9;
    int top = 0;
    while (top >= 0) {
        Piece* p = &pieces[top];
        const double dy = p->y4 - p->y1, dx = p->x4 - p->x1;
        double length = std::abs(dx) + std::abs(dy);
        double off;
        if (length > 1) {
            off = std::abs(dx * (p->y1 - p->y2) - dy * (p->x1 - p->x2)) +
                  std::abs(dx * (p->y1 - p->y3) - dy * (p->x1 - p->x3));
        } else {
            off = std::abs(p->x1 - p->x2) + std::abs(p->y1 - p->y2) + std::abs(p->x1 - p->x3) +
                  std::abs(p->y1 - p->y3);
            length = 1;
        }
        if (off < tolerance * length || levels[top] == 0) {
            out.emplace_back(p->x4, p->y4);
            --top;
            continue;
        }
        // De Casteljau halves: the first half goes on top of the stack, the second stays.
        Piece& first = pieces[top + 1];
        Piece second = *p;
        auto split = [](double v1, double v2, double v3, double v4, double& f2, double& f3, double& mid, double& s2,
                        double& s3) {
            const double c = (v2 + v3) * .5;
            f2 = (v1 + v2) * .5;
            s3 = (v3 + v4) * .5;
            f3 = (f2 + c) * .5;
            s2 = (s3 + c) * .5;
            mid = (f3 + s2) * .5;
        };
        first.x1 = p->x1;
        first.y1 = p->y1;
        split(p->x1, p->x2, p->x3, p->x4, first.x2, first.x3, first.x4, second.x2, second.x3);
        split(p->y1, p->y2, p->y3, p->y4, first.y2, first.y3, first.y4, second.y2, second.y3);
        second.x1 = first.x4;
        second.y1 = first.y4;
        *p = second;
        levels[top + 1] = --levels[top];
        ++top;
    }
}

// The path's closed outlines, curves cut into lines, mapped to pixels and snapped.
std::vector<Edge> edges(const QPainterPath& path, const QTransform& toPixels) {
    const double tolerance = 0.25 / largestScale(toPixels);
    std::vector<Edge> out;
    std::vector<QPointF> outline;
    auto close = [&] {
        if (outline.size() >= 2) {
            outline.push_back(outline.front());
            QPointF from = toPixels.map(outline.front());
            from = {snapped(from.x()), snapped(from.y())};
            for (std::size_t i = 1; i < outline.size(); ++i) {
                QPointF to = toPixels.map(outline[i]);
                to = {snapped(to.x()), snapped(to.y())};
                // A point at infinity or not a number makes no edge.
                const bool finite = std::isfinite(from.x()) && std::isfinite(from.y()) && std::isfinite(to.x()) &&
                                    std::isfinite(to.y());
                if (finite && from.y() < to.y())
                    out.push_back({from.x(), from.y(), to.x(), to.y(), 1});
                else if (finite && from.y() > to.y())
                    out.push_back({to.x(), to.y(), from.x(), from.y(), -1});
                from = to;
            }
        }
        outline.clear();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            close();
            outline.emplace_back(e.x, e.y);
            break;
        case QPainterPath::LineToElement:
            if (outline.empty()) outline.emplace_back(0, 0);
            outline.emplace_back(e.x, e.y);
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < path.elementCount()) {
                if (outline.empty()) outline.emplace_back(0, 0);
                const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
                flattenCubic(outline.back(), QPointF(e.x, e.y), QPointF(c2.x, c2.y), QPointF(end.x, end.y), tolerance,
                             outline);
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    close();
    return out;
}

// Adds to `cells` (one row of width + 1) what a piece of edge sweeps in this row: it runs from
// x `xa` to `xb` and covers `height` of the row (signed by its winding). Each cell holds the
// change in coverage from the cell before, so that a sum along the row gives each pixel's.
// The cells of a row that edges have written to, one bit a cell, so that they are read back in
// order without being sorted; the words between `low` and `high` are the only ones set.
struct Touched {
    std::vector<std::uint64_t> bits;
    std::size_t low = SIZE_MAX, high = 0;

    void mark(int cell) {
        const std::size_t word = std::size_t(cell) >> 6;
        bits[word] |= std::uint64_t(1) << (cell & 63);
        low = std::min(low, word);
        high = std::max(high, word);
    }
    bool empty() const { return low > high; }
    // Calls `visit` with each marked cell in increasing order, and clears them.
    template <class Visit> void drain(Visit visit) {
        for (std::size_t word = low; word <= high; ++word) {
            std::uint64_t w = bits[word];
            bits[word] = 0;
            while (w) {
                visit(int(word * 64 + std::size_t(__builtin_ctzll(w))));
                w &= w - 1;
            }
        }
        low = SIZE_MAX;
        high = 0;
    }
};

void sweep(double* cells, Touched& touched, int width, double xa, double xb, double height) {
    // A piece within one column covers, in that column, the part of the pixel right of its
    // middle, and everything beyond.
    auto deposit = [&](double left, double right, double h) {
        const double middle = 0.5 * (left + right);
        if (middle <= 0) {
            cells[0] += h;
            touched.mark(0);
        } else if (middle < width) {
            const int column = int(middle);
            const double beyond = middle - column;
            cells[column] += h * (1 - beyond);
            cells[column + 1] += h * beyond;
            touched.mark(column);
            touched.mark(column + 1);
        }
    };
    if (xa == xb) {
        deposit(xa, xb, height);
        return;
    }
    // Cut at every column boundary inside the plane; pieces left or right of it go whole.
    const double perX = height / (xb - xa);
    double from = xa;
    // Bounds worked out in doubles, so that no far-off end overflows an int.
    const double w = width;
    if (xa < xb) {
        const int first = int(std::max(std::floor(xa) + 1, 0.0)), last = int(std::min(std::ceil(xb) - 1, w));
        for (int k = first; k <= last; ++k) {
            deposit(from, k, perX * (k - from));
            from = k;
        }
    } else {
        const int first = int(std::min(std::ceil(xa) - 1, w)), last = int(std::max(std::floor(xb) + 1, 0.0));
        for (int k = first; k >= last; --k) {
            deposit(from, k, perX * (k - from));
            from = k;
        }
    }
    deposit(from, xb, perX * (xb - from));
}

// The painter's coverage of a pixel from its signed area: the fraction in 1/256, rounded down,
// then the fill rule (winding: at most full; odd-even: folded every two full coverages).
std::uint8_t level(double area, bool oddEven) {
    int c = int(std::floor(area * 256 + 1e-4));
    if (c < 0) c = -c;
    if (oddEven) {
        c &= 511;
        if (c > 256)
            c = 512 - c;
        else if (c == 256)
            c = 255;
    } else if (c >= 256) {
        c = 255;
    }
    return std::uint8_t(c);
}

} // namespace

std::vector<std::uint8_t> coverage(const QPainterPath& path, const QTransform& toPixels, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    std::vector<std::uint8_t> plane(std::size_t(width) * std::size_t(height));
    const std::vector<Edge> all = edges(path, toPixels);
    if (all.empty()) return plane;
    const bool oddEven = path.fillRule() == Qt::OddEvenFill;

    // A band of rows at a time, so that its cells stay in the cache.
    constexpr int bandRows = 32;
    const std::size_t stride = std::size_t(width) + 1;
    std::vector<double> cells(stride * bandRows); // cleared again behind the rows read
    Touched touched[bandRows];
    for (Touched& t : touched) t.bits.assign((stride + 63) / 64, 0);
    for (int band = 0; band < height; band += bandRows) {
        const int rows = std::min(bandRows, height - band);
        for (const Edge& e : all) {
            if (e.y1 <= band || e.y0 >= band + rows) continue;
            const double slope = (e.x1 - e.x0) / (e.y1 - e.y0);
            const int firstRow = int(std::max(double(band), std::floor(e.y0)));
            const int lastRow = int(std::min(double(band + rows), std::ceil(e.y1)));
            for (int row = firstRow; row < lastRow; ++row) {
                const double top = std::max(double(row), e.y0), bottom = std::min(double(row + 1), e.y1);
                if (bottom <= top) continue;
                sweep(cells.data() + std::size_t(row - band) * stride, touched[row - band], width,
                      e.x0 + (top - e.y0) * slope, e.x0 + (bottom - e.y0) * slope, (bottom - top) * e.winding);
            }
        }
        // Coverage changes only at written cells and holds between them, so a row is a few
        // sums and runs of one value; left of its first written cell nothing is covered.
        for (int r = 0; r < rows; ++r) {
            Touched& cellsWritten = touched[r];
            if (cellsWritten.empty()) continue;
            double* in = cells.data() + std::size_t(r) * stride;
            std::uint8_t* out = plane.data() + std::size_t(band + r) * std::size_t(width);
            double area = 0;
            int runFrom = -1; // the cell whose value holds up to the next written one
            std::uint8_t runValue = 0;
            cellsWritten.drain([&](int x) {
                if (x < width) {
                    if (runFrom >= 0 && runValue != 0) std::fill(out + runFrom, out + x, runValue);
                    area += in[x];
                    runFrom = x;
                    runValue = level(area, oddEven);
                }
                in[x] = 0;
            });
            if (runFrom >= 0 && runValue != 0) std::fill(out + runFrom, out + width, runValue);
        }
    }
    return plane;
}

} // namespace Tessarine::PathRaster
