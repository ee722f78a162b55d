// orvtool's CSV import for every kind of file (fuzz_import.h).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orv::tool::ImportEveryKind(orv::tool::TextForm::Csv, std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
