#include "scramble.h"

namespace rez {

std::string UnscrambleText(std::string_view bytes) {
    std::string out(bytes);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(out[i] ^ UnscrambleKey[i % UnscrambleKey.size()]);
    return out;
}

} // namespace rez
