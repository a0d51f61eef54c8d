#pragma once
// A paint device of one 72 dpi page that draws nothing and hands what a painter does to an
// engine of the caller's: for tests and benchmarks that record what was drawn, and how.
#include <QPaintDevice>
#include <QPaintEngine>

// An engine that takes every call and does nothing; a recorder overrides what it keeps.
class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    Type type() const override { return User; }
};

// `width` × `height` points at 72 dpi, painted through `engine`, which must outlive it.
class RecordingDevice : public QPaintDevice {
public:
    RecordingDevice(RecordingEngine& engine, int width, int height) : engine_(engine), width_(width), height_(height) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth: case PdmWidthMM: return width_;
        case PdmHeight: case PdmHeightMM: return height_;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 72;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 32;
        }
    }

private:
    RecordingEngine& engine_;
    int width_, height_;
};
