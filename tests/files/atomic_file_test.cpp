// Saves replace an old file only by a complete new one, never write through a link in the last
// name component, and write a set of files all or none.
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
using rez::test::WriteBytes;

// What a folder holds, by name: a file's bytes, "<folder>", or "-> " and a link's target.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
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
        return s == step && target.filename() == name ? ENOSPC : 0;
    };
}

TEST(AtomicFile, ReplacesAnOldFileWholeAndKeepsItsPermissions) {
    rez::test::TempDir dir;
    const fs::path path = dir.path() / "t.rtf";
    WriteBytes(path, std::string(1000, 'o'));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
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
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
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
              "Cannot create file " + target.string());
    EXPECT_EQ(Snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveRefused,
    testing::Values(RefusalCase{"MissingFolder",
                                [](const fs::path& d) { return d / "Results" / "x.gif"; }},
                    RefusalCase{"FolderOnTheName",
                                [](const fs::path& d) {
                                    fs::create_directory(d / "taken");
                                    return d / "taken";
                                }},
                    RefusalCase{"NoFileName", [](const fs::path& d) { return d / ""; }},
                    // The name fits, but its temporary name does not.
                    RefusalCase{"NameTooLongForItsTemporary",
                                [](const fs::path& d) { return d / std::string(250, 'a'); }}),
    rez::test::ByName());

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

struct SetCase {
    const char* name;
    std::function<rez::SaveFaultHook()> fault; // none: the set fails on its own
    const char* failingFile;
    const char* reason; // empty: the file cannot be created
};
REZ_PRINT_CASE_BY_NAME(SetCase)

class FileSet : public testing::TestWithParam<SetCase> {};

// Four files, two of them replacing old files, the fourth where a folder may sit: whatever
// step fails, every old file stays, no new file appears and nothing temporary is left.
TEST_P(FileSet, IsWrittenAllOrNone) {
    rez::test::TempDir dir;
    WriteBytes(dir.path() / "a Table.rtf", "old table");
    WriteBytes(dir.path() / "a An.rtf", "old analysis");
    fs::create_symlink("a An.rtf", dir.path() / "a Scales.gif");
    if (!GetParam().fault)
        fs::create_directory(dir.path() / "a Factors.gif");
    const auto before = Snapshot(dir.path());
    std::vector<rez::FileBytes> files;
    for (const std::string_view suffix : rez::GroupFileSuffixes)
        files.push_back({dir.path() / ("a" + std::string(suffix)), "new" + std::string(suffix)});

    std::optional<ScopedFault> fault;
    if (GetParam().fault)
        fault.emplace(GetParam().fault());
    const std::string failing = (dir.path() / GetParam().failingFile).string();
    EXPECT_EQ(MessageOf([&] { rez::WriteFiles(files); }),
              *GetParam().reason ? "Cannot write file " + failing + ": " + GetParam().reason
                                 : "Cannot create file " + failing);
    EXPECT_EQ(Snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FileSet,
    testing::Values(
        SetCase{"FolderOnTheLastName", {}, "a Factors.gif", ""},
        SetCase{"WriteOfTheLast", [] { return FailStep(rez::SaveStep::Write, "a Factors.gif"); },
                "a Factors.gif", "No space left on device"},
        SetCase{"SyncOfTheFirst", [] { return FailStep(rez::SaveStep::Sync, "a Table.rtf"); },
                "a Table.rtf", "No space left on device"},
        SetCase{"CloseOfTheSecond", [] { return FailStep(rez::SaveStep::Close, "a An.rtf"); },
                "a An.rtf", "No space left on device"},
        SetCase{"MovingTheOldLinkAside",
                [] { return FailStep(rez::SaveStep::MoveAside, "a Scales.gif"); }, "a Scales.gif",
                "No space left on device"},
        SetCase{"RenameOfTheFirst", [] { return FailStep(rez::SaveStep::MoveIn, "a Table.rtf"); },
                "a Table.rtf", "No space left on device"},
        SetCase{"RenameOfTheLastAfterThreeInPlace",
                [] { return FailStep(rez::SaveStep::MoveIn, "a Factors.gif"); }, "a Factors.gif",
                "No space left on device"}),
    rez::test::ByName());

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
