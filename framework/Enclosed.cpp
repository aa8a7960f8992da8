#include "framework/Enclosed.h"

namespace parvela {

std::string Enclosed(std::string_view text, char open, char close) {
    std::string out(1, open);
    for (char c : text) {
        out += c;
        if (c == close)
            out += close;
    }
    return out + close;
}

} // namespace parvela
