// The one way files are replaced and read: targets that must not be replaced, permissions, links,
// saves killed midway, and files that exist but cannot be read.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "files/file_read.h"
#include "files/record_read.h"
#include "files/file_replacement.h"
#include "support/scratch_dir.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class FileReplacementTest : public test::ScratchDir {
protected:
    static unsigned Mode(const std::string& name) {
        struct stat st {};
        EXPECT_EQ(lstat(name.c_str(), &st), 0);
        return st.st_mode & 07777;
    }
};

TEST_F(FileReplacementTest, ReadOnlyAndNonRegularTargetsAreRefusedAndLeftAsTheyWere) {
    WriteBytes("ro.stt", {1, 2, 3});
    chmod("ro.stt", 0444);
    // Root could write it; the mode bits still mark it read-only.
    EXPECT_EQ(ReplaceFile("ro.stt", Bytes{9}), SaveError::ReadOnly);
    EXPECT_FALSE(WriteFileReplacing("ro.stt", Bytes{9}));
    EXPECT_EQ(ReadBytes("ro.stt"), (Bytes{1, 2, 3}));
    EXPECT_EQ(Mode("ro.stt"), 0444u);

    ASSERT_EQ(mkfifo("fifo.stt", 0644), 0);
    EXPECT_EQ(ReplaceFile("fifo.stt", Bytes{9}), SaveError::NotRegularFile);
    EXPECT_TRUE(fs::is_fifo("fifo.stt"));
    EXPECT_EQ(ReadFileBytes("fifo.stt").status, ReadStatus::NotRegular);  // and it did not block

    fs::create_directory("dir.stt");
    EXPECT_EQ(ReplaceFile("dir.stt", Bytes{9}), SaveError::NotRegularFile);
    EXPECT_EQ(ReplaceFile("no/such.stt", Bytes{9}), SaveError::CannotCreate);
    std::vector<std::string> names = Entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dir.stt", "fifo.stt", "ro.stt"}));
}

TEST_F(FileReplacementTest, KeepsPermissionBitsAndWritesThroughSymbolicLinks) {
    WriteBytes("private.stt", {1});
    chmod("private.stt", 0600);
    ASSERT_TRUE(WriteFileReplacing("private.stt", Bytes{2, 3}));
    EXPECT_EQ(Mode("private.stt"), 0600u);
    EXPECT_EQ(ReadBytes("private.stt"), (Bytes{2, 3}));
    ASSERT_TRUE(WriteFileReplacing("new.stt", Bytes{4}));
    EXPECT_EQ(Mode("new.stt"), 0644u);

    // A relative link into a subfolder, and a link to that link.
    fs::create_directory("shared");
    WriteBytes("shared/Orvfrmt.stt", {1});
    fs::create_symlink("shared/Orvfrmt.stt", "Orvfrmt.stt");
    fs::create_symlink("Orvfrmt.stt", "again.stt");
    ASSERT_EQ(ReplaceFile("again.stt", Bytes{7, 8}), SaveError::None);
    EXPECT_TRUE(fs::is_symlink("Orvfrmt.stt"));
    EXPECT_TRUE(fs::is_symlink("again.stt"));
    EXPECT_EQ(ReadBytes("shared/Orvfrmt.stt"), (Bytes{7, 8}));
    EXPECT_EQ(std::distance(fs::directory_iterator("shared"), fs::directory_iterator()), 1);

    // A read-only target behind a link is refused too; a dangling link creates its target.
    chmod("shared/Orvfrmt.stt", 0444);
    EXPECT_EQ(ReplaceFile("Orvfrmt.stt", Bytes{0}), SaveError::ReadOnly);
    fs::create_symlink("shared/later.stt", "later.stt");
    ASSERT_TRUE(WriteFileReplacing("later.stt", Bytes{5}));
    EXPECT_TRUE(fs::is_symlink("later.stt"));
    EXPECT_EQ(ReadBytes("shared/later.stt"), (Bytes{5}));
    fs::create_symlink("loop1", "loop2");
    fs::create_symlink("loop2", "loop1");
    EXPECT_EQ(ReplaceFile("loop1", Bytes{5}), SaveError::CannotCreate);
}

TEST_F(FileReplacementTest, BackupKeepsTheOldFileAndNamesMustLeaveRoomForTheTemporary) {
    WriteBytes("a.stt", {1, 2});
    ASSERT_EQ(ReplaceFile("a.stt", Bytes{3}, true), SaveError::None);
    EXPECT_EQ(ReadBytes("a.stt"), (Bytes{3}));
    EXPECT_EQ(ReadBytes("a.stt.bak"), (Bytes{1, 2}));
    // A read-only backup cannot be replaced: the save is refused as a whole.
    chmod("a.stt.bak", 0444);
    EXPECT_EQ(ReplaceFile("a.stt", Bytes{4}, true), SaveError::BackupFailed);
    EXPECT_EQ(ReadBytes("a.stt"), (Bytes{3}));

    const std::string longest(kMaxReplaceableName, 'n');
    EXPECT_TRUE(WriteFileReplacing(longest, Bytes{1}));
    EXPECT_EQ(ReplaceFile(longest + "n", Bytes{1}), SaveError::CannotCreate);
    EXPECT_TRUE(IsReplacementTemporary(".a.stt.~Ab12cD"));
    EXPECT_FALSE(IsReplacementTemporary("a.stt.~Ab12cD"));
    EXPECT_FALSE(IsReplacementTemporary(".a.42i"));
}

// A child saving over and over is killed at random points: the file is always the old or the new
// contents, whole, and the next save leaves no temporary behind.
TEST_F(FileReplacementTest, SavesKilledAtRandomPointsLeaveAWholeFileAndNoStrayTemporary) {
    const Bytes a(300000, 'a'), b(200000, 'b');
    ASSERT_TRUE(WriteFileReplacing("Orvfrmt.stt", a));
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) WriteFileReplacing("Orvfrmt.stt", (i & 1) ? a : b);
        }
        usleep(std::uniform_int_distribution<unsigned>(0, 3000)(rng));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const Bytes now = ReadBytes("Orvfrmt.stt");
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
    ASSERT_TRUE(WriteFileReplacing("Orvfrmt.stt", a));
    EXPECT_EQ(Entries(), std::vector<std::string>{"Orvfrmt.stt"});
}

// Root reads any file, so the unreadable file is met by a child that dropped to "nobody".
TEST_F(FileReplacementTest, AnUnreadableFileIsToldApartFromAMissingOne) {
    const passwd* nobody = getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "no user nobody";
    WriteBytes("Orvfrmt.stt", Bytes(28, 1));
    chmod("Orvfrmt.stt", 0200);
    chmod(dir_.c_str(), 0777);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(10);
        if (ReadFileBytes("Orvfrmt.stt").status != ReadStatus::Unreadable) _exit(11);
        if (ReadFileBytes("missing.stt").status != ReadStatus::Missing) _exit(12);
        if (!ReadRecordFile("Orvfrmt.stt", 28).empty()) _exit(13);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes("Orvfrmt.stt").bytes.size(), 28u);  // root could, and the file is intact
}

TEST(RecordDecodeTest, SortsRecordsIntoSoundAndDamagedAndCountsTheTrailingBytes) {
    const Bytes bytes = {1, 2, 3, 4, 5, 6, 7};
    const auto read = DecodeRecordBytes<int>(
        bytes, 2, [](std::span<const uint8_t> r) { return int(r[0]); },
        [](const int& v) -> const char* { return v == 3 ? "three" : nullptr; });
    EXPECT_EQ(read.records, (std::vector<int>{1, 5}));
    ASSERT_EQ(read.damaged.size(), 1u);
    EXPECT_EQ(read.damaged[0].index, 1u);
    EXPECT_EQ(read.trailingBytes, 1u);
    EXPECT_TRUE(read.lossy());
    EXPECT_TRUE(HasControlCharacter("A\tB"));
    EXPECT_FALSE(HasControlCharacter(std::string_view("AB\0\t", 4)));  // after the zero byte: not shown
}

}  // namespace
}  // namespace orv
