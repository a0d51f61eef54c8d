#pragma once
// The gallery's scenes: each a widget built with representative values and photographed in the
// light and the dark scheme. A file of scenes registers its own at start-up:
//
//     namespace {
//     const bool registered = Gallery::add({
//         {"stick-plot-live", {220, 220}, [] { return std::make_unique<StickPlotView>(…); }},
//     });
//     }
//
// so a new area adds a file here and touches no list.
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "app/paint/Scheme.h"

namespace Tessarine::Gallery {

struct Scene {
    // File name stem: lower-case words joined by "-"; "-light.png" and "-dark.png" are appended.
    QString name;
    // The widget's size; a height of 0 takes the height for the width, an empty size the size hint.
    QSize size;
    // Called once per scheme, after the application palette is set.
    std::function<std::unique_ptr<QWidget>()> build;
};

// Adds scenes; returns true so that a file can register from a namespace-scope initialiser.
bool add(std::vector<Scene> scenes);
// Every registered scene, ordered by name.
std::vector<Scene> scenes();

// A widget that paints with `paint` over the window colour; for painters that are not widgets
// (the report's pieces, a bare drawing).
std::unique_ptr<QWidget> painted(std::function<void(QPainter&, const QRectF&, const Scheme&)> paint);

// A column of `widgets` with `spacing` between them, inset by 12 pixels: several states in one
// picture.
std::unique_ptr<QWidget> column(std::vector<QWidget*> widgets, int spacing = 12);

} // namespace Tessarine::Gallery
