// Writes a made-up cohort for the rez-report benchmarks: GROUPS folders "g0001" ... under
// OUTDIR, each one manager's group of FILES respondent files (one self-assessment, the rest
// spread over managers, subordinates and colleagues in turn), with its own name and answers.
//
//   make_cohort OUTDIR GROUPS FILES
//
// Prints the folders, one a line, for a shell to pass on to rez-report.
#include "bench_files.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

namespace {

// Names of the made-up managers: surname and initials, distinct for up to 8 x 8 x 8 x 100.
std::string ManagerName(int index) {
    static const char* const Surnames[] = {"Петров", "Смирнова", "Кузнецов", "Орлова",
                                           "Волков", "Лебедева", "Соколов",  "Новикова"};
    static const char* const Initials[] = {"А.", "Б.", "В.", "Г.", "Д.", "Е.", "И.", "К."};
    return std::string(Surnames[index % 8]) + " " + Initials[(index / 8) % 8] +
           Initials[(index / 64) % 8] + " " + std::to_string(index / 512 + 1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: make_cohort OUTDIR GROUPS FILES\n", stderr);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const int groups = std::atoi(argv[2]);
    const int files = std::atoi(argv[3]);
    if (groups < 1 || files < 4) {
        std::fputs("make_cohort: GROUPS must be at least 1 and FILES at least 4\n", stderr);
        return 2;
    }
    try {
        for (int g = 0; g < groups; ++g) {
            char name[16];
            std::snprintf(name, sizeof name, "g%04d", g + 1);
            const std::filesystem::path dir = out / name;
            std::filesystem::create_directories(dir);
            // (files - 1) outside raters, whole rounds of the three roles.
            rez::bench::WriteGroupDirectory(dir, (files - 1) / 3, true, ManagerName(g),
                                            static_cast<unsigned>(g) * 7919u);
            std::printf("%s\n", dir.string().c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_cohort: %s\n", e.what());
        return 1;
    }
    return 0;
}
