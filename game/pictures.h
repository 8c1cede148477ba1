#pragma once

#include <array>

#include "cards/card.h"
#include "cards/tableclient.h"

namespace vorn {

// Where the window draws each card: its place in twips, face or back, z order
// and whether it is raised, and the anchors of the four seats. The window owns
// it and the engine moves the pictures as the game goes; the game state never
// reads it. A table without a screen (self-play, benchmarks) has none.
struct CardPictures {
    std::array<CardImage, kDeckSize> images{};
    std::array<int, 4> SeatX{7200, 10900, 7200, 3700};
    std::array<int, 4> SeatY{6400, 3000, 300, 3000};
    int topZ = 0;

    CardImage& Image(Card c) { return images[c.Index()]; }
    const CardImage& Image(Card c) const { return images[c.Index()]; }
};

}  // namespace vorn
