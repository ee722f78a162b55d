#include "files/list_file.h"

#include <utility>

namespace orv {

bool SaveListFile(std::unique_ptr<DataFile> file, std::span<const uint8_t> bytes, std::string& lossyFile) {
    const bool overLossy = !lossyFile.empty() && file->Path() == lossyFile;
    file->KeepBackup(overLossy);
    const bool written = file->Write(bytes);
    if (!written) file->Discard();
    if (!written || !file->Close()) return false;
    if (overLossy) lossyFile.clear();
    return true;
}

RestoredList RestoreListFile(std::unique_ptr<DataFile> file, const ListFileDecoder& decode, std::string& lossyFile) {
    std::vector<uint8_t> bytes;
    const bool whole = file->ReadAll(bytes);
    file->Close();
    RestoredList restored = decode(bytes, whole, file->Path());
    lossyFile = restored.lossy ? file->Path() : std::string();
    return restored;
}

}  // namespace orv
