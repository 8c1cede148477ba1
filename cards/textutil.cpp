#include "cards/textutil.h"

namespace vorn {

std::string JoinPath(const std::string& folder, const std::string& file) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) return folder + file;
    return folder + "/" + file;
}

std::string VerticalLabel(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t len = 1;
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            len = 4;
        else if (lead >= 0xE0)
            len = 3;
        else if (lead >= 0xC0)
            len = 2;
        if (i + len > text.size()) len = text.size() - i;
        if (!out.empty()) out += "\r\n";
        out.append(text, i, len);
        i += len;
    }
    return out;
}

}  // namespace vorn
