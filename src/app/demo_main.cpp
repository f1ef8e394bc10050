// Model-level demo until the main window exists: reads every sample group beside the
// program and prints each respondent's role, name and scale values.

#include "number_text.h"
#include "questionnaire.h"
#include "respondent_dir.h"
#include "respondent_file.h"
#include "rez_error.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

int main(int, char** argv) {
    const fs::path dataDir = fs::absolute(argv[0]).parent_path() / "Data";
    std::vector<fs::path> groups;
    for (const auto& entry : fs::directory_iterator(dataDir))
        if (entry.is_directory())
            groups.push_back(entry.path());
    std::sort(groups.begin(), groups.end());
    rez::LineBuffer buffer;
    int status = 0;
    for (const fs::path& group : groups) {
        std::cout << "== " << group.filename().string() << '\n';
        const std::string dir = group.string() + "/";
        try {
            for (const std::string& name : rez::ListRespondentEntries(dir)) {
                const auto file = rez::ReadRespondentFile(dir + name, buffer);
                const int role = rez::RoleFromFileName(name, dir + name);
                std::cout << rez::RowNames[static_cast<std::size_t>(role)] << ": " << file.Line(6)
                          << " (" << file.Line(rez::GroupNameLine) << ")\n  ";
                for (int s = 0; s < rez::ScaleCount; ++s)
                    std::cout << rez::ScaleLetters[static_cast<std::size_t>(s)] << '='
                              << rez::FormatCell(rez::ScaleValue(file, s, '.'), '.') << ' ';
                std::cout << '\n';
            }
        } catch (const rez::RezError& e) {
            std::cerr << e.what() << '\n';
            status = 1;
        }
    }
    return status;
}
