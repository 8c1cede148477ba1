#include "game/savedgame.h"

#include <charconv>

#include "ai/observation.h"
#include "cards/options.h"
#include "cards/rules.h"
#include "game/seatview.h"

namespace vorn {

SavedGame SaveOf(const TableServer& server, const SeededRandom& random) {
    SavedGame game;
    game.state = server.state();
    game.playing = server.Playing();
    game.scores = server.scores();
    for (int seat = 0; seat < 4; ++seat) game.seats[size_t(seat)] = server.Seat(seat);
    game.seed = random.seed();
    game.drawn = random.drawn();
    game.history = server.History();
    return game;
}

void RestoreInto(const SavedGame& game, TableServer& server, SeededRandom& random, std::int64_t now) {
    random.Restore(game.seed, game.drawn);
    server.Restore(game.state, game.scores, game.playing, game.history, now);
}

namespace {

constexpr std::string_view kHeader = "vorn-save 1";
// Points and games won stop here; a count beyond it is a damaged file.
constexpr std::uint64_t kMaxCount = 1'000'000'000;
// A hand draws about a hundred numbers; a million hands' worth is still
// restored in well under a second, and more means a damaged file.
constexpr std::uint64_t kMaxDrawn = 100'000'000;

std::string CardsText(CardSet cards) {
    return cards.Empty() ? "-" : Codes(cards);
}

std::string FourText(const std::array<int, 4>& values) {
    std::string text;
    for (size_t i = 0; i < 4; ++i) text += (i ? " " : "") + std::to_string(values[i]);
    return text;
}

std::string SeatText(const SeatController& seat) {
    switch (seat.kind) {
        case SeatKind::Person:
            return "P";
        case SeatKind::Computer:
            return "C" + std::to_string(seat.level);
        case SeatKind::Remote:
            break;
    }
    return "R";  // never read back: a network game is not saved
}

std::string EventText(const TableEvent& e) {
    using Kind = TableEvent::Kind;
    const std::string seat = " " + std::to_string(e.seat);
    switch (e.kind) {
        case Kind::NewGame:
            return "n" + seat;
        case Kind::Draw:
            return "d" + seat + " " + std::to_string(e.index) + " " + CardCode(e.card);
        case Kind::NewRound:
            return "r" + seat;
        case Kind::Turn:
            return "t" + seat + (e.lead ? " 1" : " 0");
        case Kind::Played:
            return "p" + seat + " " + CardsText(e.cards);
        case Kind::Passed:
            return "s" + seat;
        case Kind::Refused:
        case Kind::GameOver:
            break;
    }
    return "?" + seat;
}

}  // namespace

std::string SavedGameText(const SavedGame& g) {
    const GameState& t = g.state;
    std::string text = std::string(kHeader) + "\n";
    auto line = [&text](std::string_view key, const std::string& value) {
        text.append(key).append(" ").append(value).append("\n");
    };
    line("playing", g.playing ? "1" : "0");
    line("stock", CardsText(t.lstCardsBox));
    for (int seat = 0; seat < 4; ++seat) line("hand" + std::to_string(seat), CardsText(t.lstDirection[seat]));
    line("table", CardsText(t.TablePlay) + " " + std::to_string(int(t.PlayType)));
    line("turn", std::to_string(t.CurrentSeat) + (t.MustLead ? " 1 " : " 0 ") +
                     std::to_string(t.TheLastThrower) + " " + std::to_string(t.PassCount));
    line("stockempty", t.StockEmpty ? "1" : "0");
    line("draw", (t.DrawnCard.IsNone() ? std::string("-") : CardCode(t.DrawnCard)) + " " +
                     std::to_string(t.DrawIndex));
    line("runs", FourText(t.SingleRun));
    line("lost", FourText(g.scores.lost));
    line("won", FourText(g.scores.won));
    std::string seats;
    for (size_t s = 0; s < 4; ++s) seats += (s ? " " : "") + SeatText(g.seats[s]);
    line("seats", seats);
    line("random", std::to_string(g.seed) + " " + std::to_string(g.drawn));
    for (const TableEvent& e : g.history) line("event", EventText(e));
    text += "end\n";
    return text;
}

namespace {

// The words of a saved game's lines, read one line at a time.
class Lines {
  public:
    explicit Lines(std::string_view text) : text_(text) {}

    // The words after key on the next line, when it begins with key and
    // holds count of them; nothing read otherwise.
    std::optional<std::vector<std::string_view>> Take(std::string_view key, size_t count) {
        const size_t end = text_.find('\n');
        if (end == std::string_view::npos) return std::nullopt;
        std::vector<std::string_view> words;
        std::string_view rest = text_.substr(0, end);
        while (!rest.empty()) {
            const size_t space = rest.find(' ');
            words.push_back(rest.substr(0, space));
            rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
        }
        if (words.empty() || words[0] != key || words.size() != count + 1) return std::nullopt;
        text_.remove_prefix(end + 1);
        words.erase(words.begin());
        return words;
    }

  private:
    std::string_view text_;
};

std::optional<std::uint64_t> Number(std::string_view text, std::uint64_t max) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > max) return std::nullopt;
    return value;
}

bool ReadInt(std::string_view text, int max, int& out) {
    const auto value = Number(text, std::uint64_t(max));
    if (value) out = int(*value);
    return value.has_value();
}

bool ReadCards(std::string_view text, CardSet& out) {
    out.Clear();
    return text == "-" || (text != "" && ParseCodes(text, out));
}

bool ReadFour(Lines& in, std::string_view key, int max, std::array<int, 4>& out) {
    const auto words = in.Take(key, 4);
    if (!words) return false;
    for (size_t i = 0; i < 4; ++i)
        if (!ReadInt((*words)[i], max, out[i])) return false;
    return true;
}

bool ReadSeat(std::string_view text, SeatController& seat) {
    if (text == "P") {
        seat = {SeatKind::Person, 1};
        return true;
    }
    seat.kind = SeatKind::Computer;
    return text.size() == 2 && text[0] == 'C' && ReadInt(text.substr(1), kExpertLevel, seat.level);
}

// The stock and the hands, each card in one place; the rest is out of play.
std::string ReadCardPlaces(Lines& in, GameState& t) {
    const auto stock = in.Take("stock", 1);
    if (!stock || !ReadCards((*stock)[0], t.lstCardsBox)) return "the stock does not read";
    for (auto& row : t.CardLocation)
        for (auto& place : row) place = kPlayedLocation;
    for (const Card card : t.lstCardsBox) t.Location(card) = kStockLocation;
    for (int seat = 0; seat < 4; ++seat) {
        const auto hand = in.Take("hand" + std::to_string(seat), 1);
        if (!hand || !ReadCards((*hand)[0], t.lstDirection[seat])) return "a hand does not read";
        for (const Card card : t.lstDirection[seat]) {
            if (t.Location(card) != kPlayedLocation) return "a card in two places: " + CardCode(card);
            t.Location(card) = std::int8_t(seat);
        }
    }
    return {};
}

std::string ReadCounters(Lines& in, GameState& t) {
    const auto table = in.Take("table", 2), turn = in.Take("turn", 4), empty = in.Take("stockempty", 1),
               draw = in.Take("draw", 2);
    int type = 0;
    if (!table || !ReadCards((*table)[0], t.TablePlay) || !ReadInt((*table)[1], int(PlayType::Is2), type))
        return "the play on the table does not read";
    t.PlayType = PlayType(type);
    int lead = 0, stockEmpty = 0;
    if (!turn || !ReadInt((*turn)[0], 3, t.CurrentSeat) || !ReadInt((*turn)[1], 1, lead) ||
        !ReadInt((*turn)[2], 3, t.TheLastThrower) || !ReadInt((*turn)[3], 3, t.PassCount))
        return "the turn does not read";
    t.MustLead = lead == 1;
    if (!empty || !ReadInt((*empty)[0], 1, stockEmpty)) return "the stock's state does not read";
    t.StockEmpty = stockEmpty == 1;
    if (!draw || !ReadInt((*draw)[1], kDeckSize - 1, t.DrawIndex)) return "the last draw does not read";
    t.DrawnCard = Card::None();
    if ((*draw)[0] != "-" && !ParseCard((*draw)[0], t.DrawnCard)) return "the last draw does not read";
    if (!ReadFour(in, "runs", kDeckSize, t.SingleRun)) return "the runs of singles do not read";
    return {};
}

std::string ReadTheRest(Lines& in, SavedGame& g) {
    if (!ReadFour(in, "lost", int(kMaxCount), g.scores.lost) ||
        !ReadFour(in, "won", int(kMaxCount), g.scores.won))
        return "the score board does not read";
    const auto seats = in.Take("seats", 4);
    if (!seats) return "the seats do not read";
    for (size_t s = 0; s < 4; ++s)
        if (!ReadSeat((*seats)[s], g.seats[s])) return "a seat does not read";
    const auto random = in.Take("random", 2);
    const auto seed = random ? Number((*random)[0], ~std::uint64_t(0)) : std::nullopt;
    const auto drawn = random ? Number((*random)[1], kMaxDrawn) : std::nullopt;
    if (!seed || !drawn) return "the random source does not read";
    g.seed = *seed;
    g.drawn = *drawn;
    return {};
}

// One event line: its kind's letter, the seat and what the kind carries.
bool ReadEvent(Lines& in, TableEvent& e) {
    using Kind = TableEvent::Kind;
    static constexpr std::pair<std::string_view, Kind> kKinds[] = {
        {"n", Kind::NewGame}, {"d", Kind::Draw},   {"r", Kind::NewRound},
        {"t", Kind::Turn},    {"p", Kind::Played}, {"s", Kind::Passed}};
    auto words = in.Take("event", 2);
    if (!words) words = in.Take("event", 3);
    if (!words) words = in.Take("event", 4);
    if (!words) return false;
    const std::vector<std::string_view>& w = *words;
    e = TableEvent{};
    bool known = false;
    for (const auto& [letter, kind] : kKinds)
        if (w[0] == letter) {
            e.kind = kind;
            known = true;
        }
    if (!known || !ReadInt(w[1], 3, e.seat)) return false;
    const size_t extra = e.kind == Kind::Draw ? 2 : e.kind == Kind::Turn || e.kind == Kind::Played ? 1 : 0;
    if (w.size() != 2 + extra) return false;
    int lead = 0;
    switch (e.kind) {
        case Kind::Draw:
            return ReadInt(w[2], kDeckSize - 1, e.index) && ParseCard(w[3], e.card);
        case Kind::Turn:
            if (!ReadInt(w[2], 1, lead)) return false;
            e.lead = lead == 1;
            return true;
        case Kind::Played:
            return ReadCards(w[2], e.cards) && !e.cards.Empty();
        default:
            return true;
    }
}

}  // namespace

namespace {

// What the cards and counters read must be a table the game can reach.
std::string CheckTable(const SavedGame& g) {
    const GameState& t = g.state;
    if (std::string broken = CheckConservation(t); !broken.empty()) return broken;
    for (const Card card : t.TablePlay)
        if (t.Location(card) != kPlayedLocation) return "a card on the table is also held: " + CardCode(card);
    if (t.StockEmpty != t.lstCardsBox.Empty()) return "the stock's state disagrees with its cards";
    if (!t.DrawnCard.IsNone() && t.Location(t.DrawnCard) == kStockLocation)
        return "the last draw is in the stock";
    if (t.PlayType == PlayType::None) return "the play on the table has no kind";
    if (!t.TablePlay.Empty() && ClassifyPlay(t.TablePlay) != t.PlayType)
        return "the play on the table is not its kind";
    if (!g.playing) {
        if (StateDifference(t, FreshTable(t.TheLastThrower)) != "")
            return "a table between hands that is not fresh";
        return {};
    }
    for (int seat = 0; seat < 4; ++seat)
        if (t.lstDirection[seat].Empty()) return "an empty hand in a hand being played";
    if (t.TablePlay.Empty() && !t.MustLead) return "nobody leads an empty table";
    return {};
}

// The hand's events must lead to the table saved: each seat's view of them
// is what the seat reads from the table.
std::string CheckHistory(const SavedGame& g) {
    const std::vector<TableEvent>& h = g.history;
    if (h.empty()) return {};
    if (h.front().kind != TableEvent::Kind::NewGame) return "the events do not begin with the hand";
    if (!g.playing && h.size() != 1) return "events of a hand not being played";
    if (g.playing && (h.back().kind != TableEvent::Kind::Turn || h.back().seat != g.state.CurrentSeat))
        return "the events end on another seat's turn";
    for (int seat = 0; seat < 4; ++seat) {
        SeatView view(Observe(FreshTable(h.front().seat), seat, g.scores.lost));
        for (size_t i = 0; i < h.size(); ++i) {
            if (i > 0 && h[i].kind == TableEvent::Kind::NewGame) return "two hands in the events";
            view.Follow(VisibleTo(h[i], seat));
        }
        if (!(view.seen().Snapshot() == Observe(g.state, seat, g.scores.lost)))
            return "the events lead to another table (seat " + std::to_string(seat) + ")";
    }
    return {};
}

}  // namespace

SaveReading ReadSavedGame(std::string_view text) {
    if (text.substr(0, kHeader.size() + 1) != std::string(kHeader) + "\n") return {{}, "not a saved game"};
    Lines in(text.substr(kHeader.size() + 1));
    SavedGame g;
    int playing = 0;
    const auto first = in.Take("playing", 1);
    if (!first || !ReadInt((*first)[0], 1, playing)) return {{}, "the first line does not read"};
    g.playing = playing == 1;
    for (auto read : {ReadCardPlaces, ReadCounters})
        if (std::string error = read(in, g.state); !error.empty()) return {{}, error};
    if (std::string error = ReadTheRest(in, g); !error.empty()) return {{}, error};
    for (TableEvent e; ReadEvent(in, e);) g.history.push_back(e);
    if (!in.Take("end", 0)) return {{}, "an event does not read, or the end is missing"};
    // Exactly what would have been written: nothing after the end, nothing out of order.
    if (SavedGameText(g) != text) return {{}, "not in the form this program writes"};
    for (auto check : {CheckTable, CheckHistory})
        if (std::string error = check(g); !error.empty()) return {{}, error};
    return {g, {}};
}

}  // namespace vorn
