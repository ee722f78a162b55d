// The manual-reset event and the worker thread that serves it.
#include <gtest/gtest.h>

#include <atomic>
#include <unistd.h>

#include "driver/event_worker.h"
#include "driver/signal_event.h"

namespace orv {
namespace {

TEST(SignalEventTest, StaysSignalledUntilResetAndCanBeSignalledThroughADuplicate) {
    SignalEvent event("SignalEvent4");
    ASSERT_GE(event.Handle(), 0);
    EXPECT_FALSE(event.IsSet());
    event.Set();
    event.Set();
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.IsSet());  // waiting does not consume the signal
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    event.Reset();  // resetting a reset event is harmless

    // A driver keeps its own duplicate of the handle value and signals through it.
    const int dup = ::dup(event.Handle());
    SignalEvent::SignalHandle(dup);
    EXPECT_TRUE(event.IsSet());
    ::close(dup);
    SignalEvent::SignalHandle(-1);  // an invalid handle is ignored
}

TEST(EventWorkerTest, ServesEachSignalAndStopsEvenWhenTheHandlerResetsTheEvent) {
    SignalEvent event("SignalEvent4");
    std::atomic<int> served{0};
    EventWorker worker;
    worker.Start(event, [&] {
        event.Reset();
        ++served;
    });
    EXPECT_TRUE(worker.Running());
    for (int i = 1; i <= 3; ++i) {
        event.Set();
        while (served.load() < i) std::this_thread::yield();
    }
    worker.Stop();
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(served.load(), 3);
    worker.Stop();  // idempotent

    // Restarting on a new event works; the destructor stops it.
    SignalEvent second("SignalEvent4");
    worker.Start(second, [&] { second.Reset(); });
}

// Serving() covers the handler from the wake on: seen false after the event reads reset, every
// signal so far has been served.
TEST(EventWorkerTest, ServingLastsFromTheWakeUntilTheHandlerReturns) {
    SignalEvent event("SignalEvent4");
    std::atomic<bool> release{false};
    std::atomic<int> served{0};
    EventWorker worker;
    EXPECT_FALSE(worker.Serving());
    worker.Start(event, [&] {
        event.Reset();
        while (!release.load()) std::this_thread::yield();
        ++served;
    });
    EXPECT_FALSE(worker.Serving());
    event.Set();
    while (event.IsSet()) std::this_thread::yield();  // the handler has reset it
    EXPECT_TRUE(worker.Serving());
    EXPECT_EQ(served.load(), 0);
    release = true;
    while (worker.Serving()) std::this_thread::yield();
    EXPECT_EQ(served.load(), 1);
    worker.Stop();
    EXPECT_FALSE(worker.Serving());
}

TEST(EventWorkerTest, StopWinsOverAHandlerThatKeepsTheEventSignalled) {
    SignalEvent event("SignalEvent4");
    std::atomic<int> served{0};
    EventWorker worker;
    worker.Start(event, [&] { ++served; });  // never resets: the event stays signalled
    event.Set();
    while (served.load() < 10) std::this_thread::yield();
    worker.Stop();
    EXPECT_FALSE(worker.Running());
}

}  // namespace
}  // namespace orv
