// The second version's messages (declared in net/protocol.h). Each reader
// takes a body only when the builder would have written it so, byte for byte.
#include <algorithm>

#include "cards/card.h"
#include "net/protocol.h"

namespace vorn {

namespace {
constexpr std::string_view kPasswordFeature = "password";
constexpr size_t kMaxHexChars = 128;

bool PlainHex(std::string_view text) {
    return text.size() <= kMaxHexChars && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string Tagged(std::string_view tag, const std::string& body) {
    return std::string(tag) + body;
}

std::optional<int> Seat(std::string_view text) {
    // Exactly one digit: the form the builders write.
    if (text.size() != 1 || text[0] < '0' || text[0] > '3') return std::nullopt;
    return text[0] - '0';
}

std::optional<int> Version(std::string_view text) {
    auto version = ParseDecimal(text);
    if (!version || *version < kWireVersion || std::to_string(*version) != text) return std::nullopt;
    return version;
}

constexpr std::array<std::string_view, 3> kRefusals = {"password", "token", "full"};
constexpr std::array<char, 4> kHolders = {'P', 'O', 'C', '-'};
}  // namespace

std::string SecureMessage() {
    return std::string(tags2::kSecure);
}

std::string HostHelloMessage(const std::string& nonce, bool password) {
    return Tagged(tags2::kHello, JoinFields({std::to_string(kWireVersion), nonce,
                                             password ? std::string(kPasswordFeature) : std::string()}));
}

std::string JoinerHelloMessage(const std::string& token, const std::string& proof) {
    return Tagged(tags2::kHello, JoinFields({std::to_string(kWireVersion), token, proof}));
}

std::string TokenMessage(const std::string& token) {
    return Tagged(tags2::kToken, token);
}

std::string RefusedMessage(Refusal2 why) {
    return Tagged(tags2::kRefused, std::string(kRefusals[size_t(why)]));
}

std::string DrawMessage(int seat, Card card) {
    return Tagged(tags2::kDraw,
                  JoinFields({std::to_string(seat), card.IsNone() ? std::string() : CardCode(card)}));
}

std::string HandMessage(int seat, CardSet cards) {
    return Tagged(tags2::kHand, JoinFields({std::to_string(seat), Codes(cards)}));
}

std::string SeatsMessage(const std::array<Holder, 4>& holders) {
    std::string body;
    for (const Holder holder : holders) body += kHolders[size_t(holder)];
    return Tagged(tags2::kSeats, body);
}

std::optional<HostHello> ParseHostHello(std::string_view body) {
    auto fields = BarFields(body);
    if (fields.size() != 3) return std::nullopt;
    auto version = Version(fields[0]);
    if (!version || fields[1].empty() || !PlainHex(fields[1])) return std::nullopt;
    if (!fields[2].empty() && fields[2] != kPasswordFeature) return std::nullopt;
    return HostHello{*version, fields[1], !fields[2].empty()};
}

std::optional<JoinerHello> ParseJoinerHello(std::string_view body) {
    auto fields = BarFields(body);
    if (fields.size() != 3) return std::nullopt;
    auto version = Version(fields[0]);
    if (!version || !PlainHex(fields[1]) || !PlainHex(fields[2])) return std::nullopt;
    return JoinerHello{*version, fields[1], fields[2]};
}

std::optional<Refusal2> ParseRefused(std::string_view body) {
    for (size_t i = 0; i < kRefusals.size(); ++i)
        if (body == kRefusals[i]) return Refusal2(i);
    return std::nullopt;
}

std::optional<std::string> ParseToken(std::string_view body) {
    if (body.empty() || !PlainHex(body)) return std::nullopt;
    return std::string(body);
}

std::optional<DrawBody> ParseDraw(std::string_view body) {
    auto fields = BarFields(body);
    if (fields.size() != 2) return std::nullopt;
    auto seat = Seat(fields[0]);
    if (!seat) return std::nullopt;
    if (fields[1].empty()) return DrawBody{*seat, Card::None()};
    auto card = ParseCardList(fields[1]);
    if (!card || card->Count() != 1) return std::nullopt;
    return DrawBody{*seat, card->First()};
}

std::optional<HandBody> ParseHand(std::string_view body) {
    auto fields = BarFields(body);
    if (fields.size() != 2) return std::nullopt;
    auto seat = Seat(fields[0]);
    auto cards = ParseCardList(fields[1]);
    // Codes in the order written: the lowest first.
    if (!seat || !cards || Codes(*cards) != fields[1]) return std::nullopt;
    return HandBody{*seat, *cards};
}

std::optional<std::array<Holder, 4>> ParseSeats(std::string_view body) {
    if (body.size() != 4) return std::nullopt;
    std::array<Holder, 4> holders{};
    for (size_t i = 0; i < 4; ++i) {
        auto at = std::find(kHolders.begin(), kHolders.end(), body[i]);
        if (at == kHolders.end()) return std::nullopt;
        holders[i] = Holder(at - kHolders.begin());
    }
    return holders;
}

std::string TableAdMessage(const TableAd& ad) {
    std::string name = ad.name.substr(0, lan::kMaxName);
    // Never end inside a character of several bytes.
    if (ad.name.size() > lan::kMaxName)
        while (!name.empty() && (static_cast<unsigned char>(ad.name[name.size()]) & 0xC0) == 0x80)
            name.pop_back();
    std::replace(name.begin(), name.end(), '|', '/');
    return Tagged(lan::kAdTag, JoinFields({std::to_string(kWireVersion), ad.id, std::to_string(ad.port),
                                           std::to_string(ad.persons),
                                           ad.password ? std::string(kPasswordFeature) : "", name}));
}

std::optional<TableAd> ParseTableAd(std::string_view datagram) {
    if (datagram.substr(0, lan::kAdTag.size()) != lan::kAdTag) return std::nullopt;
    const auto fields = BarFields(datagram.substr(lan::kAdTag.size()));
    if (fields.size() != 6 || !Version(fields[0]) || fields[1].empty() || !PlainHex(fields[1]))
        return std::nullopt;
    const auto port = ParseDecimal(fields[2]);
    const auto persons = ParseDecimal(fields[3]);
    if (!port || *port < 1 || *port > 65535 || std::to_string(*port) != fields[2]) return std::nullopt;
    if (!persons || *persons < 1 || *persons > 4 || fields[3].size() != 1) return std::nullopt;
    if (!fields[4].empty() && fields[4] != kPasswordFeature) return std::nullopt;
    const std::string& name = fields[5];
    const bool control = std::any_of(
        name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    if (name.empty() || name.size() > lan::kMaxName || control) return std::nullopt;
    return TableAd{fields[1], *port, *persons, !fields[4].empty(), name};
}

std::string LobbyEntryMessage(const TableAd& table) {
    return Tagged(lobby::kLobby, TableAdMessage(table));
}

std::string PickMessage(const std::string& id, const std::string& password) {
    return Tagged(lobby::kPick, id.empty() && !password.empty() ? "|" + password : id);
}

std::string BackMessage(const std::string& token) {
    return Tagged(lobby::kBack, token);
}

LobbyWord ParseLobbyWord(std::string_view message) {
    const auto after = [message](std::string_view tag) { return message.substr(tag.size()); };
    const auto starts = [message](std::string_view tag) { return message.substr(0, tag.size()) == tag; };
    if (message == lobby::kBrowse) return {LobbyWord::Browse, {}, {}};
    if (starts(lobby::kPick) && (after(lobby::kPick).empty() || PlainHex(after(lobby::kPick))))
        return {LobbyWord::Pick, std::string(after(lobby::kPick)), {}};
    if (starts(lobby::kPick) && after(lobby::kPick).size() > 1 && after(lobby::kPick)[0] == '|')
        return {LobbyWord::Pick, {}, std::string(after(lobby::kPick).substr(1))};
    if (starts(lobby::kBack) && after(lobby::kBack).size() == 32 && PlainHex(after(lobby::kBack)))
        return {LobbyWord::Back, std::string(after(lobby::kBack)), {}};
    return {};
}

}  // namespace vorn
