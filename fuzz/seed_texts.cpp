// Writes the CSV and JSON text of every sample file of a folder, as `orvtool export` writes them,
// into another folder: the seeds of the import targets, always those of the committed samples.
//   seed_texts SAMPLES OUT
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "file_kinds.h"
#include "file_reads.h"
#include "text_forms.h"

int main(int argc, char** argv) {
    using namespace orv::tool;
    if (argc != 3) return 2;
    const std::filesystem::path out = argv[2];
    std::filesystem::create_directories(out);
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        const std::string name = entry.path().filename().string();
        const std::optional<Kind> kind = KindOfPath(name);
        if (!kind || !entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        const FileRead read = ReadAsProgram(*kind, bytes, name);
        std::ofstream(out / (name + ".csv"), std::ios::binary) << WriteText(TextForm::Csv, *kind, read.rows);
        std::ofstream(out / (name + ".json"), std::ios::binary) << WriteText(TextForm::Json, *kind, read.rows);
    }
    return 0;
}
