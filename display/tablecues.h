#pragma once

#include <array>
#include <optional>
#include <vector>

#include "cards/card.h"
#include "cards/tableclient.h"

namespace vorn {

// How the card pictures are drawn, given where the game left them. The game
// turns every play to its back on the heap; a person needs to see what to
// beat, so the play on the table is kept face up on top of the heap, fanned
// so each card's corner shows, with the play before it dimmed beneath. At the
// end of a hand the table freezes with every card still held face up until
// the question about the next hand is answered.
//
// Only the look changes: a card the game has moved off the heap is drawn
// where the game put it, so the cues can never hide a card or show a stale one.
class TableCues {
  public:
    using Images = std::array<CardImage, kDeckSize>;

    // Off: the table shows plays the old way, turned over on the heap.
    void SetKeepPlay(bool keep) { keepPlay_ = keep; }
    bool KeepPlay() const { return keepPlay_; }

    // A play reached the heap: it becomes the play to beat (fanned in rank
    // order), and the one it covers the dimmed play beneath.
    void PlayLaid(const std::vector<Card>& cards);
    // The round is over (or the game is): nothing stays face up.
    void ClearPlays();
    const std::vector<Card>& CurrentPlay() const { return current_; }

    // Freezes the picture as shown now (model gives the pictures as the game
    // has them) with cards turned face up, until EndReveal.
    void Reveal(const Images& model, const std::vector<Card>& cards);
    void EndReveal() { frozen_.reset(); }
    bool Revealing() const { return frozen_.has_value(); }

    // The picture drawn for card whose model picture is image.
    CardImage Shown(Card card, const CardImage& image) const;
    // Drawn faded: the previous play, under the play to beat.
    bool Dimmed(Card card, const CardImage& image) const;

    // Twips between the left edges of two cards of a fanned play: room for
    // the corner index of each card, "10" included.
    static constexpr int kFanStep = 330;
    // How far above the heap the previous play lies.
    static constexpr int kPreviousRise = 360;

  private:
    static bool OnHeap(const CardImage& image) {
        return image.x == kHeapX && image.y == kHeapY && !image.face;
    }
    static int IndexIn(const std::vector<Card>& play, Card card);
    static CardImage Fanned(const std::vector<Card>& play, int index, int y, int z);

    bool keepPlay_ = true;
    std::vector<Card> current_;
    std::vector<Card> previous_;
    std::optional<Images> frozen_;
    std::array<bool, kDeckSize> frozenDimmed_{};
};

}  // namespace vorn
