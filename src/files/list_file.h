#pragma once
// Saving and restoring a list file (the display list ".42i", the output frame ".42o") through the
// data file its chooser opened. Both lists keep the path of the file their last restore took with
// something left out (`lossyFile`): the first save over that file keeps the old one as
// "<name>.bak", so what the restore could not show is not lost.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/data_file.h"

namespace orv {

// What a restore gives its list: the lines, whether anything of the file was left out (damaged
// or surplus records, a trailing partial record, a read that failed part way), and the messages
// (UTF-8) to show in order.
struct RestoredList {
    std::vector<std::string> lines;
    bool lossy = false;
    std::vector<std::string> messages;
};

// Turns a list file's bytes into its lines: `whole` is false when the read failed part way, `name`
// is the file as messages name it.
using ListFileDecoder =
    std::function<RestoredList(std::span<const uint8_t> bytes, bool whole, std::string_view name)>;

// Writes `bytes` as the whole of `file` (opened for writing) and closes it, which replaces the old
// file in one step (keeping it as "<name>.bak" when it is `lossyFile`). A file that could not be
// written whole is discarded and the old one stays as it was. Returns false when the file was not
// saved (the caller tells the engineer); on success `lossyFile` is cleared if it named this file.
bool SaveListFile(std::unique_ptr<DataFile> file, std::span<const uint8_t> bytes, std::string& lossyFile);

// Reads the whole of `file` (opened for reading), closes it and decodes the bytes. `lossyFile`
// becomes the file's path when the restore left something out, else empty.
RestoredList RestoreListFile(std::unique_ptr<DataFile> file, const ListFileDecoder& decode, std::string& lossyFile);

}  // namespace orv
