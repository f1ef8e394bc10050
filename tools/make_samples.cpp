// Builds the bundled sample groups: every "<name>.txt" (UTF-8, one line per line) under
// SOURCE/<group>/ becomes OUT/<group>/<name>.cry, a Windows-1251 respondent file with CR LF
// line ends, scrambled as the data-collection program stores it.
//
// usage: make-samples SOURCE OUT

#include "cp1251.h"
#include "scramble.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return text.str();
}

// UTF-8 text with LF (or CR LF) line ends -> Windows-1251 with CR LF after every line.
std::string ToRespondentPlainText(const std::string& utf8, const fs::path& source) {
    std::string withCrLf;
    std::istringstream lines(utf8);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        withCrLf += line + "\r\n";
    }
    rez::Cp1251EncodeError error;
    const auto bytes = rez::EncodeCp1251(withCrLf, &error);
    if (!bytes)
        throw std::runtime_error(source.string() + ": character U+" +
                                 std::to_string(static_cast<unsigned long>(error.codePoint)) +
                                 " has no Windows-1251 byte");
    return *bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make-samples SOURCE OUT\n";
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path out = argv[2];
    try {
        std::vector<fs::path> groups;
        for (const auto& entry : fs::directory_iterator(source))
            if (entry.is_directory())
                groups.push_back(entry.path());
        std::sort(groups.begin(), groups.end());
        for (const fs::path& group : groups) {
            const fs::path target = out / group.filename();
            fs::create_directories(target);
            // Files of samples that no longer exist must not linger in the group.
            for (const auto& old : fs::directory_iterator(target))
                if (old.path().extension() == ".cry")
                    fs::remove(old.path());
            for (const auto& entry : fs::directory_iterator(group)) {
                if (entry.path().extension() != ".txt")
                    continue;
                const std::string stored =
                    rez::ScrambleText(ToRespondentPlainText(ReadText(entry.path()), entry.path()));
                fs::path name = entry.path().filename();
                name.replace_extension(".cry");
                std::ofstream file(target / name, std::ios::binary | std::ios::trunc);
                file.write(stored.data(), static_cast<std::streamsize>(stored.size()));
                if (!file.flush())
                    throw std::runtime_error("cannot write " + (target / name).string());
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "make-samples: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
