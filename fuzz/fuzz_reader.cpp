// Fuzzes the respondent file reader, the number parser and the texts made from file content,
// in memory: the input's first byte is the first character of the file's name, the rest the
// stored (scrambled) bytes. Reading the file from disk is covered by the tests.
//
// Besides never crashing, hanging or reading out of bounds, it checks what must hold for any
// content: a file stem holds no character that a file name may not hold and fits its length
// limit, and a message holds no control character.

#include "file_names.h"
#include "number_text.h"
#include "questionnaire.h"
#include "respondent_file.h"
#include "rez_error.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool holds) {
    if (!holds)
        std::abort();
}

void CheckMessage(const std::string& message) {
    for (const char c : message)
        Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    Check(message.find("\xc2\x80") == std::string::npos); // no C1 control as UTF-8 either
}

void CheckStem(const std::string& stem) {
    for (const char c : stem)
        Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F &&
              std::string_view("/\\:*?\"<>|").find(c) == std::string_view::npos);
    for (const std::string_view suffix : rez::GroupFileSuffixes)
        Check(stem.size() + suffix.size() + rez::TemporaryNameExtraBytes <= rez::MaxFileNameBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string name = std::string(input.substr(0, 1)) + "REZ.cry";
    const std::string stored(input.substr(size > 0 ? 1 : 0));
    rez::LineBuffer buffer;
    const rez::RespondentFile file = rez::ParseRespondentBytes(stored, buffer, "/g/" + name);
    try {
        rez::RoleFromFileName(name, "/g/" + name);
    } catch (const rez::RezError& e) {
        CheckMessage(e.what());
    }
    for (const char sep : {'.', ','}) {
        for (int s = 0; s < rez::ScaleCount; ++s) {
            const std::size_t line = rez::FirstTotalLine + static_cast<std::size_t>(s);
            if (const auto total = rez::TryParseTotal(file.Line(line), sep)) {
                Check(std::isfinite(*total));
                (void)rez::FormatCell(rez::ScaleValue(file, s, sep), sep);
                continue;
            }
            // The first bad total ends a run: its message, once per separator (throwing is
            // slow, and the other bad lines take the same path).
            try {
                rez::ScaleValue(file, s, sep);
                Check(false);
            } catch (const rez::RezError& e) {
                CheckMessage(e.what());
            }
            break;
        }
    }
    const std::string& groupName = file.Line(rez::GroupNameLine);
    CheckStem(rez::ReportFileStem(groupName));
    (void)rez::FoldFileNameCase(groupName);
    CheckMessage(rez::EscapeForMessage(input));
    return 0;
}
