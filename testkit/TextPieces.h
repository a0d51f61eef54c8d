#pragma once
// Running text of any length handed to a reader piece by piece, so that taking it in never holds
// the caller for long: each piece is at most about `pieceBytes` bytes and ends on a character
// boundary, and a line longer than `longestLine` code points is broken (after its last space
// within the limit when the piece still holds it, else at the limit), so no line of the
// reader costs more than that to lay out. A break is added, never put in place of a character:
// the pieces joined, without the breaks each piece lists, are the text itself.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace RorozErurEvo {

class TextPieces {
public:
    TextPieces(std::string_view text, std::size_t pieceBytes, std::size_t longestLine);

    bool done() const { return at_ >= text_.size(); }
    // The next piece; empty once done.
    std::string next();
    // Bytes of the text handed out so far.
    std::size_t taken() const { return at_; }
    // Where the last piece holds a break that is not the text's own (byte offsets, ascending).
    const std::vector<std::size_t>& breaks() const { return breaks_; }

private:
    std::string_view text_;
    std::size_t pieceBytes_;
    std::size_t longestLine_;
    std::size_t at_ = 0;
    std::size_t lineLength_ = 0; // code points since the last break, across pieces
    std::vector<std::size_t> breaks_;
};

} // namespace RorozErurEvo
