// The binding of the bench (bench_core.h) and of the recording reader to Python: the extension
// module orvmon._orvmon, re-exported by the orvmon package.
//
// Rules kept throughout: the interpreter's lock is released around every call into the bench
// (which takes the bench's own lock), so a long call never blocks other Python threads; results are
// copied to C++ values under the bench's lock and turned into Python objects only after it is let
// go; no Python object is handed to a C++ thread; waits come back to the interpreter at least every
// 50 ms to let Ctrl+C through.

#if defined(__x86_64__)
#include <atomic>
#include <thread>
#include <immintrin.h>
#endif
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bench_core.h"
#include "c10/c10_reader.h"
#include "config/channel_settings.h"
#include "orv_version.h"
#include "resources/capture_strings.h"
#include "resources/file_strings.h"
#include "vboard/counter_rows.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace orv::py_binding {
namespace {

using orv::script::BenchCore;
using orv::script::BenchError;
using orv::script::BenchOptions;
using orv::script::BenchValueError;
using orv::script::RowData;

constexpr auto kSlice = std::chrono::milliseconds(50);

// A file name as the bytes the system would use (str, bytes or os.PathLike).
std::string PathArg(const py::object& path) {
    const py::object bytes = py::module_::import("os").attr("fsencode")(path);
    return bytes.cast<std::string>();
}

void CheckSignals() {
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
}

// The longest time any call takes: a million seconds (eleven days) of bench or real time.
constexpr double kLongestSeconds = 1e6;

double CheckSeconds(double s, const char* what) {
    if (!std::isfinite(s) || s < 0 || s > kLongestSeconds)
        throw py::value_error(std::string(what) + " must be a number of seconds from 0 to 1e6");
    return s;
}

uint32_t CheckWord(const py::handle& h) {
    if (!py::isinstance<py::int_>(h) || py::isinstance<py::bool_>(h))
        throw py::type_error("a word is an int, not " + std::string(py::str(h.get_type().attr("__name__"))));
    const py::int_ i = py::reinterpret_borrow<py::int_>(h);
    if (i < py::int_(0) || i > py::int_(0xFFFFFFFFu)) throw py::value_error("a word is 0..0xFFFFFFFF");
    return i.cast<uint32_t>();
}

int CheckChannel(int channel, const char* kind) {
    if (channel < 1 || channel > 8) throw py::value_error(std::string(kind) + " channel " + std::to_string(channel) + " is not 1..8");
    return channel;
}

struct Pause {
    unsigned slots = 1;
};

// A frozen row: a copy of what the table showed.
struct Row {
    RowData d;
};

struct TracePointPy {
    int slot = 0;
    uint32_t word = 0;
    double time = 0;
    double interval = 0;
    bool fits = false;
    std::optional<double> value;
};

struct TraceStatsPy {
    int words = 0;
    int fitting = 0;
    int32_t matchCount = 0;
    double span = 0;
    std::optional<double> intervalMin, intervalMax, intervalMean, intervalStddev, rate;
};

struct TracePy {
    std::vector<TracePointPy> points;
    TraceStatsPy stats;
};

struct InputCountersPy {
    int channel = 0;
    std::string hears;
    uint64_t sent = 0, notSent = 0, words = 0, parityErrors = 0, rateMismatches = 0, overflowed = 0;
};
struct OutputCountersPy {
    int channel = 0;
    uint64_t words = 0;
};
struct CountersPy {
    std::vector<InputCountersPy> inputs;
    std::vector<OutputCountersPy> outputs;
};

// The Python face of one bench: the core and the rows tuple of the last snapshot.
// Each call holds its own reference to the core, so a close() from another thread (which takes the
// core out at once) never frees it under a call that is still running.
struct PyBench {
    std::shared_ptr<BenchCore> core;
    long pid = long(::getpid());
    py::object rowsTuple;
    uint64_t rowsVersion = std::numeric_limits<uint64_t>::max();

    std::shared_ptr<BenchCore> Core() {
        if (!core) throw py::value_error("I/O operation on a closed bench");
        if (long(::getpid()) != pid)
            throw BenchError("a bench cannot be used across fork(): open a new one in the child process");
        return core;
    }
    // Takes the core out (the bench reads closed from now on) and closes it without the
    // interpreter's lock. In a forked child the parent's threads are not there to join: the core
    // is left alone.
    void Close() {
        std::shared_ptr<BenchCore> taken = std::move(core);
        core.reset();
        rowsTuple = py::object();
        if (!taken) return;
        if (long(::getpid()) != pid) {
            new std::shared_ptr<BenchCore>(std::move(taken));  // deliberately never freed
            return;
        }
        py::gil_scoped_release release;
        taken->Close();
        taken.reset();
    }
};

// Runs `f` on the bench with the interpreter's lock released.
template <class F>
auto Released(F&& f) {
    py::gil_scoped_release release;
    return f();
}

py::tuple RowsOf(PyBench& b) {
    const auto held = b.Core();
    BenchCore& core = *held;
    uint64_t version = 0;
    auto rows = Released([&] { return core.Rows(&version); });
    if (version != b.rowsVersion || !b.rowsTuple) {
        py::tuple t(rows->size());
        for (std::size_t i = 0; i < rows->size(); ++i) t[i] = py::cast(Row{(*rows)[i]});
        b.rowsTuple = t;
        b.rowsVersion = version;
    }
    return b.rowsTuple;
}

const RowData* FindIn(const std::vector<RowData>& rows, const std::optional<std::string>& name, int label, int channel) {
    for (const RowData& r : rows)
        if (r.channel == channel && (name ? r.name == *name : r.label == label)) return &r;
    return nullptr;
}

int RowIndex(BenchCore& core, const std::optional<std::string>& name, std::optional<int> label, int channel) {
    if (!name && !label) throw py::type_error("give the parameter's name or label=");
    if (label && (*label < 0 || *label > 0377)) throw py::value_error("a label is 0..0o377");
    CheckChannel(channel, "input");
    const int row = Released([&] { return core.FindRow(name.value_or(""), name ? -1 : *label, channel); });
    if (row < 0)
        throw py::value_error("no row " + (name ? *name : "label " + std::to_string(*label)) + " on input " +
                              std::to_string(channel) + " in the displayed list");
    return row;
}

std::string Describe(const std::optional<std::string>& name, std::optional<int> label, int channel) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "label 0o%o", label.value_or(0));
    return (name ? *name : std::string(buf)) + " on input " + std::to_string(channel);
}

// Real clock: sleeps `seconds`, coming back for Ctrl+C every 50 ms.
void SleepChecked(double seconds) {
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds));
    for (;;) {
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds(0)) return;
        {
            py::gil_scoped_release release;
            std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(left, kSlice));
        }
        CheckSignals();
    }
}

void AdvanceChecked(BenchCore& core, double seconds) {
    uint64_t left = uint64_t(std::llround(seconds * 1e6));
    while (left > 0) {
        left = Released([&] { return core.Advance(left, kSlice); });
        CheckSignals();
    }
}

// ---- Waiting ----

[[noreturn]] void ThrowTimeout(const std::string& what, bool predicate, double timeout, std::optional<uint32_t> last) {
    char word[16];
    std::snprintf(word, sizeof word, "0x%08x", last.value_or(0));
    char secs[32];
    std::snprintf(secs, sizeof secs, "%g", timeout);
    const std::string message = what + ": no word " + (predicate ? "satisfied the condition" : "received") + " within " +
                                secs + " s; last word seen: " + (last ? std::string(word) : std::string("none"));
    PyErr_SetString(PyExc_TimeoutError, message.c_str());
    throw py::error_already_set();
}

// One wait listening to the word stream for a label of an input, for as long as it lives.
struct ArmedWait {
    BenchCore& core;
    unsigned key;
    uint64_t seen;
    ArmedWait(BenchCore& c, unsigned k) : core(c), key(k), seen(Released([&] { return c.ArmWait(k); })) {}
    ~ArmedWait() {
        py::gil_scoped_release release;
        core.DisarmWait(key);
    }
    ArmedWait(const ArmedWait&) = delete;
    ArmedWait& operator=(const ArmedWait&) = delete;
};

py::object WaitFor(PyBench& b, const std::optional<std::string>& name, int channel, const py::object& until,
                   double timeout, std::optional<int> label) {
    if (!name && !label) throw py::type_error("give the parameter's name or label=");
    if (label && (*label < 0 || *label > 0377)) throw py::value_error("a label is 0..0o377");
    CheckChannel(channel, "input");
    CheckSeconds(timeout, "timeout");
    if (!until.is_none() && !PyCallable_Check(until.ptr())) throw py::type_error("until must be callable");
    const auto held = b.Core();
    BenchCore& c = *held;
    const bool manual = c.ManualClock();
    const std::string what = Describe(name, label, channel);
    const double start = Released([&] { return c.Now(); });
    const auto wallEnd = std::chrono::steady_clock::now() +
                         std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(timeout));
    std::optional<uint32_t> last;
    // The predicate on the calling thread; a null object when the row does not satisfy it.
    const auto check = [&](const RowData& r) {
        last = r.word;
        py::object row = py::cast(Row{r});
        if (until.is_none() || py::bool_(until(row))) return row;
        return py::object();
    };
    // Manual clock: microseconds of bench time left (0: the wait is over).
    const auto benchLeftUs = [&] {
        const double left = timeout - (Released([&] { return c.Now(); }) - start);
        return left > 0 ? uint64_t(std::llround(left * 1e6)) : uint64_t(0);
    };

    uint64_t checked = 0;
    auto rows = Released([&] { return c.Rows(&checked); });
    const RowData* first = FindIn(*rows, name, label.value_or(-1), channel);
    if (!first) throw py::value_error("no row " + what + " in the displayed list");

    if (Released([&] { return c.HasWordStream(); }) && first->label <= 0xFF) {
        // Each word of the label on the input wakes the wait; the row is then the one the next tick
        // would show for what the slot holds (BenchCore::FreshRow).
        ArmedWait armed(c, orv::script::WordWaits::Key(unsigned(channel), first->label));
        const std::string rowName = name.value_or("");
        const int rowLabel = name ? -1 : *label;
        // First the word the row holds now: one the slot holds since the last tick, else the tick's.
        const auto now = Released([&] { return c.FreshRow(rowName, rowLabel, channel); });
        const RowData& current = now ? *now : *first;
        if (current.cycle != 0)
            if (py::object row = check(current)) return row;
        for (;;) {
            uint64_t count = armed.seen;
            if (manual) {
                const uint64_t left = benchLeftUs();
                if (left == 0) ThrowTimeout(what, !until.is_none(), timeout, last);
                Released([&] { return c.AdvanceUntilWord(left, kSlice, armed.key, armed.seen); });
                count = c.Waits().Count(armed.key);
            } else {
                const auto left = wallEnd - std::chrono::steady_clock::now();
                if (left <= std::chrono::nanoseconds(0)) ThrowTimeout(what, !until.is_none(), timeout, last);
                count = Released([&] { return c.Waits().Wait(armed.key, armed.seen, std::min<std::chrono::nanoseconds>(left, kSlice)); });
                if (Released([&] { return c.Closed(); })) throw py::value_error("I/O operation on a closed bench");
            }
            CheckSignals();
            if (count != armed.seen) {
                armed.seen = count;
                const auto fresh = Released([&] { return c.FreshRow(rowName, rowLabel, channel); });
                if (fresh)
                    if (py::object row = check(*fresh)) return row;
            }
        }
    }

    // Without the word stream: a check at each tick.
    uint64_t version = checked;
    for (bool firstCheck = true;; firstCheck = false) {
        if (!firstCheck) {
            rows = Released([&] { return c.Rows(&version); });
        }
        if (firstCheck || version != checked) {
            checked = version;
            const RowData* r = FindIn(*rows, name, label.value_or(-1), channel);
            if (!r) throw py::value_error("no row " + what + " in the displayed list");
            if (r->cycle != 0)
                if (py::object row = check(*r)) return row;
        }
        if (manual) {
            const uint64_t left = benchLeftUs();
            if (left == 0) ThrowTimeout(what, !until.is_none(), timeout, last);
            const double step = std::min(Released([&] { return c.PeriodMs(); }) / 1000.0, double(left) / 1e6);
            AdvanceChecked(c, step);
        } else {
            const uint64_t ticks = Released([&] { return c.Ticks(); });
            const auto left = wallEnd - std::chrono::steady_clock::now();
            if (left <= std::chrono::nanoseconds(0)) ThrowTimeout(what, !until.is_none(), timeout, last);
            Released([&] { return c.WaitTick(ticks, std::min<std::chrono::nanoseconds>(left, kSlice)); });
            CheckSignals();
        }
    }
}

// A recording of a bench's bus (Bench.record()). It holds the bench's core, so its figures stay
// readable after the bench is closed (closing it ends the recording).
struct PyRecording {
    std::shared_ptr<BenchCore> core;
    uint64_t id = 0;
    py::object path;
    long pid = 0;

    orv::script::RecordingFigures Figures() const {
        BenchCore& c = *core;
        return Released([&] { return c.Recording(id); });
    }
    // Ends the recording (the interpreter's lock let go while the file is written); the program's
    // message as orvmon.Error when a failure had stopped it.
    void Stop(bool raise) {
        BenchCore& c = *core;
        const auto f = Released([&] { return c.StopRecording(id); });
        if (raise && !f.failure.empty()) throw BenchError(f.failure);
    }
    ~PyRecording() {
        // In a forked child the parent's threads are not there to join: the core is left alone.
        if (core && pid != 0 && long(::getpid()) != pid) new std::shared_ptr<BenchCore>(std::move(core));
    }
    PyRecording(std::shared_ptr<BenchCore> c, uint64_t i, py::object p, long owner)
        : core(std::move(c)), id(i), path(std::move(p)), pid(owner) {}
    PyRecording(PyRecording&&) = default;
};

// ---- The recording reader as column arrays ----

// One column's memory: an anonymous mapping of its own, so that it can grow (mremap) and be handed
// to numpy as it is. Its pages are taken only as the words come (Populate), so a file of other
// packets does not take memory for words it does not hold.
class Column {
public:
    Column() = default;
    Column(const Column&) = delete;
    Column& operator=(const Column&) = delete;
    ~Column() { Release(); }

    void* Data() const { return p_; }
    // At least `bytes` of room, keeping what it holds (the mapping may move).
    void Reserve(std::size_t bytes) {
        const std::size_t len = RoundUp(std::max<std::size_t>(bytes, 1), Page());
        if (len <= len_) return;
        void* q = p_ ? ::mremap(p_, len_, len, MREMAP_MAYMOVE)
                     : ::mmap(nullptr, len, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (q == MAP_FAILED) throw std::bad_alloc();
        p_ = q;
        len_ = len;
    }
    // Takes the pages of bytes [from, to) now (zeroed, writable), so that the writer does not
    // fault on them. False where the system cannot (before Linux 5.14).
    bool Populate(std::size_t from, std::size_t to) const {
        from = from / Page() * Page();
        to = std::min(RoundUp(to, Page()), len_);
        if (!p_ || from >= to) return true;
        return ::madvise(static_cast<char*>(p_) + from, to - from, MADV_POPULATE_WRITE) == 0;
    }
    // Gives back the pages beyond `bytes` (never the first).
    void Trim(std::size_t bytes) {
        const std::size_t keep = RoundUp(std::max<std::size_t>(bytes, 1), Page());
        if (!p_ || keep >= len_) return;
        ::munmap(static_cast<char*>(p_) + keep, len_ - keep);
        len_ = keep;
    }
    // The mapping, for an owner that unmaps it (a numpy array's capsule); the column is empty then.
    py::capsule Give() {
        struct Mapping {
            void* p;
            std::size_t len;
        };
        auto* m = new Mapping{p_, len_};
        p_ = nullptr;
        len_ = 0;
        return py::capsule(m, [](void* q) {
            auto* mapping = static_cast<Mapping*>(q);
            if (mapping->p) ::munmap(mapping->p, mapping->len);
            delete mapping;
        });
    }

private:
    static std::size_t Page() { return std::size_t(::sysconf(_SC_PAGESIZE)); }
    static std::size_t RoundUp(std::size_t n, std::size_t unit) { return (n + unit - 1) / unit * unit; }
    void Release() {
        if (p_) ::munmap(p_, len_);
        p_ = nullptr;
        len_ = 0;
    }
    void* p_ = nullptr;
    std::size_t len_ = 0;
};

struct Columns {
    std::size_t count = 0, capacity = 0;
    Column time, channel, bus, word, parity, format;
    std::vector<std::string> problems;

    int64_t* Time() const { return static_cast<int64_t*>(time.Data()); }
    uint16_t* Channel() const { return static_cast<uint16_t*>(channel.Data()); }
    uint8_t* Bus() const { return static_cast<uint8_t*>(bus.Data()); }
    uint32_t* Word() const { return static_cast<uint32_t*>(word.Data()); }
    bool* Parity() const { return static_cast<bool*>(parity.Data()); }
    bool* Format() const { return static_cast<bool*>(format.Data()); }

    void Reserve(std::size_t n) {
        time.Reserve(n * sizeof(int64_t));
        channel.Reserve(n * sizeof(uint16_t));
        bus.Reserve(n);
        word.Reserve(n * sizeof(uint32_t));
        parity.Reserve(n);
        format.Reserve(n);
        capacity = n;
    }
    bool Populate(std::size_t from, std::size_t to) const {
        return time.Populate(from * sizeof(int64_t), to * sizeof(int64_t)) &&
               channel.Populate(from * sizeof(uint16_t), to * sizeof(uint16_t)) && bus.Populate(from, to) &&
               word.Populate(from * sizeof(uint32_t), to * sizeof(uint32_t)) && parity.Populate(from, to) &&
               format.Populate(from, to);
    }
    void Fit() {
        time.Trim(count * sizeof(int64_t));
        channel.Trim(count * sizeof(uint16_t));
        bus.Trim(count);
        word.Trim(count * sizeof(uint32_t));
        parity.Trim(count);
        format.Trim(count);
    }
};

// The two widest columns (12 of a word's 17 bytes) are written past the cache: their lines are
// not read in first only to be overwritten.
#if defined(__x86_64__)
inline void StoreAround(int64_t* at, int64_t v) { _mm_stream_si64(reinterpret_cast<long long*>(at), v); }
inline void StoreAround(uint32_t* at, uint32_t v) { _mm_stream_si32(reinterpret_cast<int*>(at), int(v)); }
inline void StoresDone() { _mm_sfence(); }
#else
inline void StoreAround(int64_t* at, int64_t v) { *at = v; }
inline void StoreAround(uint32_t* at, uint32_t v) { *at = v; }
inline void StoresDone() {}
#endif

// Takes the columns' pages on a thread of its own, a stretch at a time from the start, while the
// reader fills them: a 1 GiB recording fills 2.1 GiB of columns, half a million fresh pages, and
// taking them costs about as much as reading the file. Stopped (and joined) before the columns
// move or are handed over.
class PageTaker {
public:
    static constexpr std::size_t kStretchWords = std::size_t(1) << 16;  // 1.1 MiB of columns

    explicit PageTaker(const Columns& c) : thread_([this, &c] {
        for (std::size_t from = 0; from < c.capacity && !stop_.load(std::memory_order_relaxed);) {
            const std::size_t to = std::min(from + kStretchWords, c.capacity);
            if (!c.Populate(from, to)) break;  // the system cannot: the stores fault instead
            done_.store(to, std::memory_order_release);
            from = to;
        }
    }) {}
    PageTaker(const PageTaker&) = delete;
    PageTaker& operator=(const PageTaker&) = delete;
    ~PageTaker() { Stop(); }
    void Stop() {
        stop_.store(true, std::memory_order_relaxed);
        if (thread_.joinable()) thread_.join();
    }
    // Words whose pages are taken, from the start.
    std::size_t Done() const { return done_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> done_{0};
    std::thread thread_;
};

class ColumnSink : public c10::ReadSink {
public:
    ColumnSink(Columns& c, PageTaker& taker) : c_(c), taker_(taker) {}
    void OnWords(std::span<const c10::Word> words, const c10::PacketInfo&) override {
        // Sized from the file's length at the start (a word takes 8 bytes of it); a file that grew
        // since (a recording still being written) makes the columns grow, and move.
        if (words.size() > c_.capacity - c_.count) {
            taker_.Stop();
            c_.Reserve(std::max(c_.capacity * 2, c_.count + words.size()));
        }
        const std::size_t n = words.size();
        const std::size_t at = c_.count;
        // Where the reader has caught up with the page taker, it takes the next stretch itself,
        // in one call rather than one fault a page.
        if (at + n > populated_) {
            populated_ = std::max(populated_, taker_.Done());
            if (at + n > populated_) {
                populated_ = std::max(populated_, at) + std::max(n, PageTaker::kStretchWords);
                c_.Populate(at, std::min(populated_, c_.capacity));  // where it cannot, the stores fault
            }
        }
        // The columns in locals: stores through them cannot move them.
        int64_t* const time = c_.Time() + at;
        uint16_t* const channel = c_.Channel() + at;
        uint8_t* const bus = c_.Bus() + at;
        uint32_t* const word = c_.Word() + at;
        bool* const parity = c_.Parity() + at;
        bool* const format = c_.Format() + at;
        for (std::size_t i = 0; i < n; ++i) {
            const c10::Word& w = words[i];
            StoreAround(time + i, (w.absolute != c10::kNoTime ? w.absolute : w.relative) * 100);
            channel[i] = w.channel;
            bus[i] = w.bus;
            StoreAround(word + i, w.word);
            parity[i] = (w.flags & c10::kWordParityError) != 0;
            format[i] = (w.flags & c10::kWordFormatError) != 0;
        }
        StoresDone();
        c_.count = at + n;
    }
    void OnProblem(const c10::Problem& p) override { c_.problems.push_back(p.Message()); }

private:
    Columns& c_;
    PageTaker& taker_;
    std::size_t populated_ = 0;  // words whose pages are taken
};

std::unique_ptr<Columns> ReadColumns(const std::string& path, bool reversedLabels) {
    auto columns = std::make_unique<Columns>();
    std::string error;
    {
        py::gil_scoped_release release;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            error = text::kOpenFailed + path;
        } else {
            // Each word takes 8 bytes of an ARINC-429 packet's body: the file's size bounds the count.
            // Pages are taken only as words are stored.
            columns->Reserve(std::size_t(st.st_size) / 8 + 1);
            PageTaker taker(*columns);
            ColumnSink sink(*columns, taker);
            c10::Reader reader(c10::ReadOptions{reversedLabels});
            if (!reader.ReadFile(path, sink, &error) && error.empty()) error = text::kFileReadFailed + path;
            taker.Stop();
            columns->Fit();
        }
    }
    if (!error.empty()) throw BenchError(error);
    return columns;
}

template <class T>
py::array_t<T> Owned(Column& column, std::size_t n) {
    T* data = static_cast<T*>(column.Data());
    return py::array_t<T>({n}, {sizeof(T)}, data, column.Give());  // the array owns the mapping now
}

struct C10Word {
    int64_t time = 0;
    uint16_t channel = 0;
    uint8_t bus = 0;
    uint32_t word = 0;
    bool parity = false;
    bool format = false;
};

struct C10Iter {
    std::shared_ptr<Columns> columns;
    std::size_t next = 0;
};

// ---- The mapping of channel settings ----

std::array<uint16_t, kChannelSettingWords> SettingsOf(const py::dict& mapping) {
    std::array<uint16_t, kChannelSettingWords> table{};
    for (const auto& [key, value] : mapping) {
        if (!py::isinstance<py::str>(key)) throw py::type_error("settings keys are 'in1'..'in8' and 'out1'..'out8'");
        const std::string k = key.cast<std::string>();
        const bool input = k.rfind("in", 0) == 0;
        const bool output = k.rfind("out", 0) == 0;
        const std::string number = k.substr(input ? 2 : 3);
        if ((!input && !output) || number.size() != 1 || number[0] < '1' || number[0] > '8')
            throw py::value_error("settings key " + k + " is not 'in1'..'in8' or 'out1'..'out8'");
        const int channel = number[0] - '0';
        if (!py::isinstance<py::tuple>(value) || py::len(value) != 2)
            throw py::type_error("a channel setting is (rate in kbit/s, parity)");
        const py::tuple t = py::reinterpret_borrow<py::tuple>(value);
        const double kbps = t[0].cast<double>();
        unsigned rate = 3;
        if (kbps == 12.5) rate = 0;
        else if (kbps == 50) rate = 1;
        else if (kbps == 100) rate = 2;
        if (rate == 3) throw py::value_error("a rate is 12.5, 50 or 100 kbit/s");
        const std::string parity = t[1].cast<std::string>();
        unsigned choice = 0;
        if (input && (parity == "check" || parity == "off")) choice = parity == "off" ? 1 : 0;
        else if (output && (parity == "odd" || parity == "even")) choice = parity == "even" ? 1 : 0;
        else throw py::value_error(input ? "an input's parity is 'check' or 'off'" : "an output's parity is 'odd' or 'even'");
        table[std::size_t(input ? InputSettingIndex(channel) : OutputSettingIndex(channel))] = SettingWord(rate, choice);
    }
    return table;
}

DecimalFormat FormatArg(const py::object& o) {
    if (o.is_none()) return DecimalFormat::None();
    return o.cast<DecimalFormat>();
}

std::string FormatRepr(const DecimalFormat& f) {
    if (f.IsNone()) return "Format(None)";
    char buf[160];
    std::snprintf(buf, sizeof buf, "Format(%s, msb_bit=%u, lsb_bit=%u, msb_weight=%.9g, bit29=%s, units=%s)", "%s",
                  unsigned(f.msbBit), unsigned(f.lsbBit), double(f.msbWeight), f.bit29Role ? "'data'" : "'sign'", "%s");
    std::string s = buf;
    const std::string label = "'" + orv::script::FromCp1251(f.label.Trimmed()) + "'";
    std::string units = std::string(f.units.View());
    while (!units.empty() && units.back() == ' ') units.pop_back();
    s.replace(s.find("%s"), 2, label);
    s.replace(s.find("%s"), 2, "'" + orv::script::FromCp1251(units) + "'");
    return s;
}

}  // namespace
}  // namespace orv::py_binding

using namespace orv::py_binding;
using orv::DecimalFormat;

PYBIND11_MODULE(_orvmon, m) {
    m.doc() = "The bench's core (no Qt) bound to Python; use the orvmon package, which re-exports it.";
    m.attr("__version__") = orv::kVersion;

    static py::exception<BenchError> error(m, "Error");
    error.doc() = "A failure of the program (the board, a file, a list): its message is the program's own.";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const BenchValueError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        } catch (const py::cast_error& e) {
            // A value of the wrong type inside a tuple or mapping (pybind11 would say RuntimeError).
            PyErr_SetString(PyExc_TypeError, e.what());
        } catch (const BenchError& e) {
            error(e.what());
        }
    });

    py::class_<Pause>(m, "Pause", "A pause of `slots` frame slots in a frame given to Bench.send().")
        .def(py::init([](int slots) {
                 if (slots < 1 || slots > 256) throw py::value_error("a pause is 1..256 slots");
                 return Pause{unsigned(slots)};
             }),
             "slots"_a = 1, "A pause of `slots` slots (1..256).")
        .def_property_readonly("slots", [](const Pause& p) { return p.slots; }, "Number of pause slots.")
        .def("__repr__", [](const Pause& p) { return "Pause(" + std::to_string(p.slots) + ")"; })
        .def("__eq__", [](const Pause& a, const py::object& b) {
            return py::isinstance<Pause>(b) && a.slots == b.cast<Pause>().slots;
        })
        .def("__hash__", [](const Pause& p) { return py::hash(py::make_tuple("Pause", p.slots)); });

    py::class_<DecimalFormat>(m, "Format",
                              "A decimal format: how the table reads an engineering value out of a word.")
        .def(py::init([](const std::string& label, int msb_bit, int lsb_bit, double msb_weight, const std::string& bit29,
                         const std::string& units) {
                 if (bit29 != "sign" && bit29 != "data") throw py::value_error("bit29 is 'sign' or 'data'");
                 return orv::script::MakeFormat(label, msb_bit, lsb_bit, msb_weight, bit29 == "data", units);
             }),
             "label"_a, py::kw_only(), "msb_bit"_a, "lsb_bit"_a, "msb_weight"_a, "bit29"_a = "sign", "units"_a = "",
             "A format checked as the format editor checks it (ValueError with its message otherwise).")
        .def_property_readonly("label", [](const DecimalFormat& f) { return orv::script::FromCp1251(f.label.Trimmed()); },
                               "The format's label.")
        .def_property_readonly("msb_bit", [](const DecimalFormat& f) { return f.msbBit; }, "Bit of the field's most significant bit.")
        .def_property_readonly("lsb_bit", [](const DecimalFormat& f) { return f.lsbBit; }, "Bit of the field's least significant bit.")
        .def_property_readonly("msb_weight", [](const DecimalFormat& f) { return double(f.msbWeight); }, "Value of the most significant bit.")
        .def_property_readonly("bit29", [](const DecimalFormat& f) { return f.bit29Role ? "data" : "sign"; },
                               "'sign': bit 29 is the sign; 'data': bit 29 is data and the sign is bit 30.")
        .def_property_readonly("units", [](const DecimalFormat& f) {
            std::string u(f.units.View());
            while (!u.empty() && u.back() == ' ') u.pop_back();
            return orv::script::FromCp1251(u);
        }, "The units text.")
        .def("__repr__", &FormatRepr)
        .def("__eq__", [](const DecimalFormat& a, const py::object& b) {
            return py::isinstance<DecimalFormat>(b) && a == b.cast<DecimalFormat>();
        })
        .def("__hash__", [](const DecimalFormat& f) { return py::hash(py::str(FormatRepr(f))); });

    py::class_<orv::ParamRecord>(m, "Param", "A dictionary entry: a parameter's label, its ARINC label and format.")
        .def_property_readonly("name", [](const orv::ParamRecord& p) { return orv::script::FromCp1251(p.paramLabel.Trimmed()); },
                               "The parameter's label.")
        .def_property_readonly("label", [](const orv::ParamRecord& p) { return p.address; }, "The ARINC label (0..0o377).")
        .def_property_readonly("format", [](const orv::ParamRecord& p) {
            return orv::script::FromCp1251(p.formatLabel.Trimmed());
        }, "The format's label, '' for none.")
        .def("__repr__", [](const orv::ParamRecord& p) {
            char buf[24];
            std::snprintf(buf, sizeof buf, "0o%o", unsigned(p.address));
            return "Param('" + orv::script::FromCp1251(p.paramLabel.Trimmed()) + "', label=" + buf + ", format='" +
                   orv::script::FromCp1251(p.formatLabel.Trimmed()) + "')";
        });

#define ROW_FIELD(name, expr, doc) .def_property_readonly(name, [](const Row& r) { return expr; }, doc)
    py::class_<Row>(m, "Row", "One row of the table as the last refresh tick (or edit of the table) froze it.")
        ROW_FIELD("name", r.d.name, "The parameter's label.")
        ROW_FIELD("channel", r.d.channel, "Input channel 1..8.")
        ROW_FIELD("label", r.d.label, "ARINC label 0..0o377.")
        ROW_FIELD("word", r.d.word, "The word the row shows (0 before the first reception and while masked).")
        ROW_FIELD("hex", r.d.hex, "HEX as the table shows it ('0x%08x').")
        ROW_FIELD("octal", r.d.octal, "OCTAL as the table shows it.")
        ROW_FIELD("ssm", r.d.ssm, "Bits 30-31 (the column M) as a number 0..3.")
        ROW_FIELD("value", r.d.value, "The value through the row's format, or None without a format.")
        ROW_FIELD("units", r.d.units, "The format's units ('' without a format).")
        ROW_FIELD("format", r.d.formatName, "The format's label ('' for none).")
        ROW_FIELD("decimal", r.d.decimal, "The DECIMAL text of the table (21 columns).")
        ROW_FIELD("cycle", r.d.cycle, "Refresh cycle of the last reception (0: none since loading).")
        ROW_FIELD("stale", r.d.stale, "True while the row is grey (nothing received lately).")
        ROW_FIELD("masked", r.d.masked, "True while the row carries its channel's mask.")
        ROW_FIELD("mask_count", r.d.maskCount, "Words that fit the mask (meaningful while masked).")
        .def("__repr__", [](const Row& r) {
            char buf[200];
            std::snprintf(buf, sizeof buf, "Row(name=%s, channel=%u, label=0o%o, word=0x%08x, ssm=%u, cycle=%d, stale=%s)", "%s",
                          unsigned(r.d.channel), unsigned(r.d.label), r.d.word, r.d.ssm, r.d.cycle, r.d.stale ? "True" : "False");
            std::string s = buf;
            s.replace(s.find("%s"), 2, "'" + r.d.name + "'");
            return s;
        })
        .def("__eq__", [](const Row& a, const py::object& o) {
            if (!py::isinstance<Row>(o)) return false;
            const RowData& b = o.cast<const Row&>().d;
            return a.d.name == b.name && a.d.channel == b.channel && a.d.label == b.label && a.d.word == b.word &&
                   a.d.cycle == b.cycle && a.d.stale == b.stale && a.d.masked == b.masked && a.d.maskCount == b.maskCount &&
                   a.d.formatName == b.formatName;
        })
        .def("__hash__", [](const Row& r) {
            return py::hash(py::make_tuple(r.d.name, r.d.channel, r.d.label, r.d.word, r.d.cycle, r.d.stale, r.d.maskCount));
        });
#undef ROW_FIELD

    py::class_<PyRecording>(m, "Recording",
                            "A recording of the bench's bus into a Chapter 10 file; a context manager that ends it.")
        .def_property_readonly("path", [](const PyRecording& r) { return r.path; }, "The file, as given.")
        .def_property_readonly("words", [](const PyRecording& r) { return r.Figures().words; }, "Words written to the file.")
        .def_property_readonly("bytes", [](const PyRecording& r) { return r.Figures().bytes; }, "Bytes written to the file.")
        .def_property_readonly("lost", [](const PyRecording& r) { return r.Figures().lost; },
                               "Words lost because the recorder's queue was full.")
        .def_property_readonly("running", [](const PyRecording& r) { return r.Figures().running; },
                               "True until stop(), the end of `with`, a newer recording or the bench's close().")
        .def_property_readonly("status", [](const PyRecording& r) { return r.Figures().status; },
                               "The status bar's text while it runs ('' once ended).")
        .def("stop", [](PyRecording& r) { r.Stop(true); },
             "Ends the recording, writing the file whole; orvmon.Error with the program's message if a failure had stopped it. Idempotent.")
        .def("__enter__", [](py::object self) { return self; }, "Returns the recording.")
        .def("__exit__", [](PyRecording& r, const py::object& type, const py::object&, const py::object&) {
            r.Stop(type.is_none());  // an exception on its way out is not masked by the recording's
            return false;
        }, "Ends the recording.")
        .def("__repr__", [](const PyRecording& r) {
            const auto f = r.Figures();
            return "<orvmon.Recording " + py::repr(r.path).cast<std::string>() + ", " + std::to_string(f.words) + " words" +
                   (f.running ? ", running>" : ">");
        });

    py::class_<TracePointPy>(m, "TracePoint", "One traced word, in the order the trace lists them.")
        .def_property_readonly("slot", [](const TracePointPy& p) { return p.slot; }, "Its position in the ring of 256.")
        .def_property_readonly("word", [](const TracePointPy& p) { return p.word; }, "The word.")
        .def_property_readonly("time", [](const TracePointPy& p) { return p.time; }, "Seconds since the first listed word.")
        .def_property_readonly("interval", [](const TracePointPy& p) { return p.interval; }, "Seconds since the word before (0 for the first).")
        .def_property_readonly("fits", [](const TracePointPy& p) { return p.fits; }, "Whether the word fits the mask.")
        .def_property_readonly("value", [](const TracePointPy& p) { return p.value; }, "The value through the row's format, or None.")
        .def("__repr__", [](const TracePointPy& p) {
            char buf[120];
            std::snprintf(buf, sizeof buf, "TracePoint(slot=%d, word=0x%08x, time=%.3f, fits=%s)", p.slot, p.word, p.time,
                          p.fits ? "True" : "False");
            return std::string(buf);
        });

    py::class_<TraceStatsPy>(m, "TraceStats", "The statistics the trace dialog shows.")
        .def_property_readonly("words", [](const TraceStatsPy& s) { return s.words; }, "Words in the ring.")
        .def_property_readonly("fitting", [](const TraceStatsPy& s) { return s.fitting; }, "Of them, words that fit the mask.")
        .def_property_readonly("match_count", [](const TraceStatsPy& s) { return s.matchCount; }, "The mask's match count.")
        .def_property_readonly("span", [](const TraceStatsPy& s) { return s.span; }, "Seconds from the first to the last word.")
        .def_property_readonly("interval_min", [](const TraceStatsPy& s) { return s.intervalMin; }, "Shortest interval (s), None with fewer than 2 words.")
        .def_property_readonly("interval_max", [](const TraceStatsPy& s) { return s.intervalMax; }, "Longest interval (s), None with fewer than 2 words.")
        .def_property_readonly("interval_mean", [](const TraceStatsPy& s) { return s.intervalMean; }, "Mean interval (s), None with fewer than 2 words.")
        .def_property_readonly("interval_stddev", [](const TraceStatsPy& s) { return s.intervalStddev; }, "Jitter: population standard deviation of the intervals (s).")
        .def_property_readonly("rate", [](const TraceStatsPy& s) { return s.rate; }, "Words per second over the span, or None.")
        .def("__repr__", [](const TraceStatsPy& s) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "TraceStats(words=%d, fitting=%d, match_count=%d, span=%.3f, rate=%s)", s.words,
                          s.fitting, s.matchCount, s.span, s.rate ? std::to_string(*s.rate).c_str() : "None");
            return std::string(buf);
        });

    py::class_<TracePy>(m, "Trace", "A snapshot of a masked row's trace: its words and their statistics.")
        .def_property_readonly("points", [](const TracePy& t) { return py::tuple(py::cast(t.points)); }, "The traced words, oldest first.")
        .def_property_readonly("stats", [](const TracePy& t) { return t.stats; }, "The statistics.")
        .def("__len__", [](const TracePy& t) { return t.points.size(); })
        .def("__repr__", [](const TracePy& t) { return "Trace(" + std::to_string(t.points.size()) + " words)"; });

    py::class_<InputCountersPy>(m, "InputCounters", "The virtual board's counters of one input.")
        .def_property_readonly("channel", [](const InputCountersPy& c) { return c.channel; }, "Input channel.")
        .def_property_readonly("hears", [](const InputCountersPy& c) { return c.hears; }, "What the input hears, as the counters window says.")
        .def_property_readonly("sent", [](const InputCountersPy& c) { return c.sent; }, "Words its line carried.")
        .def_property_readonly("not_sent", [](const InputCountersPy& c) { return c.notSent; }, "Words its transmitter could not send (line busy).")
        .def_property_readonly("words", [](const InputCountersPy& c) { return c.words; }, "Words the input accepted.")
        .def_property_readonly("parity_errors", [](const InputCountersPy& c) { return c.parityErrors; }, "Words dropped by the parity check.")
        .def_property_readonly("rate_mismatches", [](const InputCountersPy& c) { return c.rateMismatches; }, "Words at another rate class.")
        .def_property_readonly("overflowed", [](const InputCountersPy& c) { return c.overflowed; }, "Words lost to a full receive queue.")
        .def("__repr__", [](const InputCountersPy& c) {
            return "InputCounters(channel=" + std::to_string(c.channel) + ", words=" + std::to_string(c.words) +
                   ", parity_errors=" + std::to_string(c.parityErrors) + ", rate_mismatches=" + std::to_string(c.rateMismatches) +
                   ", not_sent=" + std::to_string(c.notSent) + ")";
        });
    py::class_<OutputCountersPy>(m, "OutputCounters", "The virtual board's counter of one output.")
        .def_property_readonly("channel", [](const OutputCountersPy& c) { return c.channel; }, "Output channel.")
        .def_property_readonly("words", [](const OutputCountersPy& c) { return c.words; }, "Words the output sent.")
        .def("__repr__", [](const OutputCountersPy& c) {
            return "OutputCounters(channel=" + std::to_string(c.channel) + ", words=" + std::to_string(c.words) + ")";
        });
    py::class_<CountersPy>(m, "Counters", "The virtual board's counters per input and output.")
        .def_property_readonly("inputs", [](const CountersPy& c) { return py::tuple(py::cast(c.inputs)); }, "Per input, channel order.")
        .def_property_readonly("outputs", [](const CountersPy& c) { return py::tuple(py::cast(c.outputs)); }, "Per output, channel order.")
        .def("input", [](const CountersPy& c, int channel) {
            for (const auto& i : c.inputs) if (i.channel == channel) return i;
            throw py::value_error("no input " + std::to_string(channel));
        }, "channel"_a, "The counters of input `channel`.")
        .def("output", [](const CountersPy& c, int channel) {
            for (const auto& o : c.outputs) if (o.channel == channel) return o;
            throw py::value_error("no output " + std::to_string(channel));
        }, "channel"_a, "The counter of output `channel`.");

    py::class_<PyBench>(m, "Bench", R"doc(The bench: a virtual board selected and started as the program does.

Bench(device="arinc10", *, scenario=None, clock="real", settings=None, workdir=".", period=1.0)

A context manager: close() (also on leaving the `with` block) stops the board and joins every
thread the bench started. Seconds are floats everywhere; texts are str.)doc")
        .def(py::init([](const std::string& device, const py::object& scenario, const std::string& clock,
                         const py::object& settings, const py::object& workdir, double period) {
                 BenchOptions o;
                 o.device = device;
                 if (!scenario.is_none()) o.scenario = PathArg(scenario);
                 if (clock != "real" && clock != "manual") throw py::value_error("clock is 'real' or 'manual'");
                 o.manualClock = clock == "manual";
                 if (!settings.is_none()) {
                     if (!py::isinstance<py::dict>(settings)) throw py::type_error("settings is None or a dict");
                     o.settings = SettingsOf(py::reinterpret_borrow<py::dict>(settings));
                 }
                 o.workdir = PathArg(workdir);
                 CheckSeconds(period, "period");
                 const double ms = period * 1000.0;
                 if (ms < 1 || ms > 2147483647.0 || ms != std::floor(ms)) throw py::value_error("the period is a whole number of ms >= 1");
                 o.periodMs = int(ms);
                 auto b = std::make_unique<PyBench>();
                 b->core = Released([&] { return std::make_unique<BenchCore>(o); });
                 return b;
             }),
             "device"_a = "arinc10", py::kw_only(), "scenario"_a = py::none(), "clock"_a = "real",
             "settings"_a = py::none(), "workdir"_a = ".", "period"_a = 1.0,
             "Selects and starts the board; settings maps 'in1'..'in8' to (kbit/s, 'check'|'off') and 'out1'..'out8' to (kbit/s, 'odd'|'even').")
.def("close", [](PyBench& b) { b.Close(); }, "Stops the board and joins every thread of the bench. Idempotent.")
        .def_property_readonly("closed", [](PyBench& b) { return !b.core; }, "True once closed.")
        .def("__repr__", [](PyBench& b) {
            if (!b.core) return std::string("<orvmon.Bench closed>");
            return "<orvmon.Bench " + b.core->Device() + ", clock=" + (b.core->ManualClock() ? "manual" : "real") + ">";
        })
        .def("__enter__", [](py::object self) { self.cast<PyBench&>().Core(); return self; }, "Returns the bench.")
        .def("__exit__", [](PyBench& b, const py::object&, const py::object&, const py::object&) {
            b.Close();
            return false;
        }, "Closes the bench.")
        .def_property_readonly("device", [](PyBench& b) { return b.Core()->Device(); }, "The device name.")
        .def_property_readonly("clock", [](PyBench& b) { return b.Core()->ManualClock() ? "manual" : "real"; }, "'real' or 'manual'.")
        .def_property_readonly("now", [](PyBench& b) { const auto held = b.Core();
            BenchCore& c = *held; return Released([&] { return c.Now(); }); },
                               "Bench time in seconds since it started (the manual clock's time).")
        .def_property("period",
                      [](PyBench& b) { const auto held = b.Core();
            BenchCore& c = *held; return Released([&] { return c.PeriodMs(); }) / 1000.0; },
                      [](PyBench& b, double s) {
                          CheckSeconds(s, "period");
                          const double ms = s * 1000.0;
                          if (ms < 1 || ms > 2147483647.0 || ms != std::floor(ms)) throw py::value_error("the period is a whole number of ms >= 1");
                          const auto held = b.Core();
            BenchCore& c = *held;
                          Released([&] { c.SetPeriodMs(int(ms)); });
                      },
                      "The refresh period in seconds (whole milliseconds).")
        .def("advance", [](PyBench& b, double seconds) {
            CheckSeconds(seconds, "seconds");
            const auto held = b.Core();
            BenchCore& c = *held;
            if (!c.ManualClock()) throw py::value_error("advance() needs clock='manual'");
            AdvanceChecked(c, seconds);
        }, "seconds"_a, "Manual clock: plays the bus on, with a refresh tick at each period boundary; returns once the acquisition thread has served every word.")
        .def("add_format", [](PyBench& b, const std::string& label, int msb_bit, int lsb_bit, double msb_weight,
                              const std::string& bit29, const std::string& units) {
            if (bit29 != "sign" && bit29 != "data") throw py::value_error("bit29 is 'sign' or 'data'");
            const auto held = b.Core();
            BenchCore& c = *held;
            Released([&] { c.AddFormat(label, msb_bit, lsb_bit, msb_weight, bit29 == "data", units); });
        }, "label"_a, py::kw_only(), "msb_bit"_a, "lsb_bit"_a, "msb_weight"_a, "bit29"_a = "sign", "units"_a = "",
           "Adds a format to Orvfrmt.stt of the workdir, checked as the format editor and list check it.")
        .def("add_param", [](PyBench& b, const std::string& name, int label, const std::string& format) {
            if (label < 0 || label > 0377) throw py::value_error("a label is 0..0o377");
            const auto held = b.Core();
            BenchCore& c = *held;
            Released([&] { c.AddParam(name, unsigned(label), format); });
        }, "name"_a, "label"_a, "format"_a = "", "Adds a parameter to OrvparamList.stt of the workdir (the dictionary).")
        .def_property_readonly("formats", [](PyBench& b) {
            const auto held = b.Core();
            BenchCore& c = *held;
            return Released([&] { return c.Formats(); });
        }, "The formats of the workdir's Orvfrmt.stt.")
        .def_property_readonly("params", [](PyBench& b) {
            const auto held = b.Core();
            BenchCore& c = *held;
            return Released([&] { return c.Params(); });
        }, "The dictionary of the workdir's OrvparamList.stt.")
        .def("load_list", [](PyBench& b, const py::object& path) {
            const std::string p = PathArg(path);
            const auto held = b.Core();
            BenchCore& c = *held;
            return Released([&] { return c.LoadList(p); });
        }, "path"_a, "Loads a .42i display list as the list dialog's Применить does (every mask ends); returns the reader's messages.")
        .def("watch", [](PyBench& b, const py::iterable& items) {
            std::vector<BenchCore::WatchItem> list;
            for (const py::handle& h : items) {
                if (!py::isinstance<py::tuple>(h)) throw py::type_error("watch() takes tuples (name, channel[, label[, format]])");
                const py::tuple t = py::reinterpret_borrow<py::tuple>(h);
                if (t.size() < 2 || t.size() > 4) throw py::type_error("watch() takes tuples (name, channel[, label[, format]])");
                BenchCore::WatchItem w;
                w.name = t[0].cast<std::string>();
                w.channel = t[1].cast<int>();
                if (t.size() > 2 && !t[2].is_none()) {
                    w.label = t[2].cast<int>();
                    if (w.label < 0) throw py::value_error("a label is 0..0o377");
                }
                if (t.size() > 3 && !t[3].is_none()) w.format = t[3].cast<std::string>();
                list.push_back(std::move(w));
            }
            const auto held = b.Core();
            BenchCore& c = *held;
            Released([&] { c.Watch(list); });
        }, "items"_a, "Replaces the displayed list with (name, channel[, label[, format]]) items; name alone is looked up in the dictionary.")
        .def("rows", [](PyBench& b) { return RowsOf(b); }, "The rows of the last refresh tick (the same tuple until the next tick or edit).")
        .def("row", [](PyBench& b, const std::optional<std::string>& name, int channel, std::optional<int> label) {
            if (!name && !label) throw py::type_error("give the parameter's name or label=");
            CheckChannel(channel, "input");
            const py::tuple rows = RowsOf(b);
            for (const py::handle& h : rows) {
                const Row& r = h.cast<const Row&>();
                if (r.d.channel == channel && (name ? r.d.name == *name : r.d.label == *label)) return py::reinterpret_borrow<py::object>(h);
            }
            throw py::key_error("no row " + Describe(name, label, channel));
        }, "name"_a, "channel"_a, py::kw_only(), "label"_a = py::none(), "The row of (name, channel), or of (label=, channel); KeyError when none.")
        .def("wait_for", &WaitFor, "name"_a, "channel"_a, py::kw_only(), "until"_a = py::none(), "timeout"_a = 10.0,
             "label"_a = py::none(),
             "Waits for the first row of (name or label=, channel) whose word satisfies until(row); TimeoutError otherwise.")
        .def("record", [](PyBench& b, const py::object& path, const std::optional<std::vector<int>>& inputs, bool replace) {
            const std::string p = PathArg(path);
            std::vector<uint8_t> chosen;
            for (int n : inputs.value_or(std::vector<int>{})) chosen.push_back(uint8_t(CheckChannel(n, "input")));
            if (inputs && chosen.empty()) throw py::value_error("no input chosen to record");
            const auto held = b.Core();
            BenchCore& c = *held;
            const uint64_t id = Released([&] { return c.StartRecording(p, chosen, replace); });
            return PyRecording{held, id, path, long(::getpid())};
        }, "path"_a, py::kw_only(), "inputs"_a = py::none(), "replace"_a = false,
           "Records the words of the board's inputs (all, or `inputs`) into a Chapter 10 file, until stop() or the end of `with`.")
        .def("send", [](PyBench& b, int output, const py::iterable& items, bool cyclic) {
            CheckChannel(output, "output");
            std::vector<orv::script::FrameItem> frame;
            for (const py::handle& h : items) {
                if (py::isinstance<Pause>(h)) frame.emplace_back(orv::script::PauseItem{h.cast<Pause>().slots});
                else frame.emplace_back(CheckWord(h));
            }
            const auto held = b.Core();
            BenchCore& c = *held;
            Released([&] { c.Send(unsigned(output), frame, cyclic); });
        }, "output"_a, "items"_a, py::kw_only(), "cyclic"_a = false,
           "Sends a frame of words (int) and Pause(n) on an output, once or cyclically (the frame dialog's Пуск).")
        .def("change_word", [](PyBench& b, int output, int slot, const py::object& word) {
            CheckChannel(output, "output");
            const uint32_t w = CheckWord(word);
            const auto held = b.Core();
            BenchCore& c = *held;
            Released([&] { c.ChangeWord(unsigned(output), slot, w); });
        }, "output"_a, "slot"_a, "word"_a, "Replaces the word in `slot` of the frame the output sends (изменить код).")
        .def("stop_output", [](PyBench& b, int output) {
            CheckChannel(output, "output");
            const auto held = b.Core();
            BenchCore& c = *held;
            Released([&] { c.StopOutput(unsigned(output)); });
        }, "output"_a, "Stops the output channel (Останов канала).")
        .def("mask", [](PyBench& b, const std::optional<std::string>& name, int channel, const std::string& pattern,
                        std::optional<int> label) {
            const auto held = b.Core();
            BenchCore& c = *held;
            const int row = RowIndex(c, name, label, channel);
            Released([&] { c.Mask(row, pattern); });
        }, "name"_a, "channel"_a, "pattern"_a, py::kw_only(), "label"_a = py::none(),
           "Sets the mask of the row: up to 23 characters 0, 1 or x for bits 31..9 (missing ones are x).")
        .def("unmask", [](PyBench& b, const std::optional<std::string>& name, int channel, std::optional<int> label) {
            const auto held = b.Core();
            BenchCore& c = *held;
            const int row = RowIndex(c, name, label, channel);
            Released([&] { c.Unmask(row); });
        }, "name"_a, "channel"_a, py::kw_only(), "label"_a = py::none(), "Resets the mask of the row.")
        .def("trace", [](PyBench& b, const std::optional<std::string>& name, int channel, std::optional<int> label) {
            const auto held = b.Core();
            BenchCore& c = *held;
            const int row = RowIndex(c, name, label, channel);
            const orv::script::TraceData t = Released([&] { return c.Trace(row); });
            TracePy out;
            for (std::size_t i = 0; i < t.points.size(); ++i) {
                const orv::TracePoint& p = t.points[i];
                out.points.push_back({p.slot, p.word, double(p.timeMs) / 1000.0, double(p.intervalMs) / 1000.0,
                                      bool(t.fits[i]), orv::script::DecodeValue(p.word, t.format)});
            }
            out.stats.words = t.stats.words;
            out.stats.fitting = t.stats.fitting;
            out.stats.matchCount = t.stats.matchCount;
            out.stats.span = double(t.stats.spanMs) / 1000.0;
            if (t.stats.intervals) {
                out.stats.intervalMin = t.stats.intervals->minMs / 1000.0;
                out.stats.intervalMax = t.stats.intervals->maxMs / 1000.0;
                out.stats.intervalMean = t.stats.intervals->meanMs / 1000.0;
                out.stats.intervalStddev = t.stats.intervals->stddevMs / 1000.0;
            }
            out.stats.rate = t.stats.rate;
            return out;
        }, "name"_a, "channel"_a, py::kw_only(), "label"_a = py::none(), "The trace of a masked row: its words and the trace dialog's statistics.")
        .def("capture", [](PyBench& b, int channel, std::optional<int> stop_label, double seconds) {
            CheckChannel(channel, "input");
            CheckSeconds(seconds, "seconds");
            if (stop_label && (*stop_label < 0 || *stop_label > 0377)) throw py::value_error("a label is 0..0o377");
            const auto held = b.Core();
            BenchCore& c = *held;
            Released([&] { c.StartCapture(unsigned(channel), stop_label.value_or(-1)); });
            if (c.ManualClock()) AdvanceChecked(c, seconds);
            else SleepChecked(seconds);
            const auto block = Released([&] { return c.CaptureBlock(); });
            return py::tuple(py::cast(std::vector<uint32_t>(block.begin(), block.end())));
        }, "channel"_a, py::kw_only(), "stop_label"_a = py::none(), "seconds"_a,
           "File reception on an input: starts it, waits `seconds` (bench time) and returns the block's 256 words.")
        .def("counters", [](PyBench& b) {
            const auto held = b.Core();
            BenchCore& c = *held;
            const orv::script::CounterData d = Released([&] { return c.Counters(); });
            CountersPy out;
            for (unsigned ch = 1; ch <= d.spec.inputs; ++ch) {
                const auto& in = d.counters.inputs[ch - 1];
                const auto& line = d.counters.lines[ch - 1];
                out.inputs.push_back({int(ch), orv::HearsText(d.counters.hears[ch - 1], ch), line.sent, line.notSent,
                                      in.received, in.parityDropped, in.rateMismatched, in.overflowed});
            }
            for (unsigned ch = 1; ch <= d.spec.outputs; ++ch) out.outputs.push_back({int(ch), d.counters.outputsSent[ch - 1]});
            return out;
        }, "The virtual board's counters per input and output.");

    m.def("decode", [](const py::object& word, const py::object& format) {
        return orv::script::DecodeValue(CheckWord(word), FormatArg(format));
    }, "word"_a, "format"_a = py::none(), "The value the table shows for `word` through `format` (None without a format).");
    m.def("decimal_text", [](const py::object& word, const py::object& format) {
        return orv::script::FromCp1251(orv::script::DecimalText(CheckWord(word), FormatArg(format)));
    }, "word"_a, "format"_a = py::none(), "The table's DECIMAL text of `word` through `format` (21 columns).");
    m.def("_encode_label", [](const std::string& toml, double value) {
        py::gil_scoped_release release;
        return orv::script::EncodeLabel(toml, value);
    }, "toml"_a, "value"_a, "A word from one scenario label table (TOML) holding `value`; used by orvmon.encode().");

    py::class_<C10Word>(m, "C10Word", "One word of a recording.")
        .def_property_readonly("time", [](const C10Word& w) { return w.time; }, "Nanoseconds since 1970 UTC (since the first word before any time packet).")
        .def_property_readonly("channel", [](const C10Word& w) { return w.channel; }, "Channel id of its packet.")
        .def_property_readonly("bus", [](const C10Word& w) { return w.bus; }, "Bus number (input N is bus N-1).")
        .def_property_readonly("word", [](const C10Word& w) { return w.word; }, "The word as sent on the bus.")
        .def_property_readonly("parity_error", [](const C10Word& w) { return w.parity; }, "Parity error flag.")
        .def_property_readonly("format_error", [](const C10Word& w) { return w.format; }, "Format error flag.")
        .def("__iter__", [](const C10Word& w) {
            return py::iter(py::make_tuple(w.time, w.channel, w.bus, w.word, w.parity, w.format));
        })
        .def("__repr__", [](const C10Word& w) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "C10Word(time=%lld, channel=%u, bus=%u, word=0x%08x, parity_error=%s, format_error=%s)",
                          (long long)w.time, unsigned(w.channel), unsigned(w.bus), w.word, w.parity ? "True" : "False",
                          w.format ? "True" : "False");
            return std::string(buf);
        });
    py::class_<C10Iter>(m, "C10Reader", "The words of a recording, in file order.")
        .def("__iter__", [](py::object self) { return self; })
        .def("__next__", [](C10Iter& it) {
            const Columns& c = *it.columns;
            if (it.next >= c.count) throw py::stop_iteration();
            const std::size_t i = it.next++;
            return C10Word{c.Time()[i], c.Channel()[i], c.Bus()[i], c.Word()[i], c.Parity()[i], c.Format()[i]};
        })
        .def_property_readonly("problems", [](const C10Iter& it) { return it.columns->problems; },
                               "The reader's messages for damaged parts, each with its byte offset.");
    m.def("_c10_read", [](const py::object& path, bool reversed_labels) {
        return C10Iter{std::shared_ptr<Columns>(ReadColumns(PathArg(path), reversed_labels)), 0};
    }, "path"_a, "reversed_labels"_a = false, "Reads a recording; used by orvmon.c10.read().");
    m.def("_c10_read_arrays", [](const py::object& path, bool reversed_labels) {
        const std::string p = PathArg(path);
        py::module_::import("numpy");
        std::unique_ptr<Columns> c = ReadColumns(p, reversed_labels);
        const std::size_t n = c->count;
        py::dict d;
        d["time"] = Owned<int64_t>(c->time, n);
        d["channel"] = Owned<uint16_t>(c->channel, n);
        d["bus"] = Owned<uint8_t>(c->bus, n);
        d["word"] = Owned<uint32_t>(c->word, n);
        d["parity_error"] = Owned<bool>(c->parity, n);
        d["format_error"] = Owned<bool>(c->format, n);
        d["problems"] = c->problems;
        return d;
    }, "path"_a, "reversed_labels"_a = false, "Reads a recording into numpy columns; used by orvmon.c10.read_arrays().");
}
