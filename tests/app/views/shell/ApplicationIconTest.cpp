// The window icon found away from the main thread is the icon the toolkit's theme lookup gives:
// the same sizes, the same pixels, for a theme that has it, one that inherits it and one without.
#include "app/views/shell/ApplicationIcon.h"

#include "app/model/BackgroundWorker.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

const QString iconName = QStringLiteral("org.example.Probe");

void write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A square with a mark in one corner, so that a scaled or mirrored image shows.
void writeImage(const QString& path, int size, QColor colour) {
    QDir().mkpath(QFileInfo(path).path());
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    QPainter(&image).fillRect(0, 0, size / 2, size / 4, Qt::black);
    ASSERT_TRUE(image.save(path, "PNG"));
}

QByteArray index(const QByteArray& inherits, const QList<int>& sizes) {
    QByteArray text = "[Icon Theme]\nName=Probe\n";
    if (!inherits.isEmpty()) text += "Inherits=" + inherits + "\n";
    QByteArrayList folders;
    for (int size : sizes) folders << QByteArray::number(size) + "x" + QByteArray::number(size) + "/apps";
    folders << "scalable/apps";
    text += "Directories=" + folders.join(',') + "\n";
    for (int size : sizes)
        text += "\n[" + QByteArray::number(size) + "x" + QByteArray::number(size) + "/apps]\nSize=" +
                QByteArray::number(size) + "\nType=Fixed\n";
    text += "\n[scalable/apps]\nSize=48\nMinSize=8\nMaxSize=512\nType=Scalable\n";
    return text;
}

struct ApplicationIconTest : ::testing::Test {
    QTemporaryDir root;
    QStringList savedPaths = QIcon::themeSearchPaths();
    QString savedTheme = QIcon::themeName();
    QString savedFallback = QIcon::fallbackThemeName();
    QByteArray savedDataDirs = qgetenv("XDG_DATA_DIRS");

    QString icons() const { return root.filePath(QStringLiteral("icons")); }
    QString file(const QString& theme, int size, const char* ending = ".png") const {
        return QStringLiteral("%1/%2/%3x%3/apps/%4%5").arg(icons(), theme).arg(size).arg(iconName, QLatin1String(ending));
    }
    void useTheme(const QString& theme) {
        QIcon::setThemeSearchPaths({icons()});
        QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
        QIcon::setThemeName(theme);
    }
    ~ApplicationIconTest() override {
        QIcon::setThemeSearchPaths(savedPaths);
        QIcon::setFallbackThemeName(savedFallback);
        QIcon::setThemeName(savedTheme);
        qputenv("XDG_DATA_DIRS", savedDataDirs);
    }

    static ApplicationIcon::Found found() { return ApplicationIcon::find(iconName, ApplicationIcon::current()); }
    // As the application takes it: searched on a worker, made on the main thread.
    static QIcon foundAway() {
        BackgroundThreads worker;
        QIcon icon;
        bool taken = false;
        QObject context;
        ApplicationIcon::lookUp(iconName, worker, &context, [&](const QIcon& made) {
            icon = made;
            taken = true;
        });
        worker.wait();
        EXPECT_TRUE(QTest::qWaitFor([&] { return taken; }));
        return icon;
    }

    static void expectSameIcon(const QIcon& ours, const QIcon& toolkits) {
        ASSERT_FALSE(toolkits.isNull());
        EXPECT_EQ(ours.availableSizes(), toolkits.availableSizes());
        // The window system is handed the icon in each of the available sizes.
        for (const QSize& size : toolkits.availableSizes())
            EXPECT_EQ(ours.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
                      toolkits.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32))
                << size.width();
    }
};

} // namespace

TEST_F(ApplicationIconTest, IsTheToolkitsIconFromTheThemeOrTheThemeItInheritsBeforeHicolor) {
    write(icons() + "/mine/index.theme", index("middle", {16, 48}));
    write(icons() + "/middle/index.theme", index("", {16, 24, 48, 128}));
    write(icons() + "/hicolor/index.theme", index("", QList<int>{32}));
    // The theme in use does not have it; the one it inherits has three sizes; hicolor comes last.
    writeImage(file("middle", 16), 16, Qt::red);
    writeImage(file("middle", 24), 24, Qt::green);
    writeImage(file("middle", 48), 48, Qt::blue);
    writeImage(file("middle", 128), 128, Qt::magenta);
    writeImage(file("hicolor", 32), 32, Qt::yellow);
    useTheme(QStringLiteral("mine"));
    expectSameIcon(foundAway(), QIcon::fromTheme(iconName));

    // Now the theme in use has one size of its own: only its files count.
    writeImage(file("mine", 48), 48, Qt::cyan);
    useTheme(QStringLiteral("middle"));
    useTheme(QStringLiteral("mine"));
    const QIcon ours = foundAway();
    expectSameIcon(ours, QIcon::fromTheme(iconName));
    EXPECT_EQ(ours.availableSizes(), QList<QSize>{QSize(48, 48)});
}

TEST_F(ApplicationIconTest, ThemesThatInheritEachOtherEndInHicolor) {
    write(icons() + "/mine/index.theme", index("other", QList<int>{16}));
    write(icons() + "/other/index.theme", index("mine", QList<int>{16}));
    write(icons() + "/hicolor/index.theme", index("", {16, 32}));
    writeImage(file("hicolor", 16), 16, Qt::red);
    writeImage(file("hicolor", 32), 32, Qt::blue);
    useTheme(QStringLiteral("mine"));
    expectSameIcon(foundAway(), QIcon::fromTheme(iconName));
}

TEST_F(ApplicationIconTest, AScalableImageNoFixedSizeCoversIsLeftToTheToolkit) {
    write(icons() + "/hicolor/index.theme", index("", {16, 48}));
    writeImage(file("hicolor", 16), 16, Qt::red);
    write(QStringLiteral("%1/hicolor/scalable/apps/%2.svg").arg(icons(), iconName),
          "<svg xmlns='http://www.w3.org/2000/svg' width='48' height='48'><rect width='48' height='48'/></svg>");
    useTheme(QStringLiteral("hicolor"));
    // Its nominal size, 48, has no fixed image.
    EXPECT_TRUE(found().askToolkit);
    // With one, the fixed images are the icon.
    writeImage(file("hicolor", 48), 48, Qt::blue);
    EXPECT_FALSE(found().askToolkit);
    useTheme(QStringLiteral("mine"));
    useTheme(QStringLiteral("hicolor"));
    expectSameIcon(foundAway(), QIcon::fromTheme(iconName));
}

TEST_F(ApplicationIconTest, WithoutAThemeTheDataFoldersSizesServeAndAPipeInPlaceOfOneIsPassedOver) {
    write(icons() + "/hicolor/index.theme", index("", QList<int>{16}));
    useTheme(QStringLiteral("hicolor"));
    const QString data = root.filePath(QStringLiteral("data"));
    qputenv("XDG_DATA_DIRS", data.toLocal8Bit());
    writeImage(QStringLiteral("%1/icons/hicolor/16x16/apps/%2.png").arg(data, iconName), 16, Qt::red);
    writeImage(QStringLiteral("%1/icons/hicolor/64x64/apps/%2.png").arg(data, iconName), 64, Qt::blue);
    const QString pipe = QStringLiteral("%1/icons/hicolor/32x32/apps/%2.png").arg(data, iconName);
    QDir().mkpath(QFileInfo(pipe).path());
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    ASSERT_TRUE(QIcon::fromTheme(iconName).isNull());
    const QIcon ours = foundAway();
    EXPECT_EQ(ours.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(64, 64)}));
    EXPECT_EQ(ours.pixmap(16).toImage().pixelColor(15, 15), QColor(Qt::red));
    EXPECT_EQ(ours.pixmap(64).toImage().pixelColor(63, 63), QColor(Qt::blue));
}

TEST_F(ApplicationIconTest, AWindowGoneBeforeTheIconComesTakesNothing) {
    useTheme(QStringLiteral("hicolor"));
    BackgroundThreads worker;
    bool taken = false;
    {
        QObject context;
        ApplicationIcon::lookUp(iconName, worker, &context, [&](const QIcon&) { taken = true; });
        worker.wait();
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(taken);
}
