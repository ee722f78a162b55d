#include "config/channel_settings.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <vector>

#include "text/code_page.h"
#include "resources/file_strings.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

TEST(ChannelLines, ColumnsOfBothKinds) {
    // Input channel 3 at 100 without parity check: word 6; the 23-character first piece and the
    // parity text right behind it.
    EXPECT_EQ(SettingWord(2, 1), 6);
    const std::string in3 = InputChannelLine(3, 6);
    EXPECT_EQ(in3, " 3      100            " + Cp1251("выкл."));
    EXPECT_EQ(in3.size(), 23u + 5u);
    // Output channel 1 at 50 to even parity: word 5, 31 characters.
    EXPECT_EQ(SettingWord(1, 1), 5);
    const std::string out1 = OutputChannelLine(1, 5);
    EXPECT_EQ(out1, " 1        50        " + Cp1251("до четности"));
    EXPECT_EQ(out1.size(), 31u);

    // Lowest rate and default parity, as after a selection.
    EXPECT_EQ(InputChannelLine(8, 0), " 8      12...14,5      " + Cp1251("вкл."));
    EXPECT_EQ(OutputChannelLine(2, 0), " 2        12,5      " + Cp1251("до нечетности"));
    EXPECT_EQ(InputChannelLine(1, 1), " 1      36...60        " + Cp1251("вкл."));
    EXPECT_EQ(OutputChannelLine(8, 6), " 8        100       " + Cp1251("до четности"));
    // The parity text begins in the 24th (input) and 21st (output) column for every rate.
    for (uint16_t w = 0; w < 8; ++w) {
        EXPECT_EQ(InputChannelLine(5, w)[22], ' ');
        EXPECT_NE(InputChannelLine(5, w)[23], ' ');
        EXPECT_EQ(OutputChannelLine(5, w)[19], ' ');
        EXPECT_NE(OutputChannelLine(5, w)[20], ' ');
    }
    // Two-digit channel numbers fill both columns.
    EXPECT_EQ(InputChannelLine(12, 0).substr(0, 3), "12 ");
    // Bits above bit 2 do not change a line; rate code 3 keeps the columns.
    EXPECT_EQ(InputChannelLine(4, 0xFFF9), InputChannelLine(4, 1));
    EXPECT_EQ(InputChannelLine(4, 3).size(), 23u + 4u);
    EXPECT_EQ(OutputChannelLine(4, 7).size(), 20u + 11u);
    EXPECT_EQ(BoardSettingWord(0xFFFE), 6);
}

class ChannelSettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("orv_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / kChannelSettingsFileName).string();
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    std::vector<uint8_t> Bytes() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void WriteBytes(const std::vector<uint8_t>& bytes) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    fs::path dir;
    std::string path;
};

TEST_F(ChannelSettingsFile, SavesThirtyTwoLittleEndianBytesAndRestoresThem) {
    ChannelSettingTable table{};
    table[2] = 6;
    table[8] = 5;
    table[15] = 0x1234;
    ASSERT_TRUE(SaveChannelSettings(table, path));
    const auto bytes = Bytes();
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(bytes[4], 6);
    EXPECT_EQ(bytes[5], 0);
    EXPECT_EQ(bytes[16], 5);
    EXPECT_EQ(bytes[30], 0x34);
    EXPECT_EQ(bytes[31], 0x12);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    ChannelSettingTable back;
    back.fill(0xFFFF);
    ASSERT_TRUE(RestoreChannelSettings(back, path));
    EXPECT_EQ(back, table);

    // Saving again replaces the file.
    table.fill(0);
    ASSERT_TRUE(SaveChannelSettings(table, path));
    EXPECT_EQ(Bytes(), std::vector<uint8_t>(32, 0));
}

TEST_F(ChannelSettingsFile, ShortLongAndMissingFiles) {
    ChannelSettingTable table;
    table.fill(0x0505);
    EXPECT_FALSE(RestoreChannelSettings(table, path));  // missing: unchanged
    for (uint16_t w : table) EXPECT_EQ(w, 0x0505);

    WriteBytes({0x02, 0x00, 0x06});  // one word and a low byte
    ASSERT_TRUE(RestoreChannelSettings(table, path));
    EXPECT_EQ(table[0], 0x0002);
    EXPECT_EQ(table[1], 0x0506);
    EXPECT_EQ(table[2], 0x0505);

    std::vector<uint8_t> longer(40, 0x01);
    longer[32] = 0xEE;
    WriteBytes(longer);
    ASSERT_TRUE(RestoreChannelSettings(table, path));
    for (uint16_t w : table) EXPECT_EQ(w, 0x0101);

    WriteBytes({});
    ASSERT_TRUE(RestoreChannelSettings(table, path));
    for (uint16_t w : table) EXPECT_EQ(w, 0x0101);
}

TEST_F(ChannelSettingsFile, RestoreFromAFifoReturnsAtOnce) {
    // A FIFO under the settings name has no writer: an ordinary open would wait for one forever.
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    ChannelSettingTable table;
    table.fill(0x0006);
    auto restore = std::async(std::launch::async, [&] { return RestoreChannelSettings(table, path); });
    if (restore.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);  // lets the reader go
        if (writer >= 0) close(writer);
        restore.wait();
        FAIL() << "restore blocked on a FIFO";
    }
    EXPECT_FALSE(restore.get());
    for (uint16_t w : table) EXPECT_EQ(w, 0x0006);
}

TEST_F(ChannelSettingsFile, FailedSaveLeavesNothingBehind) {
    // The target cannot be replaced (a directory holds its name): no temporary file is left.
    fs::create_directories(dir / "taken" / "inside");
    EXPECT_FALSE(SaveChannelSettings(ChannelSettingTable{}, (dir / "taken").string()));
    EXPECT_TRUE(fs::is_directory(dir / "taken" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ChannelSettingsFile, SaveIntoMissingDirectoryFails) {
    EXPECT_FALSE(SaveChannelSettings(ChannelSettingTable{}, (dir / "no" / "Orvparam.stt").string()));
}

// "Сохранить в файле" is guarded as the other settings saves are: a file that exists but cannot be
// read is not replaced (root reads any file, so a child that dropped to "nobody" meets it), and a
// file with words the editors refuse keeps its old contents as ".bak".
TEST_F(ChannelSettingsFile, TheDialogSaveKeepsAnUnreadableFileAndBacksUpADamagedOne) {
    const passwd* nobody = getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "no user nobody";
    const std::vector<uint8_t> old(32, 0x01);
    WriteBytes(old);
    ASSERT_EQ(chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(chmod(path.c_str(), 0200), 0);  // its owner may write it, not read it
    ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
    const std::string refusal = text::FileMessage(text::kKeptBefore, path, text::kKeptAfter);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(10);
        _exit(SaveChannelSettingsGuarded(ChannelSettingTable{}, path) == refusal ? 0 : 11);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Bytes(), old);

    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    std::vector<uint8_t> damaged(32, 0);
    damaged[0] = 3;  // a rate code with no rate button
    WriteBytes(damaged);
    ChannelSettingTable table{};
    table[1] = 2;
    EXPECT_EQ(SaveChannelSettingsGuarded(table, path), "");
    std::ifstream bak(path + ".bak", std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(bak), {}), damaged);
    EXPECT_EQ(Bytes()[2], 2);
}

}  // namespace
}  // namespace orv
