#include "net/protocol.h"

#include <charconv>

#include "cards/card.h"

namespace vorn {

namespace {

// Byte offset of the character with 0-based index chars in UTF-8 text (the
// size when the text is shorter). Continuation bytes never start a character.
size_t CharOffset(std::string_view text, int chars) {
    size_t at = 0;
    for (int k = 0; k < chars && at < text.size(); ++k) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return at;
}

std::string Field(std::string_view text, int n) {
    if (n < 1) return {};
    size_t start = 0;
    for (int k = 1; k < n; ++k) {
        size_t bar = text.find('|', start);
        if (bar == std::string_view::npos) return {};
        start = bar + 1;
    }
    size_t end = text.find('|', start);
    return std::string(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::optional<int> SeatNumber(std::string_view text) {
    auto seat = ParseDecimal(text);
    if (!seat || *seat < 0 || *seat > 3) return std::nullopt;
    return seat;
}

}  // namespace

std::string PadNumber(int number) {
    if (number >= 0) {
        std::string digits = std::to_string(number);
        return digits.size() >= 10 ? digits : std::string(10 - digits.size(), '0') + digits;
    }
    // Magnitude as unsigned so that the lowest int has one too.
    std::string digits = std::to_string(0u - static_cast<unsigned>(number));
    return "-" + (digits.size() >= 9 ? digits : std::string(9 - digits.size(), '0') + digits);
}

std::string FixedField(std::string_view body, int n) {
    if (n < 1) return {};
    size_t start = CharOffset(body, n * 10 - 10);
    size_t end = start + CharOffset(body.substr(start), 10);
    return std::string(body.substr(start, end - start));
}

std::string FixedFieldTail(std::string_view body, int n) {
    if (n < 1) return std::string(body);
    return std::string(body.substr(CharOffset(body, n * 10 - 10)));
}

std::string JoinFields(const std::vector<std::string>& fields) {
    std::string joined;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) joined += '|';
        joined += fields[i];
    }
    return joined;
}

std::string_view TrimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string SplitField(std::string_view text, int n) {
    return Field(TrimBlanks(text), n);
}

std::string SplitFieldAsIs(std::string_view text, int n) {
    return Field(text, n);
}

std::vector<std::string> BarFields(std::string_view text) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find('|', start);
        if (bar == std::string_view::npos) {
            fields.emplace_back(text.substr(start));
            return fields;
        }
        fields.emplace_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

std::optional<int> ParseDecimal(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) return std::nullopt;
    size_t digitsFrom = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (digitsFrom == text.size()) return std::nullopt;
    for (size_t i = digitsFrom; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    // from_chars takes no '+', and its range check is what keeps int overflow out.
    if (text[0] == '+') text.remove_prefix(1);
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool ParseBoolean(std::string_view text) {
    text = TrimBlanks(text);
    if (text.size() != 4) return false;
    static constexpr char kTrue[] = "true";
    for (size_t i = 0; i < 4; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != kTrue[i]) return false;
    }
    return true;
}

std::optional<CardSet> ParseCardList(std::string_view text) {
    CardSet cards;
    if (!ParseCodes(text, cards)) return std::nullopt;
    return cards;
}

std::optional<int> ParsePadded(std::string_view body) {
    std::string field = FixedField(body, 1);
    if (field.size() != 10) return std::nullopt;
    return ParseDecimal(field);
}

void SplitMessage(std::string_view message, std::string_view& tag, std::string_view& body) {
    size_t close = message.find(']');
    if (close == std::string_view::npos) {
        tag = {};
        body = message;
        return;
    }
    tag = message.substr(0, close + 1);
    body = message.substr(close + 1);
}

namespace {
std::string Tagged(std::string_view tag, const std::string& body) {
    return std::string(tag) + body;
}
}  // namespace

std::string SeatMessage(int slot) {
    return Tagged(tags::kSeat, std::to_string(slot));
}
std::string JoinedMessage(const std::string& name) {
    return Tagged(tags::kJoined, name);
}
std::string NewNameListMessage() {
    return std::string(tags::kNewNameList);
}
std::string PeopleMessage(int slot, const std::string& name) {
    return Tagged(tags::kPeople, PadNumber(slot) + name);
}
std::string PrepareMessage(const std::array<std::string, 4>& names) {
    return Tagged(tags::kPrepare, JoinFields({names.begin(), names.end()}));
}
std::string CutChatLine(std::string_view line) {
    return std::string(line.substr(0, CharOffset(line, kMaxChatLineChars)));
}
std::string CleanName(std::string_view name) {
    std::string clean(name.substr(0, CharOffset(name, kMaxNameChars)));
    for (char& c : clean) {
        if (c == '|') c = '/';
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    }
    return std::string(TrimBlanks(clean));
}
std::string ChatMessage(const std::string& line) {
    return Tagged(tags::kMessage, line);
}
std::string ThrowMessage(int lastThrower, const std::string& tablePlay, int seat) {
    return Tagged(tags::kThrow, JoinFields({std::to_string(lastThrower), tablePlay, std::to_string(seat)}));
}
std::string TurnMessage(int seat, bool mustLead) {
    return Tagged(tags::kTurn, JoinFields({std::to_string(seat), mustLead ? "True" : "False"}));
}
std::string SnatchMessage(int seat, int drawIndex) {
    return Tagged(tags::kSnatchCard, JoinFields({std::to_string(seat), std::to_string(drawIndex)}));
}
std::string GameOverMessage(int seat) {
    return Tagged(tags::kGameOver, std::to_string(seat));
}
std::string DisconnectedMessage(int slot) {
    return Tagged(tags::kDisconnected, PadNumber(slot));
}
std::string ExitMessage(int slot) {
    return Tagged(tags::kExit, PadNumber(slot));
}

std::optional<ThrowBody> ParseThrow(std::string_view body) {
    auto fields = BarFields(TrimBlanks(body));
    if (fields.size() < 3) return std::nullopt;
    auto lastThrower = SeatNumber(fields[0]);
    auto cards = ParseCardList(fields[1]);
    auto seat = SeatNumber(fields[2]);
    if (!lastThrower || !cards || !seat) return std::nullopt;
    return ThrowBody{*lastThrower, fields[1], *cards, *seat};
}

std::optional<TurnBody> ParseTurn(std::string_view body) {
    auto fields = BarFields(TrimBlanks(body));
    if (fields.size() < 2) return std::nullopt;
    auto seat = SeatNumber(fields[0]);
    if (!seat) return std::nullopt;
    return TurnBody{*seat, ParseBoolean(fields[1])};
}

std::optional<SnatchBody> ParseSnatch(std::string_view body) {
    auto fields = BarFields(TrimBlanks(body));
    if (fields.size() < 2) return std::nullopt;
    auto seat = SeatNumber(fields[0]);
    auto index = ParseDecimal(fields[1]);
    if (!seat || !index || *index < 0) return std::nullopt;
    return SnatchBody{*seat, *index};
}

std::optional<int> ParseSeat(std::string_view body) {
    return SeatNumber(body);
}

std::optional<PeopleBody> ParsePeople(std::string_view body) {
    auto slot = ParsePadded(body);
    if (!slot) return std::nullopt;
    return PeopleBody{*slot, FixedFieldTail(body, 2)};
}

std::optional<std::array<std::string, 4>> ParsePrepare(std::string_view body) {
    auto fields = BarFields(body);
    if (fields.size() < 4) return std::nullopt;
    std::array<std::string, 4> names;
    for (int i = 0; i < 4; ++i) {
        if (fields[i].empty()) return std::nullopt;
        names[i] = fields[i];
    }
    return names;
}

}  // namespace vorn
