#pragma once
// A read-only, scrolling plain-text view of a text of any length. The text is taken in by pieces
// on the event loop (TextPieces), each small enough to cost a fraction of a frame, and only the
// lines on screen are laid out; the view can be read, scrolled, selected and copied while the
// rest arrives. Only a line far longer than any paragraph is broken (a line of the document is
// laid out whole), and what is copied is the text as it is, without those breaks. A view of many lines hands its document on when it goes, to be freed a slice a
// turn of the event loop: freeing every laid-out line at once would hold the window.
#include <QPlainTextEdit>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

#include "testkit/TextPieces.h"

namespace Tessarine {

class LongTextView final : public QPlainTextEdit {
    Q_OBJECT

public:
    // Bytes taken in per turn of the event loop, and the longest line laid out (code points):
    // some pages of prose, which lays out in about a frame.
    static constexpr std::size_t pieceBytes = 8 * 1024;
    static constexpr std::size_t longestLine = 20000;

    explicit LongTextView(std::shared_ptr<const std::string> text, QWidget* parent = nullptr);
    ~LongTextView() override;

    // Lines of the document freed per turn of the event loop once the view has gone; a document
    // of no more lines is freed with the view.
    static constexpr int releaseBlocks = 2000;

    // Whether all of the text has been taken in.
    bool complete() const { return !pieces_; }

signals:
    void completed();

protected:
    // The selection as the text has it: a line the view broke is copied whole.
    QMimeData* createMimeDataFromSelection() const override;

private:
    void takeNextPiece();

    std::shared_ptr<const std::string> text_;
    std::optional<RorozErurEvo::TextPieces> pieces_;
    QTimer feed_;
};

} // namespace Tessarine
