// Name completion and listing of the choosers, and the data file's exclusive, replace-safe opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "files/data_file.h"
#include "capture/file_chooser.h"
#include "files/file_replacement.h"
#include "support/scratch_dir.h"

namespace orv {
namespace {

TEST(CompleteFileNameTest, TrimsCutsAtTheFirstDotAndAppendsTheExtension) {
    struct Case {
        const char* typed;
        const char* name;  // nullptr: refused
    };
    const std::vector<Case> cases = {
        {"abc", "abc.42i"},     {"abc.txt", "abc.42i"}, {"abc.", "abc.42i"}, {"  abc  ", "abc.42i"},
        {"a.b.c", "a.42i"},     {"abc.42i", "abc.42i"}, {"", nullptr},       {"   ", nullptr},
        {".42i", nullptr},      {" .abc", nullptr},     {"dir/abc", nullptr}, {"../abc", nullptr},
        {"dir\\abc", nullptr},  {"/tmp/x", nullptr},    {"a b", "a b.42i"},  {"x/..y", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto name = CompleteFileName(c.typed, ".42i");
        if (c.name) {
            ASSERT_TRUE(name.has_value());
            EXPECT_EQ(*name, c.name);
        } else {
            EXPECT_FALSE(name.has_value()) << *name;
        }
    }
    EXPECT_FALSE(CompleteFileName(std::string_view("ab\0c", 4), ".42i").has_value());
    EXPECT_EQ(OverwriteQuestion("abc.42i"), "Файл с именем abc.42i существует. Продолжить запись ?");
}

class DataFilesTest : public test::ScratchDir {};

TEST_F(DataFilesTest, ListsNamesWithTheExtensionDirectoriesIncluded) {
    EXPECT_TRUE(ListDataFiles(".42i").empty());
    for (const char* n : {"b.42i", "A.42I", "c.42o", "d.42i.bak", "e42i", ".42i"}) WriteBytes(n, {1});
    std::filesystem::create_directory("dir.42i");
    auto names = ListDataFiles(".42i");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".42i", "A.42I", "b.42i", "dir.42i"}));
    EXPECT_EQ(ListDataFiles(".42o"), std::vector<std::string>{"c.42o"});
    EXPECT_TRUE(NameExists("dir.42i"));
    EXPECT_FALSE(NameExists("nothing.42i"));
}

TEST_F(DataFilesTest, AFileHeldByAnotherOpenIsRefused) {
    WriteBytes("a.42i", {1, 2, 3});
    auto first = DataFile::OpenForReading("a.42i");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DataFile::OpenForReading("a.42i"), nullptr);
    EXPECT_EQ(DataFile::CreateForWriting("a.42i"), nullptr);
    uint8_t buf[8];
    EXPECT_EQ(first->Read(buf), 3u);
    EXPECT_EQ(first->Read(buf), 0u);  // the end: a read returns no bytes
    first.reset();
    EXPECT_NE(DataFile::OpenForReading("a.42i"), nullptr);
    EXPECT_EQ(DataFile::OpenForReading("missing.42i"), nullptr);
}

TEST_F(DataFilesTest, WritingReplacesTheOldFileOnlyWhenClosed) {
    WriteBytes("a.42i", {9, 9});
    auto f = DataFile::CreateForWriting("a.42i");
    ASSERT_NE(f, nullptr);
    const uint8_t data[] = {1, 2, 3, 4};
    ASSERT_TRUE(f->Write(data));
    EXPECT_EQ(ReadBytes("a.42i"), (std::vector<uint8_t>{9, 9}));  // not yet
    EXPECT_TRUE(f->Close());
    EXPECT_EQ(ReadBytes("a.42i"), (std::vector<uint8_t>{1, 2, 3, 4}));

    // Given up half way: the old file stays and no temporary file is left.
    auto g = DataFile::CreateForWriting("a.42i");
    ASSERT_NE(g, nullptr);
    ASSERT_TRUE(g->Write(data));
    g->Discard();
    EXPECT_EQ(ReadBytes("a.42i"), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.42i"});
}

TEST_F(DataFilesTest, OnlyRegularFilesAreOpenedOrReplaced) {
    std::filesystem::create_directory("d.42i");
    EXPECT_EQ(DataFile::OpenForReading("d.42i"), nullptr);
    EXPECT_EQ(DataFile::CreateForWriting("d.42i"), nullptr);
    ASSERT_EQ(mkfifo("p.42i", 0644), 0);
    EXPECT_EQ(DataFile::OpenForReading("p.42i"), nullptr);  // and does not block
    EXPECT_EQ(DataFile::CreateForWriting("p.42i"), nullptr);
}

// Names the open chooser could never list, or the save could not write, are refused on saving.
TEST(CompleteFileNameTest, RefusesNamesTheOpenChooserCouldNotListOrTheSaveCouldNotWrite) {
    const std::vector<std::string> refused = {"日本", "emoji😀", "a\tb", "a\nb", "a\x01" "b", "\xff\xfe", "a\xc2\x98"};
    for (const std::string& typed : refused) {
        SCOPED_TRACE(typed);
        EXPECT_FALSE(CompleteFileName(typed, ".42i").has_value());
    }
    EXPECT_EQ(CompleteFileName("Полет 1", ".42o"), "Полет 1.42o");
    // The save needs room for its temporary: ".<name>.~XXXXXX" must fit 255 bytes.
    const std::size_t longest = kMaxReplaceableName - 4;
    EXPECT_TRUE(CompleteFileName(std::string(longest, 'x'), ".42i").has_value());
    EXPECT_FALSE(CompleteFileName(std::string(longest + 1, 'x'), ".42i").has_value());
    EXPECT_FALSE(CompleteFileName(std::string(251, 'x'), ".42i").has_value());
}

TEST_F(DataFilesTest, ReadOnlyAndLinkedTargetsAndStrayTemporaries) {
    WriteBytes("ro.42i", {1});
    chmod("ro.42i", 0444);
    EXPECT_EQ(DataFile::CreateForWriting("ro.42i"), nullptr);  // refused even for root
    EXPECT_EQ(ReadBytes("ro.42i"), std::vector<uint8_t>{1});

    std::filesystem::create_directory("shared");
    WriteBytes("shared/f.42o", {1});
    chmod("shared/f.42o", 0640);
    std::filesystem::create_symlink("shared/f.42o", "f.42o");
    WriteBytes(".f.42o.~AbCdEf", {7});  // left by a save that was killed
    auto f = DataFile::CreateForWriting("f.42o", true);
    ASSERT_NE(f, nullptr);
    const uint8_t data[] = {2, 3};
    ASSERT_TRUE(f->Write(data));
    ASSERT_TRUE(f->Close());
    EXPECT_TRUE(std::filesystem::is_symlink("f.42o"));
    EXPECT_EQ(ReadBytes("shared/f.42o"), (std::vector<uint8_t>{2, 3}));
    EXPECT_EQ(ReadBytes("shared/f.42o.bak"), std::vector<uint8_t>{1});
    struct stat st {};
    ASSERT_EQ(stat("shared/f.42o", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    auto names = ListDataFiles(".42o");
    EXPECT_EQ(names, std::vector<std::string>{"f.42o"});
    // The stray temporary sits beside the link, not the target: it is never listed and is swept by
    // a save of a file of its own name.
    WriteBytes(".g.42o.~AbCdEf", {7});
    ASSERT_NE(DataFile::CreateForWriting("g.42o"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(".g.42o.~AbCdEf"));

    auto reader = DataFile::OpenForReading("f.42o");
    ASSERT_NE(reader, nullptr);
    std::vector<uint8_t> all;
    EXPECT_TRUE(reader->ReadAll(all));
    EXPECT_EQ(all, (std::vector<uint8_t>{2, 3}));
}

}  // namespace
}  // namespace orv
