// Fuzzes the respondent file reader and the number parser: the input is the stored
// (scrambled) file; its first byte also chooses the file name's first character.

#include "number_text.h"
#include "questionnaire.h"
#include "respondent_file.h"
#include "rez_error.h"
#include "scramble.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/rez-fuzz-reader-" + std::to_string(::getpid());
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    rez::LineBuffer buffer;
    try {
        const auto file = rez::ReadRespondentFile(path, buffer);
        const std::string name = std::string(1, size ? bytes[0] : '0') + "REZ.cry";
        try {
            rez::RoleFromFileName(name, path);
        } catch (const rez::RezError&) {
        }
        for (const char sep : {'.', ','}) {
            for (int s = 0; s < rez::ScaleCount; ++s) {
                try {
                    const double v = rez::ScaleValue(file, s, sep);
                    (void)rez::FormatCell(v, sep);
                } catch (const rez::RezError&) {
                }
            }
        }
        // The parser on the raw plain text as one line, too.
        try {
            (void)rez::ParseTotal(rez::UnscrambleText(bytes), '.');
        } catch (const rez::RezError&) {
        }
    } catch (const rez::RezError&) {
    }
    return 0;
}
