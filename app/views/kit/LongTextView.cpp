#include "app/views/kit/LongTextView.h"

#include <QCoreApplication>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace Tessarine {

namespace {

// Owns a document nothing shows any more and frees it from its end, a slice of lines a turn,
// then itself. Quitting frees the rest at once, while the application can still free fonts.
class DocumentRelease final : public QObject {
public:
    explicit DocumentRelease(QTextDocument* document) : document_(document) {
        document_->setParent(this);
        // The view's viewport is going: lines not laid out yet may be laid out while the slices
        // go, and must not measure their fonts on it.
        document_->documentLayout()->setPaintDevice(nullptr);
        // Without an undo history the document compacts its text store as lines go, copying
        // all the text that is left each time; with one it only marks them gone.
        document_->setUndoRedoEnabled(true);
        connect(&turn_, &QTimer::timeout, this, &DocumentRelease::freeSlice);
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { delete this; });
        turn_.setInterval(0);
        turn_.start();
    }

private:
    void freeSlice() {
        const int keep = document_->blockCount() - LongTextView::releaseBlocks;
        if (keep <= 0) {
            deleteLater();
            turn_.stop();
            return;
        }
        QTextCursor slice(document_);
        slice.setPosition(document_->findBlockByNumber(keep).position() - 1);
        slice.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        slice.removeSelectedText();
    }

    QTextDocument* document_;
    QTimer turn_;
};

} // namespace

LongTextView::LongTextView(std::shared_ptr<const std::string> text, QWidget* parent)
    : QPlainTextEdit(parent), text_(std::move(text)) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Nothing here is ever undone; the history of pieces would only hold memory.
    document()->setUndoRedoEnabled(false);
    if (!text_ || text_->empty()) return;
    pieces_.emplace(*text_, pieceBytes, longestLine);
    feed_.setInterval(0);
    connect(&feed_, &QTimer::timeout, this, &LongTextView::takeNextPiece);
    feed_.start();
    takeNextPiece();
}

LongTextView::~LongTextView() {
    QTextDocument* shown = document();
    if (shown->blockCount() <= releaseBlocks) return;
    // The edit forgets a document it does not own; the text control is its parent.
    new DocumentRelease(shown);
}

void LongTextView::takeNextPiece() {
    if (!pieces_) return;
    const std::string piece = pieces_->next();
    // A cursor of its own at the end: the reader's place and selection stay where they are.
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size())));
    if (pieces_->done()) {
        pieces_.reset();
        feed_.stop();
        emit completed();
    }
}

} // namespace Tessarine
