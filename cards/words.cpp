#include "cards/words.h"

#include <vector>

namespace vorn {

const Words& SourceWords() {
    static const Words words;
    return words;
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> values(args);
    std::string text;
    text.reserve(pattern.size() + 16);
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const size_t n = size_t(pattern[i + 1] - '1');
            if (n < values.size()) {
                text += values[n];
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

}  // namespace vorn
