#include "app/views/kit/LongTextView.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace Tessarine {

namespace {

// The state of a line of the document that the view broke off the text's line before it.
constexpr int continuedLine = 1;

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
    auto text = [&](std::size_t from, std::size_t to) {
        return QString::fromUtf8(piece.data() + from, static_cast<qsizetype>(to - from));
    };
    std::size_t from = 0;
    for (const std::size_t at : pieces_->breaks()) {
        end.insertText(text(from, at));
        // A line of the view that goes on the text's line before it.
        end.insertBlock();
        end.block().setUserState(continuedLine);
        from = at + 1;
    }
    end.insertText(text(from, piece.size()));
    if (pieces_->done()) {
        pieces_.reset();
        feed_.stop();
        emit completed();
    }
}

QMimeData* LongTextView::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    QString copied;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to; block = block.next()) {
        if (block.position() > from && block.userState() != continuedLine) copied += QLatin1Char('\n');
        const int start = std::max(from - block.position(), 0);
        const int stop = std::min(to - block.position(), block.length() - 1);
        if (stop > start) copied += block.text().mid(start, stop - start);
    }
    auto* data = new QMimeData;
    data->setText(copied);
    return data;
}

} // namespace Tessarine
