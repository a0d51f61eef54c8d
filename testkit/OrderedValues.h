#pragma once
// A multiset of numbers that answers "the k-th smallest" while values come and go: sorted
// blocks of at most 2 × blockSize values. Inserting or removing one value moves at most one
// block's worth; finding the k-th walks the block sizes.
#include <algorithm>
#include <cstddef>
#include <vector>

namespace RorozErurEvo {

class OrderedValues {
public:
    static constexpr std::size_t blockSize = 128;

    std::size_t size() const { return count_; }

    void insert(double v) {
        ++count_;
        if (blocks_.empty()) {
            blocks_.push_back({v});
            return;
        }
        auto block = blockFor(v);
        block->insert(std::upper_bound(block->begin(), block->end(), v), v);
        if (block->size() >= 2 * blockSize) {
            std::vector<double> upper(block->begin() + static_cast<std::ptrdiff_t>(blockSize), block->end());
            block->resize(blockSize);
            blocks_.insert(block + 1, std::move(upper));
        }
    }

    // Removes one value equal to v; false when there is none.
    bool erase(double v) {
        if (blocks_.empty()) return false;
        // The first block whose largest value is at least v holds v, if any does.
        auto block = std::lower_bound(blocks_.begin(), blocks_.end(), v,
                                      [](const std::vector<double>& b, double x) { return b.back() < x; });
        if (block == blocks_.end()) return false;
        auto at = std::lower_bound(block->begin(), block->end(), v);
        if (at == block->end() || *at != v) return false;
        block->erase(at);
        --count_;
        if (block->empty()) blocks_.erase(block);
        return true;
    }

    // The k-th smallest, counting from 0; k < size().
    double at(std::size_t k) const {
        for (const auto& block : blocks_) {
            if (k < block.size()) return block[k];
            k -= block.size();
        }
        return 0;
    }

private:
    std::vector<std::vector<double>>::iterator blockFor(double v) {
        auto block = std::lower_bound(blocks_.begin(), blocks_.end(), v,
                                      [](const std::vector<double>& b, double x) { return b.back() < x; });
        return block == blocks_.end() ? blocks_.end() - 1 : block;
    }

    std::vector<std::vector<double>> blocks_; // ascending, none empty
    std::size_t count_ = 0;
};

} // namespace RorozErurEvo
