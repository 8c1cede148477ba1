#include "tools/selfplay/record.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace vorn::record {

namespace {

class Reader {
  public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool Object(record::Object& out, std::string& error) {
        Skip();
        if (!Eat('{')) return Fail(error, "expected '{'");
        Skip();
        if (Eat('}')) return End(error);
        for (;;) {
            std::string key;
            Skip();
            if (!String(key)) return Fail(error, "expected a field name");
            Skip();
            if (!Eat(':')) return Fail(error, "expected ':' after \"" + key + "\"");
            Value value;
            if (!ValueAt(value, true)) return Fail(error, "bad value for \"" + key + "\"");
            out.emplace_back(std::move(key), std::move(value));
            Skip();
            if (Eat('}')) return End(error);
            if (!Eat(',')) return Fail(error, "expected ',' or '}'");
        }
    }

  private:
    bool ValueAt(Value& value, bool arrayAllowed) {
        Skip();
        if (at_ >= s_.size()) return false;
        const char c = s_[at_];
        if (c == '"') {
            value.kind = Value::Kind::String;
            return String(value.text);
        }
        if (c == '[') {
            if (!arrayAllowed) return false;
            ++at_;
            value.kind = Value::Kind::Array;
            Skip();
            if (Eat(']')) return true;
            for (;;) {
                Value item;
                if (!ValueAt(item, false)) return false;
                value.items.push_back(std::move(item));
                Skip();
                if (Eat(']')) return true;
                if (!Eat(',')) return false;
            }
        }
        if (s_.substr(at_, 4) == "true" || s_.substr(at_, 5) == "false") {
            value.kind = Value::Kind::Bool;
            value.text = c == 't' ? "true" : "false";
            at_ += value.text.size();
            return true;
        }
        const size_t start = at_;
        if (at_ < s_.size() && s_[at_] == '-') ++at_;
        bool digits = false;
        while (at_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[at_])) || s_[at_] == '.' ||
                                   s_[at_] == 'e' || s_[at_] == 'E' || s_[at_] == '+' || s_[at_] == '-')) {
            digits = digits || std::isdigit(static_cast<unsigned char>(s_[at_]));
            ++at_;
        }
        if (!digits) return false;
        value.kind = Value::Kind::Number;
        value.text = std::string(s_.substr(start, at_ - start));
        return true;
    }

    bool String(std::string& out) {
        if (!Eat('"')) return false;
        while (at_ < s_.size()) {
            const char c = s_[at_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= s_.size()) return false;
            const char e = s_[at_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    // The writer escapes control characters only, so one byte suffices.
                    if (at_ + 4 > s_.size()) return false;
                    const int code = std::stoi(std::string(s_.substr(at_, 4)), nullptr, 16);
                    if (code > 0x7f) return false;
                    out += char(code);
                    at_ += 4;
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }

    void Skip() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\r')) ++at_;
    }
    bool Eat(char c) {
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool End(std::string& error) {
        Skip();
        if (at_ != s_.size()) return Fail(error, "text after the object");
        return true;
    }
    bool Fail(std::string& error, const std::string& what) {
        error = what + " at column " + std::to_string(at_ + 1);
        return false;
    }

    std::string_view s_;
    size_t at_ = 0;
};

void QuoteInto(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", unsigned(c));
            out += buffer;
        } else {
            out += c;
        }
    }
    out += '"';
}

}  // namespace

bool ParseLine(std::string_view line, Object& object, std::string& error) {
    object.clear();
    return Reader(line).Object(object, error);
}

const Value* Find(const Object& object, std::string_view key) {
    for (const auto& [name, value] : object)
        if (name == key) return &value;
    return nullptr;
}

std::string ToText(const Value& value) {
    std::string out;
    switch (value.kind) {
        case Value::Kind::String:
            QuoteInto(out, value.text);
            break;
        case Value::Kind::Array:
            out += '[';
            for (size_t i = 0; i < value.items.size(); ++i) {
                if (i) out += ',';
                out += ToText(value.items[i]);
            }
            out += ']';
            break;
        default:
            out = value.text;
    }
    return out;
}

std::string FirstDifference(const Object& expected, const Object& actual) {
    for (const auto& [key, value] : expected) {
        const Value* other = Find(actual, key);
        if (!other)
            return "field \"" + key + "\": record has " + ToText(value) + ", replay has no such field";
        if (!(*other == value))
            return "field \"" + key + "\": record has " + ToText(value) + ", replay gives " + ToText(*other);
    }
    for (const auto& [key, value] : actual)
        if (!Find(expected, key))
            return "field \"" + key + "\": missing in the record, replay gives " + ToText(value);
    return {};
}

std::string DrawText(double r) {
    long long n = static_cast<long long>(std::floor(r * 1e9));
    if (n < 0) n = 0;
    if (n > 999999999) n = 999999999;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0.%09lld", n);
    return buffer;
}

Line::Line(std::string_view ev) {
    text_ = "{\"ev\":";
    QuoteInto(text_, ev);
}

void Line::Key(std::string_view key) {
    text_ += ',';
    QuoteInto(text_, key);
    text_ += ':';
}

void Line::Quote(std::string_view text) {
    QuoteInto(text_, text);
}

Line& Line::Add(std::string_view key, int value) {
    Key(key);
    text_ += std::to_string(value);
    return *this;
}

Line& Line::Add(std::string_view key, std::uint64_t value) {
    Key(key);
    text_ += std::to_string(value);
    return *this;
}

Line& Line::Add(std::string_view key, bool value) {
    Key(key);
    text_ += value ? "true" : "false";
    return *this;
}

Line& Line::Add(std::string_view key, std::string_view value) {
    Key(key);
    QuoteInto(text_, value);
    return *this;
}

Line& Line::AddNumberTexts(std::string_view key, const std::vector<std::string>& values) {
    Key(key);
    text_ += '[';
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) text_ += ',';
        text_ += values[i];
    }
    text_ += ']';
    return *this;
}

}  // namespace vorn::record
