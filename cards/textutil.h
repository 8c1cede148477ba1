#pragma once

#include <string>

namespace vorn {

// folder + file, with one separator between them. A folder that already ends
// in a separator ('/' or '\') gets no second one.
std::string JoinPath(const std::string& folder, const std::string& file);

// A caption written top to bottom: every character of text followed by "\r\n"
// except the last. Works on whole UTF-8 characters, so a Chinese name stacks
// one character a line.
std::string VerticalLabel(const std::string& text);

}  // namespace vorn
