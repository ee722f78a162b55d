#pragma once
// Records what the input lines of one board carry into a Chapter 10 file: every word of the chosen
// inputs, at its bus time, as the device's word stream (driver/word_stream.h) hands it over, with
// the parity and format errors of the words the inputs dropped.
//
// The stream calls OnWord on the thread that plays the bus; the word goes into the writer's queue
// there and nothing else. Service() (a thread of the recorder's own, or the caller on a manual
// clock) turns the queued words into packets and writes them; Stop() ends the stream, writes what
// is held and closes the file.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "c10/c10_writer.h"
#include "driver/word_stream.h"

namespace orv {

struct RecordedInput {
    uint8_t input = 1;       // 1..8
    double nominalRate = 0;  // bit/s, the TMATS rate when the line carries nothing at the start
};

struct RecorderOptions {
    std::string path;
    uint16_t channelId = 2;          // board 1: 2, board 2: 3
    std::string channelName;         // UTF-8, the device's name
    std::vector<RecordedInput> inputs;
    int64_t startTime = 0;           // absolute time of the start, 0.1 us since 1970 UTC
    bool replace = false;            // an existing file is replaced (the engineer confirmed)
    bool ownThread = true;           // false: the caller calls Service() (manual clock)
};

class BusRecorder final : public WordSink {
public:
    // Creates the file and starts taking the stream's words. Null with `error` (Russian) when the
    // file cannot be made or the inputs cannot be described.
    static std::unique_ptr<BusRecorder> Start(WordStream& stream, RecorderOptions options, std::string* error);
    ~BusRecorder() override;
    BusRecorder(const BusRecorder&) = delete;
    BusRecorder& operator=(const BusRecorder&) = delete;

    void OnWord(const LineWord& word) override;
    // Writes the packets that are due. False once the recording has stopped on a failure.
    bool Service();
    // Ends the stream, writes everything held and closes the file; true when the file is whole.
    // Later calls return the same.
    bool Stop();

    // How often the recorder's own thread writes the packets due (microseconds); a caller that
    // services it on a manual clock advances the board in steps of this length, so that its file
    // has the packets where a real-time recording puts them.
    static constexpr uint64_t kServicePeriodUs = 20'000;

    const std::string& Path() const { return path_; }
    bool Failed() const { return writer_->Failed(); }
    std::string FailureMessage() const;
    uint64_t WordsWritten() const { return writer_->WordsWritten(); }
    uint64_t BytesWritten() const { return writer_->BytesWritten(); }
    uint64_t LostWords() const { return writer_->LostWords(); }

private:
    BusRecorder(WordStream& stream, std::string path, uint16_t channelId, uint64_t startUs);
    void ServiceLoop();

    WordStream& stream_;
    std::string path_;
    uint16_t channelId_;
    uint64_t startUs_;
    uint32_t inputMask_ = 0;  // bit n-1 for input n
    std::unique_ptr<c10::Writer> writer_;

    mutable std::mutex mutex_;  // guards the writer's consumer side and the stop
    std::condition_variable wake_;
    bool stopping_ = false;
    bool stopped_ = false;
    bool stopResult_ = true;
    bool streaming_ = false;  // this recorder is the stream's sink
    std::thread thread_;
};

// The setup a recording of `inputs` describes: each input's bus with its name ("Вход N") and the
// rate its line carries now (else its nominal rate).
c10::RecordingSetup SetupOf(const WordStream& stream, const RecorderOptions& options);

}  // namespace orv
