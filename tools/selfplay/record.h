#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/cardset.h"

namespace vorn::record {

// The game record is one flat JSON object per line: numbers, booleans, strings
// and arrays of those, never nested objects. These pieces write such lines and
// read them back, with no JSON library behind them.

// A value as it was written: kind plus its literal text (a string's text is
// unescaped), or the items of an array.
struct Value {
    enum class Kind { Number, Bool, String, Array };
    Kind kind = Kind::Number;
    std::string text;
    std::vector<Value> items;

    friend bool operator==(const Value&, const Value&) = default;
};

// Fields in the order of the line.
using Object = std::vector<std::pair<std::string, Value>>;

// Reads one line; false with a reason for anything outside the flat format.
bool ParseLine(std::string_view line, Object& object, std::string& error);

// The value of key, or nullptr.
const Value* Find(const Object& object, std::string_view key);

// Writes a value back as JSON text.
std::string ToText(const Value& value);

// "" when both lines hold the same fields with the same values (whatever the
// spacing or field order); else the first difference in the expected line's
// order, like `field "chosen": record has [...], replay gives [...]`.
std::string FirstDifference(const Object& expected, const Object& actual);

// A uniform draw in [0, 1) as exactly nine decimals, truncated so that it
// never reads as 1: 0.123456789.
std::string DrawText(double r);

// Builds one line field by field.
class Line {
  public:
    explicit Line(std::string_view ev);
    Line& Add(std::string_view key, int value);
    Line& Add(std::string_view key, std::uint64_t value);
    Line& Add(std::string_view key, bool value);
    Line& Add(std::string_view key, std::string_view value);
    Line& Add(std::string_view key, const char* value) { return Add(key, std::string_view(value)); }
    template <typename Ints>
    Line& AddInts(std::string_view key, const Ints& values) {
        Key(key);
        text_ += '[';
        bool first = true;
        for (int v : values) {
            if (!first) text_ += ',';
            first = false;
            text_ += std::to_string(v);
        }
        text_ += ']';
        return *this;
    }
    template <typename Texts>
    Line& AddStrings(std::string_view key, const Texts& values) {
        Key(key);
        text_ += '[';
        bool first = true;
        for (const auto& v : values) {
            if (!first) text_ += ',';
            first = false;
            Quote(v);
        }
        text_ += ']';
        return *this;
    }
    // The codes of a set of cards, lowest first.
    Line& AddCards(std::string_view key, CardSet cards) {
        Key(key);
        text_ += '[';
        bool first = true;
        for (const Card card : cards) {
            if (!first) text_ += ',';
            first = false;
            Quote(CardCode(card));
        }
        text_ += ']';
        return *this;
    }
    // Numbers already written as text (the draws).
    Line& AddNumberTexts(std::string_view key, const std::vector<std::string>& values);
    std::string Text() const { return text_ + '}'; }

  private:
    void Key(std::string_view key);
    void Quote(std::string_view text);
    std::string text_;
};

}  // namespace vorn::record
