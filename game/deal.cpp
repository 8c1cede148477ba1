#include "game/deal.h"

#include "cards/referee.h"

#include <algorithm>

namespace vorn {

std::string LeaderName(const GameEnv& env) {
    const int leader = env.table.TheLastThrower;
    return (leader >= 0 && leader < 4) ? env.session.PlayerNames[leader] : std::string();
}

void PlaceCard(GameEnv& env, Card card, int x, int y) {
    if (!env.pictures) return;
    CardImage& image = env.pictures->Image(card);
    image.x = x;
    image.y = y;
    env.screen.UpdateCard(card, image);
}

void MoveCard(GameEnv& env, Card card, int x, int y) {
    if (!env.pictures) return;
    if (!env.options.animation) {
        PlaceCard(env, card, x, y);
        return;
    }
    const CardImage& image = env.pictures->Image(card);
    const double x0 = image.x, y0 = image.y;
    const double stepX = (x - x0) / 10.0, stepY = (y - y0) / 10.0;
    for (int i = 1; i <= 10; ++i) {
        int nx = i == 10 ? x : int(x0 + i * stepX);
        int ny = i == 10 ? y : int(y0 + i * stepY);
        PlaceCard(env, card, nx, ny);
        env.screen.Pause(env.options.stepDelay);
    }
}

void BringToFront(GameEnv& env, Card card) {
    if (!env.pictures) return;
    CardImage& image = env.pictures->Image(card);
    image.z = ++env.pictures->topZ;
    env.screen.UpdateCard(card, image);
}

void ShowFace(GameEnv& env, Card card, bool face) {
    if (!env.pictures) return;
    CardImage& image = env.pictures->Image(card);
    image.face = face;
    env.screen.UpdateCard(card, image);
}

int ScreenPosition(int seat, int localSeat) {
    return ((seat - localSeat) % 4 + 4) % 4;
}

void LayoutHand(GameEnv& env, int seat) {
    if (!env.pictures) return;
    const GameState& t = env.table;
    CardPictures& p = *env.pictures;
    const int n = t.HandSize(seat);
    const int position = ScreenPosition(seat, env.session.LocalSeat);
    const bool horizontal = position % 2 == 0;
    // n / 2 is a true half: a hand of 7 starts 700 twips left of the anchor.
    int left = p.SeatX[seat] - n * 100;
    int step = 200;
    if (position == 0 && n >= kWideHand) {
        // A long hand of one's own: each card keeps room for its corner, "10"
        // included, between the west hand and the play button.
        step = std::max(200, std::min(330, (kOwnHandRight - kOwnHandLeft - kCardWidth) / (n - 1)));
        left = std::clamp(p.SeatX[seat] - n * step / 2, kOwnHandLeft,
                          std::max(kOwnHandLeft, kOwnHandRight - kCardWidth - (n - 1) * step));
    }
    int k = 0;
    for (int number = 1; number <= kNumbers; ++number) {
        for (int suit = 0; suit < kSuits; ++suit) {
            Card card{suit, number};
            if (t.Location(card) != seat) continue;
            CardImage& image = p.Image(card);
            image.z = ++p.topZ;
            if (horizontal)
                image.x = left + step * k;
            else
                image.y = p.SeatY[seat] - n * 60 + 240 * k;
            env.screen.UpdateCard(card, image);
            ++k;
        }
    }
}

void TowardMiddle(const GameEnv& env, int seat, int& x, int& y) {
    switch (ScreenPosition(seat, env.session.LocalSeat)) {
        case 0:
            y -= 1200;
            break;
        case 1:
            x -= 1200;
            break;
        case 2:
            y += 1200;
            break;
        default:
            x += 1200;
            break;
    }
}

void HideTurnMarkers(GameEnv& env) {
    if (!env.screen.Shown()) return;
    for (int s = 3; s >= 0; --s) env.screen.SetTurnMarker(s, false);
}

void ShowTurnMarker(GameEnv& env, int seat) {
    if (!env.screen.Shown()) return;
    HideTurnMarkers(env);
    if (seat >= 0 && seat < 4) env.screen.SetTurnMarker(seat, true);
}

void NewGame(GameEnv& env) {
    GameState& t = env.table;
    t.TablePlay.Clear();
    t.DrawnCard = Card::None();
    t.StockEmpty = false;
    t.PassCount = 0;
    t.MustLead = true;
    t.SingleRun = {0, 0, 0, 0};
    HideTurnMarkers(env);
    env.screen.SetThrowButton(false, false);
    if (env.screen.Shown()) env.news.ShowLeader(LeaderName(env));
    t.PlayType = PlayType::JustBegin;
    for (auto& hand : t.lstDirection) hand.Clear();
    t.lstSelected.Clear();
    t.lstCardsBox = CardSet::Deck();
    for (auto& row : t.CardLocation)
        for (auto& location : row) location = kStockLocation;
    if (CardPictures* p = env.pictures) {
        for (int number = 1; number <= kNumbers; ++number) {
            for (int suit = 0; suit < kSuits; ++suit) {
                Card card{suit, number};
                CardImage& image = p->Image(card);
                image.face = false;
                image.raised = false;
                image.x = kStockX;
                image.y = kStockY;
                env.screen.UpdateCard(card, image);
            }
        }
    }
    env.screen.ShowStockCount(t.lstCardsBox.Count());
    env.screen.SetDealEnabled(true);
}

void DrawCard(GameEnv& env, int seat, int index) {
    GameState& t = env.table;
    if (t.StockEmpty || seat < 0 || seat > 3) return;
    const int count = t.lstCardsBox.Count();
    if (index < 0 || index >= count) return;

    const Card card = t.lstCardsBox[index];
    if (env.pictures) {
        BringToFront(env, card);
        MoveCard(env, card, env.pictures->SeatX[seat], env.pictures->SeatY[seat]);
    }
    DrawAt(t, seat, index);
    if (seat == env.session.LocalSeat) ShowFace(env, card, true);
    if (env.pictures) LayoutHand(env, seat);
    env.screen.ShowStockCount(t.lstCardsBox.Count());
    if (env.options.sound) env.screen.PlaySound("Move.wav");
}

void LayOutTable(GameEnv& env) {
    if (!env.pictures) return;
    const GameState& t = env.table;
    CardPictures& p = *env.pictures;
    for (int i = 0; i < kDeckSize; ++i) {
        const Card card = Card::FromIndex(i);
        const int where = t.Location(card);
        CardImage& image = p.Image(card);
        image.face = where == env.session.LocalSeat;
        if (where >= 0 && where < 4) {
            // At the seat's anchor (a raised card of the person stays up);
            // LayoutHand spreads the hand from there.
            image.x = p.SeatX[size_t(where)];
            image.y = p.SeatY[size_t(where)] - (image.raised ? 300 : 0);
        } else {
            image.raised = false;
            image.x = where == kStockLocation ? kStockX : kHeapX;
            image.y = where == kStockLocation ? kStockY : kHeapY;
        }
        env.screen.UpdateCard(card, image);
    }
    for (int seat = 0; seat < 4; ++seat) LayoutHand(env, seat);
    env.screen.ShowStockCount(t.lstCardsBox.Count());
}

}  // namespace vorn
