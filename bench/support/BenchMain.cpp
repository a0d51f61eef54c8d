// The main of the benchmark programs that paint: the Qt application the build names for the
// program (TESSARINE_BENCH_APPLICATION), on the offscreen platform unless another is named, so no
// display is needed. Widgets are drawn in the Fusion style with DejaVu Sans at 10 points, as the
// gallery draws them, so the figures do not depend on the desktop's style and fonts. A program
// whose measuring processes each make their own application names NoApplication.
#include <QApplication>
#include <QFont>
#include <QStyleFactory>

#include <benchmark/benchmark.h>

#include <type_traits>

namespace {

struct NoApplication {
    NoApplication(int&, char**) {}
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TESSARINE_BENCH_APPLICATION app(argc, argv);
    if constexpr (std::is_same_v<TESSARINE_BENCH_APPLICATION, QApplication>) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
