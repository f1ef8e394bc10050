#include "bench_files.h"

#include "cp1251.h"
#include "questionnaire.h"
#include "scramble.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rez::bench {

namespace fs = std::filesystem;

namespace {

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

// Three-digit respondent number, as in "2-017REZ.cry".
std::string Numbered(int number) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%03d", number);
    return text.data();
}

} // namespace

ScratchDir::ScratchDir(const std::string& tag) {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() / ("rez-bench-" + tag + "-" + std::to_string(ProcessId()) +
                                         "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string ScratchDir::dirText() const {
    const auto text = path_.u8string();
    return std::string(text.begin(), text.end()) + "/";
}

std::vector<std::string> MadeUpRespondentLines(int role, int number, unsigned seed) {
    static constexpr std::array<const char*, 4> RoleTexts = {
        "Самооценка руководителя", "Руководитель руководителя", "Подчиненный руководителя",
        "Коллега руководителя"};
    const std::string who = Numbered(number);
    std::vector<std::string> lines = {
        "ООО «Волжская торговая компания», филиал в г. Самара",
        "Анкета REZ, версия 2",
        "Петров Алексей Николаевич",
        "Начальник отдела продаж",
        RoleTexts[static_cast<std::size_t>(role)],
        "Отдел продаж",
        "Респондент " + who + " Сидорова Мария Ивановна",
        "Менеджер по работе с клиентами",
        "Стаж работы с руководителем: 3 года",
        "Директор филиала",
        "Дирекция филиала",
        "14.03.2026",
        "Суммы по шкалам",
    };
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> answer(1, 9);
    for (const int items : ScaleItemCounts) {
        int total = 0;
        for (int i = 0; i < items; ++i)
            total += answer(random);
        lines.push_back(std::to_string(total));
    }
    return lines;
}

void WriteRespondentFile(const fs::path& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    const auto bytes = EncodeCp1251(text);
    if (!bytes)
        throw std::runtime_error("made-up text not representable in Windows-1251");
    const std::string scrambled = ScrambleText(*bytes);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(scrambled.data(), static_cast<std::streamsize>(scrambled.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write benchmark file " + path.string());
}

int WriteGroupDirectory(const fs::path& dir, int perRole, bool withSelf,
                        const std::string& groupName, unsigned seed) {
    int written = 0;
    const auto write = [&](int role, int number) {
        const std::string name = std::to_string(role) + "-" + Numbered(number) + "REZ.cry";
        auto lines = MadeUpRespondentLines(role, number,
                                           seed + static_cast<unsigned>(role * 100003 + number));
        if (!groupName.empty())
            lines[2] = groupName;
        WriteRespondentFile(dir / name, lines);
        ++written;
    };
    if (withSelf)
        write(rowSelf, 1);
    for (int role = rowMang; role <= rowColl; ++role)
        for (int number = 1; number <= perRole; ++number)
            write(role, number);
    return written;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
#ifdef _WIN32
    std::ifstream in(fs::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t filled = 0;
        while (ok && filled < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
            ok = got > 0;
            if (ok)
                filled += static_cast<std::size_t>(got);
        }
    }
    ::close(fd);
    return ok;
#endif
}

} // namespace rez::bench
