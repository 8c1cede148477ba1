#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/cardset.h"

namespace vorn {

// The wire format of a network game: a tag in square brackets, a body, and
// "\r\n" added by the send queue. This file builds every message and reads
// every body back. The readers are strict because the other end is not
// trusted: a body that is not exactly what a builder would write comes back
// as nothing, and the receiver then ignores the whole message.

namespace tags {
inline constexpr std::string_view kSeat = "[Seat]";
inline constexpr std::string_view kJoined = "[Joined]";
inline constexpr std::string_view kNewNameList = "[New Name List]";
inline constexpr std::string_view kPeople = "[People]";
inline constexpr std::string_view kPrepare = "[Prepare]";
inline constexpr std::string_view kMessage = "[Message]";
inline constexpr std::string_view kThrow = "[Throw]";
inline constexpr std::string_view kTurn = "[Turn]";
inline constexpr std::string_view kSnatchCard = "[Snatch Card]";
inline constexpr std::string_view kGameOver = "[Game Over]";
inline constexpr std::string_view kDisconnected = "[Disconnected]";
inline constexpr std::string_view kExit = "[Exit]";

inline constexpr std::array<std::string_view, 12> kAll = {kSeat,       kJoined,   kNewNameList,  kPeople,
                                                          kPrepare,    kMessage,  kThrow,        kTurn,
                                                          kSnatchCard, kGameOver, kDisconnected, kExit};
}  // namespace tags

// The second version of the wire. Its tags are unknown to a table of the first,
// which skips them whole; a table of the second speaks them only on a link
// whose other end has said "[Hello]".
inline constexpr int kWireVersion = 2;
namespace tags2 {
inline constexpr std::string_view kHello = "[Hello]";
inline constexpr std::string_view kToken = "[Token]";
inline constexpr std::string_view kRefused = "[Refused]";
inline constexpr std::string_view kDraw = "[Draw]";
inline constexpr std::string_view kHand = "[Hand]";
inline constexpr std::string_view kSnapshot = "[Snapshot]";
inline constexpr std::string_view kSeats = "[Seats]";
inline constexpr std::string_view kSecure = "[Secure]";
inline constexpr std::array<std::string_view, 8> kAll = {kHello, kToken,    kRefused, kDraw,
                                                         kHand,  kSnapshot, kSeats,   kSecure};
}  // namespace tags2

// ---- Field operations -------------------------------------------------------

// Exactly 10 characters for any number of at most 9 digits: leading zeros, a
// minus sign in front of 9 digits for a negative one (2 -> "0000000002",
// -1 -> "-000000001"). Wider numbers come out in full, never cut.
std::string PadNumber(int number);

// The 10 characters starting at character n*10-9 (1-based; whole UTF-8
// characters are counted). Shorter, possibly empty, near the end of the body.
std::string FixedField(std::string_view body, int n);
// The body from character n*10-9 to its end.
std::string FixedFieldTail(std::string_view body, int n);

// Texts joined with "|".
std::string JoinFields(const std::vector<std::string>& fields);

// Bar field n (1-based) of text after trimming the text of blanks at both
// ends; empty when there is no such field.
std::string SplitField(std::string_view text, int n);
// The same on text as it stands, without trimming.
std::string SplitFieldAsIs(std::string_view text, int n);
// All bar fields of text as it stands ("" gives one empty field).
std::vector<std::string> BarFields(std::string_view text);

// text without leading and trailing blanks (spaces).
std::string_view TrimBlanks(std::string_view text);

// ---- Value readers ----------------------------------------------------------

// An optionally signed run of decimal digits within int range, blanks at the
// ends allowed. Nothing for "", "1.5", "1 2", "abc", "99999999999".
std::optional<int> ParseDecimal(std::string_view text);
// "true" in any letter case, blanks at the ends allowed; anything else false.
bool ParseBoolean(std::string_view text);
// The codes of a card list: whole 4-character pieces, each one of the 52 cards,
// no card twice. Empty text gives an empty list.
std::optional<CardSet> ParseCardList(std::string_view text);
// The padded number at the head of a body: its first 10 characters as a decimal.
std::optional<int> ParsePadded(std::string_view body);

// ---- Whole messages ---------------------------------------------------------

// The tag is the message up to and including its first "]" (empty when there
// is none); the body is the rest.
void SplitMessage(std::string_view message, std::string_view& tag, std::string_view& body);

std::string SeatMessage(int slot);
std::string JoinedMessage(const std::string& name);
std::string NewNameListMessage();
std::string PeopleMessage(int slot, const std::string& name);
std::string PrepareMessage(const std::array<std::string, 4>& names);
std::string ChatMessage(const std::string& line);
// A play (lastThrower == seat, tablePlay the new play) or a pass (tablePlay
// repeats the play on the table): "[Throw]1|C_05D_05|1".
std::string ThrowMessage(int lastThrower, const std::string& tablePlay, int seat);
// "[Turn]2|True".
std::string TurnMessage(int seat, bool mustLead);
std::string SnatchMessage(int seat, int drawIndex);
std::string GameOverMessage(int seat);
std::string DisconnectedMessage(int slot);
std::string ExitMessage(int slot);

// ---- The second version's messages -----------------------------------------

// Why a host turns a link away.
enum class Refusal2 { Password, Token, Full };
// Who holds a seat, as a table of the second version is told: a person on the
// second version, a person on the first, the computer, or nobody yet.
enum class Holder { Person, OldPerson, Computer, Nobody };

// A host with a certificate, first thing on a new link, ahead of the greeting:
// the offer of encryption. The joiner takes it by answering the same, and the
// host confirms with the same again; then both start TLS.
std::string SecureMessage();
// Host, first thing on a new link: its version, a fresh challenge and whether
// the table wants a password ("[Hello]2|5f0c…|password").
std::string HostHelloMessage(const std::string& nonce, bool password);
// Joiner, in answer: its version, the token of a seat it held before (or
// none) and its proof of the password (or none).
std::string JoinerHelloMessage(const std::string& token, const std::string& proof);
std::string TokenMessage(const std::string& token);
std::string RefusedMessage(Refusal2 why);
// A draw: the card only to the seat that draws it ("[Draw]2|" to the others).
std::string DrawMessage(int seat, Card card);
// What a seat still held at the end of a game.
std::string HandMessage(int seat, CardSet cards);
std::string SeatsMessage(const std::array<Holder, 4>& holders);

// ---- Chat lines --------------------------------------------------------------

// The most characters the chat input box takes, and the longest chat line any
// table shows or passes on: the box's text with room for the sender's name and
// ": " in front.
inline constexpr int kChatInputChars = 500;
inline constexpr int kMaxChatLineChars = 600;
// line cut to kMaxChatLineChars whole characters.
std::string CutChatLine(std::string_view line);
// The longest name a host takes from a joiner, in characters.
inline constexpr int kMaxNameChars = 32;
// A joiner's name as the host takes it: cut to kMaxNameChars whole
// characters, a bar (which would split "[Prepare]" into more seats) made a
// slash and a control character a blank, blanks at the ends trimmed.
std::string CleanName(std::string_view name);

// ---- Bodies read back -------------------------------------------------------
// Seats are checked to be 0..3 here; what depends on the table (the stock
// size, whose turn it is) is checked by the receiver when it applies them.

struct ThrowBody {
    int lastThrower = 0;
    std::string tablePlay;
    CardSet cards;  // the cards tablePlay names
    int seat = 0;
    bool IsPass() const { return lastThrower != seat; }
};
struct TurnBody {
    int seat = 0;
    bool mustLead = false;
};
struct SnatchBody {
    int seat = 0;
    int drawIndex = 0;  // not negative
};
struct PeopleBody {
    int slot = 0;
    std::string name;
};

std::optional<ThrowBody> ParseThrow(std::string_view body);
std::optional<TurnBody> ParseTurn(std::string_view body);
std::optional<SnatchBody> ParseSnatch(std::string_view body);
// A seat 0..3 as a plain decimal ("[Game Over]").
std::optional<int> ParseSeat(std::string_view body);

struct HostHello {
    int version = 0;
    std::string nonce;
    bool password = false;
};
struct JoinerHello {
    int version = 0;
    std::string token;
    std::string proof;
};
struct DrawBody {
    int seat = 0;
    Card card = Card::None();  // none: another seat's draw
};
struct HandBody {
    int seat = 0;
    CardSet cards;
};
// A version below 2 is no hello; nonce, token and proof are plain hex.
std::optional<HostHello> ParseHostHello(std::string_view body);
std::optional<JoinerHello> ParseJoinerHello(std::string_view body);
std::optional<Refusal2> ParseRefused(std::string_view body);
std::optional<std::string> ParseToken(std::string_view body);
std::optional<DrawBody> ParseDraw(std::string_view body);
std::optional<HandBody> ParseHand(std::string_view body);
std::optional<std::array<Holder, 4>> ParseSeats(std::string_view body);
std::optional<PeopleBody> ParsePeople(std::string_view body);
// Four non-empty names, the first four bar fields of the body as it stands.
std::optional<std::array<std::string, 4>> ParsePrepare(std::string_view body);

// ---- Finding tables on the local network ------------------------------------
// Not part of a game's stream: single UDP datagrams in UTF-8 on the LAN port.
// A window looking for tables sends the query to every local network's
// broadcast address (and to the IPv6 all-nodes group); each hosting window
// answers the sender with an advertisement of its table.
namespace lan {
inline constexpr int kPort = 11005;
inline constexpr std::string_view kQuery = "[Tables?]2";
inline constexpr std::string_view kAdTag = "[Table]";
// A name longer than this is cut (at a character's start) before it is sent.
inline constexpr size_t kMaxName = 64;
}  // namespace lan

struct TableAd {
    std::string id;   // plain hex, the same for every answer of one table
    int port = 0;     // the game's TCP port
    int persons = 1;  // people seated, the host among them: 1..4
    bool password = false;
    std::string name;  // the host's name: not empty, no control characters
    bool operator==(const TableAd&) const = default;
};
std::string TableAdMessage(const TableAd& ad);
std::optional<TableAd> ParseTableAd(std::string_view datagram);

// ---- The lobby of a server with many tables ---------------------------------
// A server greets a new link with "[Lobby]" and then one "[Lobby]" per table
// whose body is that table's advertisement as above ("[Lobby][Table]2|…").
// Builds that know no lobby skip all of it and wait for "[Seat]" as always.
// The joiner answers "[Browse]" while its person chooses, then "[Pick]id" for
// a table ("[Pick]" alone opens a new one), or "[Back]token" to return to the
// seat its token names, wherever that is.
namespace lobby {
inline constexpr std::string_view kLobby = "[Lobby]";
inline constexpr std::string_view kBrowse = "[Browse]";
inline constexpr std::string_view kPick = "[Pick]";
inline constexpr std::string_view kBack = "[Back]";
}  // namespace lobby

// The first word of a link at the lobby, as far as the lobby is concerned.
struct LobbyWord {
    enum Kind { Browse, Pick, Back, Other } kind = Other;
    std::string argument;  // Pick: the table id (empty: a new table); Back: the token
    std::string password;  // Pick of a new table: the password it is opened with, or none
};
LobbyWord ParseLobbyWord(std::string_view message);
std::string LobbyEntryMessage(const TableAd& table);
// "[Pick]id", or "[Pick]" for a new table, "[Pick]|password" for a new one
// that wants a password (sent only on an encrypted link).
std::string PickMessage(const std::string& id, const std::string& password = {});
std::string BackMessage(const std::string& token);

}  // namespace vorn
