#include "testkit/TextPieces.h"

#include <algorithm>

namespace RorozErurEvo {

namespace {

bool continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

} // namespace

TextPieces::TextPieces(std::string_view text, std::size_t pieceBytes, std::size_t longestLine)
    : text_(text), pieceBytes_(std::max<std::size_t>(pieceBytes, 4)), longestLine_(std::max<std::size_t>(longestLine, 1)) {}

std::string TextPieces::next() {
    std::size_t end = std::min(text_.size(), at_ + pieceBytes_);
    // Never inside a UTF-8 sequence: back to its start, unless that would take nothing.
    std::size_t back = end;
    while (back > at_ && back < text_.size() && continuation(text_[back])) --back;
    if (back > at_) end = back;

    std::string piece;
    piece.reserve(end - at_ + (end - at_) / longestLine_ + 1);
    breaks_.clear();
    std::size_t lastSpace = std::string::npos; // in `piece`, on the current line
    std::size_t afterSpace = 0;                // code points of the line after that space
    for (std::size_t i = at_; i < end; ++i) {
        const char c = text_[i];
        if (c == '\n') {
            piece += c;
            lineLength_ = 0;
            lastSpace = std::string::npos;
            continue;
        }
        if (!continuation(c)) {
            if (lineLength_ == longestLine_) {
                // After the line's last space, which stays where it was; else here.
                const std::size_t at = lastSpace != std::string::npos ? lastSpace + 1 : piece.size();
                piece.insert(at, 1, '\n');
                breaks_.push_back(at);
                lineLength_ = lastSpace != std::string::npos ? afterSpace : 0;
                lastSpace = std::string::npos;
            }
            ++lineLength_;
            ++afterSpace;
            if (c == ' ') {
                lastSpace = piece.size();
                afterSpace = 0;
            }
        }
        piece += c;
    }
    at_ = end;
    return piece;
}

} // namespace RorozErurEvo
