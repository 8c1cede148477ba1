#include "display/tablecues.h"

#include <algorithm>
#include <utility>

namespace vorn {

namespace {
// Above every picture the game stacks: the game's z only ever counts up from 0
// by one per card laid out, which stays far below these for any real session.
constexpr int kCurrentZ = 1 << 30;
constexpr int kPreviousZ = kCurrentZ - 64;
constexpr int kCardWidth = 1065;
}  // namespace

void TableCues::PlayLaid(const std::vector<Card>& cards) {
    previous_ = std::move(current_);
    current_ = cards;
    // Fanned in rank order, as a hand lies, whatever order the play came in.
    std::stable_sort(current_.begin(), current_.end(), [](Card a, Card b) {
        return std::pair(a.Number(), a.Suit()) < std::pair(b.Number(), b.Suit());
    });
}

void TableCues::ClearPlays() {
    current_.clear();
    previous_.clear();
}

void TableCues::Reveal(const Images& model, const std::vector<Card>& cards) {
    Images shown;
    std::array<bool, kDeckSize> dimmed{};
    for (int cell = 0; cell < kDeckSize; ++cell) {
        const Card card{cell / kNumbers, cell % kNumbers + 1};
        shown[size_t(cell)] = Shown(card, model[size_t(cell)]);
        dimmed[size_t(cell)] = Dimmed(card, model[size_t(cell)]);
    }
    for (Card card : cards) shown[size_t(FaceCell(card))].face = true;
    frozen_ = shown;
    frozenDimmed_ = dimmed;
}

int TableCues::IndexIn(const std::vector<Card>& play, Card card) {
    for (size_t i = 0; i < play.size(); ++i)
        if (play[i] == card) return int(i);
    return -1;
}

CardImage TableCues::Fanned(const std::vector<Card>& play, int index, int y, int z) {
    // The fan is centred on the heap's card.
    const int width = kCardWidth + kFanStep * (int(play.size()) - 1);
    CardImage image;
    image.x = kHeapX + (kCardWidth - width) / 2 + kFanStep * index;
    image.y = y;
    image.face = true;
    image.z = z + index;
    return image;
}

CardImage TableCues::Shown(Card card, const CardImage& image) const {
    if (frozen_) return (*frozen_)[size_t(FaceCell(card))];
    if (!keepPlay_ || !OnHeap(image)) return image;
    if (int i = IndexIn(current_, card); i >= 0) return Fanned(current_, i, kHeapY, kCurrentZ);
    if (int i = IndexIn(previous_, card); i >= 0)
        return Fanned(previous_, i, kHeapY - kPreviousRise, kPreviousZ);
    return image;
}

bool TableCues::Dimmed(Card card, const CardImage& image) const {
    if (frozen_) return frozenDimmed_[size_t(FaceCell(card))];
    if (!keepPlay_ || !OnHeap(image)) return false;
    return IndexIn(previous_, card) >= 0;
}

}  // namespace vorn
