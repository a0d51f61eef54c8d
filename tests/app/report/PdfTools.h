#pragma once
// Reading a PDF back the way a person checking it would: poppler's pdfinfo, pdftotext and
// pdftoppm.
#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace PdfTools {

inline bool available() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

inline QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A PDF kept in a temporary file while it is read.
class Document {
public:
    explicit Document(const QByteArray& bytes) : path_(dir_.filePath(QStringLiteral("report.pdf"))) {
        QFile file(path_);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
    explicit Document(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }

    QString info() const { return run(QStringLiteral("pdfinfo"), {path_}); }
    int pageCount() const {
        auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info());
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
    // The text of page `n` (from 1) laid out as on the page.
    QString text(int n) const {
        return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(n),
                                                 QStringLiteral("-l"), QString::number(n), path_, QStringLiteral("-")});
    }
    // The text of page `n` in reading order (columns apart) with line breaks turned into spaces,
    // so wrapped sentences can be found.
    QString flatText(int n) const {
        return run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                                                 QString::number(n), path_, QStringLiteral("-")})
            .simplified();
    }

    // Page `n` (from 1) as poppler draws it at `dpi`; null when it cannot.
    QImage image(int n, int dpi) const {
        const QString out = dir_.filePath(QStringLiteral("page"));
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                         QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                                         QString::number(n), QStringLiteral("-singlefile"), path_, out});
        return QImage(out + QStringLiteral(".png"));
    }

    struct Word {
        QString text;
        double xMin, yMin, xMax, yMax;
    };
    // Every word of page `n` with its box in points, origin at the top left.
    std::vector<Word> words(int n) const {
        QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"),
                                                          QString::number(n), QStringLiteral("-l"), QString::number(n),
                                                          path_, QStringLiteral("-")});
        static const QRegularExpression word(QStringLiteral(
            "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
        std::vector<Word> result;
        for (auto it = word.globalMatch(html); it.hasNext();) {
            auto m = it.next();
            result.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                              m.captured(3).toDouble(), m.captured(4).toDouble()});
        }
        return result;
    }

private:
    QTemporaryDir dir_;
    QString path_;
};

} // namespace PdfTools

#define REQUIRE_PDF_TOOLS() ASSERT_TRUE(PdfTools::available()) << "poppler-utils (pdfinfo, pdftotext, pdftoppm) are needed"
