#include "files/list_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "support/scratch_dir.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

class ListFileTest : public test::ScratchDir {
protected:
    // A decoder that takes every byte as a line of its own and says what it was given.
    RestoredList Decode(std::span<const uint8_t> bytes, bool whole, std::string_view name) {
        given = {Bytes(bytes.begin(), bytes.end()), whole, std::string(name)};
        RestoredList out;
        for (const uint8_t b : bytes) out.lines.push_back(std::string(1, char(b)));
        out.lossy = lossy;
        if (lossy) out.messages.push_back("left out");
        return out;
    }
    RestoredList Restore(const std::string& path) {
        return RestoreListFile(DataFile::OpenForReading(path),
                               [this](auto bytes, bool whole, auto name) { return Decode(bytes, whole, name); },
                               lossyFile);
    }

    struct Given {
        Bytes bytes;
        bool whole = false;
        std::string name;
    } given;
    bool lossy = false;
    std::string lossyFile;
};

// A restore hands the decoder the whole file and its name, closes the file (it can be opened
// again) and names it as lossy only when the decoder left something out.
TEST_F(ListFileTest, RestoreDecodesTheWholeFileAndMarksItLossyOnlyWhenSomethingWasLeftOut) {
    WriteBytes("a.42i", {'x', 'y', 'z'});
    lossyFile = "other.42i";
    const RestoredList clean = Restore("a.42i");
    EXPECT_EQ(given.bytes, (Bytes{'x', 'y', 'z'}));
    EXPECT_TRUE(given.whole);
    EXPECT_EQ(given.name, "a.42i");
    EXPECT_EQ(clean.lines, (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_TRUE(clean.messages.empty());
    EXPECT_EQ(lossyFile, "");
    EXPECT_NE(DataFile::OpenForReading("a.42i"), nullptr);

    lossy = true;
    const RestoredList damaged = Restore("a.42i");
    EXPECT_EQ(damaged.messages, (std::vector<std::string>{"left out"}));
    EXPECT_EQ(lossyFile, "a.42i");
}

// The first save over the file a lossy restore came from keeps the old file as ".bak" and forgets
// the mark; a save over any other file (or the same file again) keeps no copy.
TEST_F(ListFileTest, OnlyTheFirstSaveOverALossyFileKeepsTheOldOneAsBak) {
    WriteBytes("a.42o", {1, 2, 3});
    WriteBytes("b.42o", {7});
    lossy = true;
    Restore("a.42o");
    ASSERT_EQ(lossyFile, "a.42o");

    EXPECT_TRUE(SaveListFile(DataFile::CreateForWriting("b.42o"), Bytes{8, 9}, lossyFile));
    EXPECT_EQ(ReadBytes("b.42o"), (Bytes{8, 9}));
    EXPECT_FALSE(std::filesystem::exists("b.42o.bak"));
    EXPECT_EQ(lossyFile, "a.42o");

    EXPECT_TRUE(SaveListFile(DataFile::CreateForWriting("a.42o"), Bytes{4}, lossyFile));
    EXPECT_EQ(ReadBytes("a.42o"), (Bytes{4}));
    EXPECT_EQ(ReadBytes("a.42o.bak"), (Bytes{1, 2, 3}));
    EXPECT_EQ(lossyFile, "");

    EXPECT_TRUE(SaveListFile(DataFile::CreateForWriting("a.42o"), Bytes{5}, lossyFile));
    EXPECT_EQ(ReadBytes("a.42o.bak"), (Bytes{1, 2, 3}));
}

// A save that cannot write the whole file (a file size limit; SIGXFSZ ignored, so write(2) fails
// with EFBIG) reports it, leaves the old file and the lossy mark as they were and no temporary.
TEST_F(ListFileTest, ASaveThatCannotWriteEverythingLeavesTheOldFile) {
    WriteBytes("a.42i", {1, 2, 3});
    lossyFile = "a.42i";
    auto file = DataFile::CreateForWriting("a.42i", false);
    ASSERT_NE(file, nullptr);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveListFile(std::move(file), Bytes(4096, 0xAB), lossyFile);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes("a.42i"), (Bytes{1, 2, 3}));
    EXPECT_EQ(lossyFile, "a.42i");
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.42i"});
}

}  // namespace
}  // namespace orv
