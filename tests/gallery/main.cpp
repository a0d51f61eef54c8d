// tessarine-gallery: photographs every registered scene in the light and the dark scheme, one
// PNG each, so the views can be looked at without a display.
//
//   tessarine-gallery --out DIR [--only TEXT] [--check]
//
// --only keeps the scenes whose name contains TEXT; --check reads every written file back and
// fails when one is missing, unreadable or blank (a single colour).
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include <cstdio>
#include <map>

#include "Gallery.h"

using namespace Tessarine;

namespace {

// Fusion's dark counterpart: the colours of a dark desktop theme.
QPalette darkPalette() {
    QPalette p;
    const QColor window(0x2b, 0x2b, 0x2d), base(0x1e, 0x1e, 0x20), text(0xec, 0xec, 0xee);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x28));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3c));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4c));
    p.setColor(QPalette::Midlight, QColor(0x40, 0x40, 0x42));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x32));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1a));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0x14, 0x8c, 0x94));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0xec, 0xec, 0xee, 0x8c));
    p.setColor(QPalette::Link, QColor(0x4d, 0xb6, 0xbd));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0xec, 0xec, 0xee, 0x60));
    return p;
}

// Blank: fewer than 20 pixels differ from the most common colour.
bool blank(const QImage& image) {
    std::map<QRgb, int> counts;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) ++counts[line[x]];
    }
    int most = 0;
    for (const auto& entry : counts) most = std::max(most, entry.second);
    return argb.width() * argb.height() - most < 20;
}

QImage photograph(const Gallery::Scene& scene) {
    std::unique_ptr<QWidget> widget = scene.build();
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->ensurePolished();
    QSize size = scene.size;
    if (size.isEmpty() && size.width() > 0 && size.height() == 0)
        size.setHeight(widget->hasHeightForWidth() ? widget->heightForWidth(size.width())
                                                   : widget->sizeHint().height());
    if (!size.isValid() || size.isEmpty()) size = widget->sizeHint().expandedTo(QSize(16, 16));
    widget->resize(size);
    widget->show();
    QApplication::processEvents();
    const QImage image = widget->grab().toImage();
    widget->hide();
    return image;
}

// The offscreen platform says once per window that it cannot pass size hints on; nothing else
// is dropped.
QtMessageHandler previousHandler = nullptr;

void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
    if (previousHandler) previousHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    previousHandler = qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 10));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes one PNG per view scene, light and dark."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder for the PNG files."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption only(QStringLiteral("only"), QStringLiteral("Only scenes whose name contains TEXT."),
                                  QStringLiteral("TEXT"));
    const QCommandLineOption check(QStringLiteral("check"),
                                   QStringLiteral("Read every file back; fail when one is missing or blank."));
    parser.addOptions({out, only, check});
    parser.process(app);
    if (!parser.isSet(out)) {
        std::fprintf(stderr, "tessarine-gallery: --out DIR is required\n");
        return 2;
    }
    const QDir folder(parser.value(out));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "tessarine-gallery: cannot create the folder %s\n", qPrintable(folder.path()));
        return 1;
    }

    const QPalette light = QApplication::style()->standardPalette();
    const std::pair<const char*, QPalette> schemes[] = {{"light", light}, {"dark", darkPalette()}};
    int written = 0, failures = 0;
    for (const Gallery::Scene& scene : Gallery::scenes()) {
        if (parser.isSet(only) && !scene.name.contains(parser.value(only))) continue;
        for (const auto& [suffix, palette] : schemes) {
            QApplication::setPalette(palette);
            const QString path = folder.filePath(scene.name + "-" + suffix + ".png");
            const QImage image = photograph(scene);
            if (image.isNull() || !image.save(path)) {
                std::fprintf(stderr, "tessarine-gallery: could not write %s\n", qPrintable(path));
                ++failures;
                continue;
            }
            ++written;
            if (parser.isSet(check)) {
                const QImage back(path);
                if (back.isNull() || back.size() != image.size()) {
                    std::fprintf(stderr, "tessarine-gallery: %s did not read back\n", qPrintable(path));
                    ++failures;
                } else if (blank(back)) {
                    std::fprintf(stderr, "tessarine-gallery: %s is blank\n", qPrintable(path));
                    ++failures;
                }
            }
        }
    }
    std::printf("tessarine-gallery: %d images in %s\n", written, qPrintable(folder.path()));
    if (written == 0) {
        std::fprintf(stderr, "tessarine-gallery: no scene matched\n");
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
