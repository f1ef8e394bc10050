// Saves replace an old file only by a complete new one, never write through a link in the last
// name component, and write a set of files all or none. Links and permission bits are POSIX
// cases; everything else runs on Windows too.
#include "atomic_file.h"
#include "file_names.h"
#include "param_name.h"
#include "rez_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

namespace fs = std::filesystem;
using rez::test::ReadBytes;
using rez::test::Utf8Path;
using rez::test::WriteBytes;

// A path as UTF-8 text with the platform's separators, as messages show it.
std::string Utf8(const fs::path& path) {
    const std::u8string text = fs::path(path).make_preferred().u8string();
    return std::string(text.begin(), text.end());
}

// What a folder holds, by name: a file's bytes, "<folder>", or "-> " and a link's target.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = Utf8(entry.path().filename());
        if (entry.is_symlink())
            entries[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            entries[name] = "<folder>";
        else
            entries[name] = ReadBytes(entry.path());
    }
    return entries;
}

std::string MessageOf(const std::function<void()>& save) {
    try {
        save();
    } catch (const rez::RezError& e) {
        return e.what();
    }
    return "no failure";
}

// Makes one step of every save fail while it lives.
class ScopedFault {
public:
    explicit ScopedFault(rez::SaveFaultHook hook) { rez::SetSaveFaultHook(std::move(hook)); }
    ~ScopedFault() { rez::SetSaveFaultHook({}); }
    ScopedFault(const ScopedFault&) = delete;
    ScopedFault& operator=(const ScopedFault&) = delete;
};

// A hook that fails `step` of the file named `name` with ENOSPC.
rez::SaveFaultHook FailStep(rez::SaveStep step, std::string name) {
    return [step, name](rez::SaveStep s, const fs::path& target, std::uint64_t, std::size_t&) {
        return s == step && Utf8(target.filename()) == name ? ENOSPC : 0;
    };
}

TEST(AtomicFile, ReplacesAnOldFileWholeAndKeepsItsPermissions) {
    rez::test::TempDir dir;
    const fs::path path = dir.path() / Utf8Path("Иванов И.И. Table.rtf");
    WriteBytes(path, std::string(1000, 'o'));
#ifndef _WIN32
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
#endif
    // Up to the one rename the name holds the old file, so a save cut short by a crash or a
    // kill leaves it where the user looks for it.
    std::string atRename = "not reached";
    {
        ScopedFault watch(
            [&](rez::SaveStep step, const fs::path& target, std::uint64_t, std::size_t&) {
                if (step == rez::SaveStep::MoveIn)
                    atRename = fs::is_regular_file(target) ? ReadBytes(target) : "no file";
                return 0;
            });
        rez::WriteFileAtomically(path, "new");
    }
    EXPECT_EQ(atRename, std::string(1000, 'o'));
    EXPECT_EQ(ReadBytes(path), "new");
#ifndef _WIN32
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
    EXPECT_EQ(Snapshot(dir.path()).size(), 1u);
}

struct RefusalCase {
    const char* name;
    // Prepares the folder and returns the target to save to.
    std::function<fs::path(const fs::path& dir)> prepare;
};
REZ_PRINT_CASE_BY_NAME(RefusalCase)

class SaveRefused : public testing::TestWithParam<RefusalCase> {};

TEST_P(SaveRefused, SaysCannotCreateAndChangesNothing) {
    rez::test::TempDir dir;
    WriteBytes(dir.path() / "old.rtf", "old");
    const fs::path target = GetParam().prepare(dir.path());
    const auto before = Snapshot(dir.path());
    EXPECT_EQ(MessageOf([&] { rez::WriteFileAtomically(target, "new"); }),
              "Cannot create file " + Utf8(target));
    EXPECT_EQ(Snapshot(dir.path()), before);
    // A read-only file must not outlive the test's folder.
    std::error_code ignored;
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, ignored);
}

const RefusalCase kRefusals[] = {
    {"MissingFolder",
     [](const fs::path& d) { return d / Utf8Path("Результаты") / Utf8Path("Я Scales.gif"); }},
    {"FolderOnTheName",
     [](const fs::path& d) {
         fs::create_directory(d / "taken");
         return d / "taken";
     }},
    {"NoFileName", [](const fs::path& d) { return d / ""; }},
    // The name fits, but its temporary name does not.
    {"NameTooLongForItsTemporary", [](const fs::path& d) { return d / std::string(250, 'a'); }},
#ifdef _WIN32
    // The read-only attribute. On POSIX permissions do not bind root, so the write-failure
    // tests check a read-only file as the user nobody.
    {"ReadOnlyFile",
     [](const fs::path& d) {
         fs::permissions(d / "old.rtf",
                         fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
         return d / "old.rtf";
     }},
#endif
};

INSTANTIATE_TEST_SUITE_P(Targets, SaveRefused, testing::ValuesIn(kRefusals), rez::test::ByName());

#ifndef _WIN32
struct LinkCase {
    const char* name;
    const char* linkTarget; // relative to the folder "outside"
};
REZ_PRINT_CASE_BY_NAME(LinkCase)

class LinkOnTheName : public testing::TestWithParam<LinkCase> {};

// A link planted on an output name is replaced by the new file; nothing outside changes.
TEST_P(LinkOnTheName, IsReplacedNotFollowed) {
    rez::test::TempDir dir;
    const fs::path outside = dir.path() / "outside";
    const fs::path out = dir.path() / "out";
    fs::create_directories(outside / "folder");
    fs::create_directories(out);
    WriteBytes(outside / "file", "precious");
    fs::create_symlink(outside / GetParam().linkTarget, out / "Scales.gif");
    const auto outsideBefore = Snapshot(outside);
    rez::WriteFileAtomically(out / "Scales.gif", "new");
    EXPECT_FALSE(fs::is_symlink(out / "Scales.gif"));
    EXPECT_EQ(ReadBytes(out / "Scales.gif"), "new");
    EXPECT_EQ(Snapshot(outside), outsideBefore);
    EXPECT_EQ(Snapshot(out).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Links, LinkOnTheName,
                         testing::Values(LinkCase{"ToAFile", "file"},
                                         LinkCase{"Dangling", "missing"},
                                         LinkCase{"ToAFolder", "folder"}),
                         rez::test::ByName());

TEST(AtomicFile, LinkAmongTheFoldersIsFollowed) {
    rez::test::TempDir dir;
    fs::create_directories(dir.path() / "share" / "Results");
    fs::create_directory_symlink(dir.path() / "share" / "Results", dir.path() / "Results");
    rez::WriteFileAtomically(dir.path() / "Results" / "An.rtf", "text");
    EXPECT_EQ(ReadBytes(dir.path() / "share" / "Results" / "An.rtf"), "text");
}
#endif

struct SetCase {
    const char* name;
    std::function<rez::SaveFaultHook()> fault; // none: the set fails on its own
    const char* failingSuffix;
    const char* reason;        // empty: the file cannot be created
    bool plantsFolder = false; // the fault leaves a folder on the failing file's name
};
REZ_PRINT_CASE_BY_NAME(SetCase)

const std::string kStem = "Иванов И.И.";

// A hook that puts a folder on the name of the file with `suffix` just before it is renamed
// there, so that the system's own rename fails after the files before it are in place.
rez::SaveFaultHook PlantFolderBeforeRename(std::string suffix) {
    return [name = kStem + suffix](rez::SaveStep s, const fs::path& target, std::uint64_t,
                                   std::size_t&) {
        if (s == rez::SaveStep::MoveIn && Utf8(target.filename()) == name)
            fs::create_directory(target);
        return 0;
    };
}

// What the system says when a file is renamed onto a folder (the Windows text is Wine's).
#ifdef _WIN32
constexpr const char* kRenameOntoFolder = "Access denied";
#else
constexpr const char* kRenameOntoFolder = "Is a directory";
#endif

class FileSet : public testing::TestWithParam<SetCase> {};

// Four files with Cyrillic names, two of them replacing old files, the fourth where a folder
// may sit: whatever step fails, every old file stays, no new file appears and nothing
// temporary is left.
TEST_P(FileSet, IsWrittenAllOrNone) {
    rez::test::TempDir dir;
    const auto pathOf = [&](std::string_view suffix) {
        return dir.path() / Utf8Path(kStem + std::string(suffix));
    };
    WriteBytes(pathOf(" Table.rtf"), "old table");
    WriteBytes(pathOf(" An.rtf"), "old analysis");
#ifdef _WIN32
    WriteBytes(pathOf(" Scales.gif"), "old chart");
#else
    fs::create_symlink(pathOf(" An.rtf").filename(), pathOf(" Scales.gif"));
#endif
    if (!GetParam().fault)
        fs::create_directory(pathOf(" Factors.gif"));
    auto expected = Snapshot(dir.path());
    if (GetParam().plantsFolder)
        expected[kStem + GetParam().failingSuffix] = "<folder>";
    std::vector<rez::FileBytes> files;
    for (const std::string_view suffix : rez::GroupFileSuffixes)
        files.push_back({pathOf(suffix), "new" + std::string(suffix)});

    std::optional<ScopedFault> fault;
    if (GetParam().fault)
        fault.emplace(GetParam().fault());
    const std::string failing = Utf8(pathOf(GetParam().failingSuffix));
    EXPECT_EQ(MessageOf([&] { rez::WriteFiles(files); }),
              *GetParam().reason ? "Cannot write file " + failing + ": " + GetParam().reason
                                 : "Cannot create file " + failing);
    EXPECT_EQ(Snapshot(dir.path()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FileSet,
    testing::Values(SetCase{"FolderOnTheLastName", {}, " Factors.gif", ""},
                    SetCase{"WriteOfTheLast",
                            [] { return FailStep(rez::SaveStep::Write, kStem + " Factors.gif"); },
                            " Factors.gif", "No space left on device"},
                    SetCase{"SyncOfTheFirst",
                            [] { return FailStep(rez::SaveStep::Sync, kStem + " Table.rtf"); },
                            " Table.rtf", "No space left on device"},
                    SetCase{"CloseOfTheSecond",
                            [] { return FailStep(rez::SaveStep::Close, kStem + " An.rtf"); },
                            " An.rtf", "No space left on device"},
                    SetCase{
                        "MovingTheThirdOldEntryAside",
                        [] { return FailStep(rez::SaveStep::MoveAside, kStem + " Scales.gif"); },
                        " Scales.gif", "No space left on device"},
                    SetCase{"RenameOfTheFirst",
                            [] { return FailStep(rez::SaveStep::MoveIn, kStem + " Table.rtf"); },
                            " Table.rtf", "No space left on device"},
                    SetCase{"RenameOfTheLastAfterThreeInPlace",
                            [] { return FailStep(rez::SaveStep::MoveIn, kStem + " Factors.gif"); },
                            " Factors.gif", "No space left on device"},
                    SetCase{"SystemRefusesTheLastRenameAfterThreeInPlace",
                            [] { return PlantFolderBeforeRename(" Factors.gif"); }, " Factors.gif",
                            kRenameOntoFolder, true}),
    rez::test::ByName());

#ifdef _WIN32
// The system's reason for a failed rename, in the user's language and readable as UTF-8 (a
// garbled byte would show escaped). ctest runs this once more under a Russian Wine.
TEST(AtomicFile, SystemReasonIsReadableInTheUsersLanguage) {
    rez::test::TempDir dir;
    const fs::path target = dir.path() / "Scales.gif";
    ScopedFault plant([](rez::SaveStep step, const fs::path& path, std::uint64_t, std::size_t&) {
        if (step == rez::SaveStep::MoveIn)
            fs::create_directory(path);
        return 0;
    });
    const std::string message = MessageOf([&] { rez::WriteFileAtomically(target, "new"); });
    const std::string prefix = "Cannot write file " + Utf8(target) + ": ";
    ASSERT_EQ(message.substr(0, prefix.size()), prefix);
    // Access denied, as Wine says it in English and in Russian, and as Windows says it.
    const std::string reason = message.substr(prefix.size());
    EXPECT_TRUE(reason == "Access denied" || reason == "Доступ запрещён" ||
                reason == "Access is denied")
        << reason;
}
#endif

TEST(AtomicFile, StagedFileWrittenByNameIsPutInPlace) {
    rez::test::TempDir dir;
    const fs::path target = dir.path() / "book.xlsx";
    WriteBytes(target, "old");
    std::vector<rez::StagedFile> staged;
    staged.emplace_back(target);
    EXPECT_EQ(staged[0].temporary().parent_path(), dir.path());
    WriteBytes(staged[0].temporary(), "written by a library"); // as a library writes by name
    staged[0].Finish();
    rez::CommitFiles(staged);
    EXPECT_EQ(ReadBytes(target), "written by a library");
    EXPECT_EQ(Snapshot(dir.path()).size(), 1u);
}

TEST(AtomicFile, StagedFileNotCommittedLeavesNothing) {
    rez::test::TempDir dir;
    {
        rez::StagedFile staged(dir.path() / "x");
        staged.Write("abc");
    }
    EXPECT_TRUE(Snapshot(dir.path()).empty());
}

} // namespace
