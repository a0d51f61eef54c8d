#include "app/views/kit/LongTextView.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace Tessarine {

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
