// Fuzzes rez-report's option parsing: the input is the command line, its arguments separated
// by NUL bytes. Any command line gives options or a usage error, never a crash; options that
// run name at least one group folder, none of them empty, and only an accepted separator.

#include "report_options.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back() += static_cast<char>(data[i]);
    }
    const auto parsed = rez::ParseReportOptions(arguments);
    if (const auto* options = std::get_if<rez::ReportOptions>(&parsed)) {
        if (options->action == rez::ReportOptions::Action::Run && options->groupDirs.empty())
            std::abort();
        for (const std::string& dir : options->groupDirs)
            if (dir.empty())
                std::abort();
        if (options->decimalSeparator &&
            !rez::IsAcceptedDecimalSeparator(*options->decimalSeparator))
            std::abort();
    } else {
        for (const char c : std::get<rez::UsageError>(parsed).message)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                std::abort();
    }
    return 0;
}
