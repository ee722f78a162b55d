#pragma once
// The parameter dictionary: the 24-byte dictionary record and the file "OrvparamList.stt" in the
// current directory, in the order of the dictionary dialog's list.
//
// Record layout (little-endian): 0 reserved (4), 4 address (2), 6 formatLabel (8) + zero,
// 15 paramLabel (8) + zero.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "arinc/word.h"

namespace orv {

inline constexpr std::size_t kParamRecordSize = 24;
inline constexpr const char* kParamFileName = "OrvparamList.stt";

std::array<uint8_t, kParamRecordSize> EncodeParam(const ParamRecord& record);
// `record` holds at least kParamRecordSize bytes.
ParamRecord DecodeParam(std::span<const uint8_t> record);

// Every entry of the file, in file order; empty when the file cannot be read.
std::vector<ParamRecord> LoadParams(const std::string& path = kParamFileName);

// Replaces the file with the entries in the given order; false when it could not be written (the
// old file is then left as it was).
bool SaveParams(std::span<const ParamRecord> records, const std::string& path = kParamFileName);

}  // namespace orv
