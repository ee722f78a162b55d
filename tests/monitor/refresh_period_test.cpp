// Refresh period: which texts give a period and how the running timer is restarted.
#include <gtest/gtest.h>

#include <vector>

#include "monitor/refresh_period.h"

namespace orv {
namespace {

class FakeTimer : public RefreshTimer {
public:
    uint32_t Start(int periodMs) override {
        started.push_back(periodMs);
        return ++lastId;
    }
    void Stop(uint32_t id) override { stopped.push_back(id); }

    std::vector<int> started;
    std::vector<uint32_t> stopped;
    uint32_t lastId = 40;
};

TEST(RefreshPeriodTest, ValidPeriodRestartsTheRunningTimer) {
    ShellState shell;
    FakeTimer timer;
    shell.RefreshTimerId = 7;
    EXPECT_EQ(RefreshPeriodText(shell.RefreshPeriodMs), "1000");
    EXPECT_TRUE(ApplyRefreshPeriod(shell, &timer, "250"));
    EXPECT_EQ(shell.RefreshPeriodMs, 250);
    EXPECT_EQ(timer.stopped, std::vector<uint32_t>{7});
    EXPECT_EQ(timer.started, std::vector<int>{250});
    EXPECT_EQ(shell.RefreshTimerId, 41u);

    EXPECT_TRUE(ApplyRefreshPeriod(shell, &timer, "  300abc"));
    EXPECT_EQ(shell.RefreshPeriodMs, 300);
    EXPECT_EQ(timer.stopped, (std::vector<uint32_t>{7, 41}));
    EXPECT_EQ(shell.RefreshTimerId, 42u);
}

TEST(RefreshPeriodTest, TextsWithoutAPositivePeriodChangeNothing) {
    ShellState shell;
    FakeTimer timer;
    shell.RefreshTimerId = 7;
    for (const char* text : {"0", "-5", "abc", "", "   ", "+", "99999999999", "-2147483648"}) {
        EXPECT_FALSE(ApplyRefreshPeriod(shell, &timer, text)) << text;
        EXPECT_EQ(shell.RefreshPeriodMs, 1000) << text;
    }
    EXPECT_TRUE(timer.started.empty());
    EXPECT_TRUE(timer.stopped.empty());
    EXPECT_EQ(shell.RefreshTimerId, 7u);
    EXPECT_EQ(ParseRefreshPeriod("2147483647"), 2147483647);
    EXPECT_EQ(ParseRefreshPeriod("2000000000\r\n"), 2000000000);
}

TEST(RefreshPeriodTest, WithoutARunningTimerOnlyThePeriodChanges) {
    ShellState shell;
    FakeTimer timer;
    EXPECT_TRUE(ApplyRefreshPeriod(shell, &timer, "40"));
    EXPECT_EQ(shell.RefreshPeriodMs, 40);
    EXPECT_TRUE(timer.started.empty());
    EXPECT_EQ(shell.RefreshTimerId, 0u);
}

}  // namespace
}  // namespace orv
