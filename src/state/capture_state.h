#pragma once
// File reception on one input channel, and the one open data file.

#include <cstdint>
#include <memory>

#include "files/data_file.h"

namespace orv {

struct CaptureState {
    uint16_t FileChannel = 0;    // channel in file reception, 1..8
    uint16_t StreamAddress = 0;  // word address of its 512-word block
    int16_t StopLabel = 0;       // label that stops the capture, -1 none
    std::unique_ptr<DataFile> DataFileHandle;

    void Reset() {
        FileChannel = 0;
        StreamAddress = 0;
        StopLabel = 0;
        DataFileHandle.reset();
    }
};

}  // namespace orv
