#include "files/settings_guard.h"

#include "resources/file_strings.h"

namespace orv {

// ---- Settings file guard ----

SettingsFileGuard GuardOfRead(std::string name, ReadStatus status, std::size_t recordsLeftOut) {
    SettingsFileGuard guard;
    guard.name = std::move(name);
    guard.unreadable = status == ReadStatus::NotRegular || status == ReadStatus::Unreadable;
    guard.keepBackup = !guard.unreadable && recordsLeftOut != 0;
    if (guard.unreadable) guard.openMessage = text::FileMessage(text::kFileReadFailed, guard.name);
    else if (recordsLeftOut != 0) guard.openMessage = text::DamagedRecordsMessage(guard.name, recordsLeftOut);
    return guard;
}

std::string SettingsFileGuard::SaveRefusal() const {
    return unreadable ? text::FileMessage(text::kKeptBefore, name, text::kKeptAfter) : std::string();
}

std::string SettingsFileGuard::SaveFailure() const { return text::FileMessage(text::kFileCreateFailed, name); }

}  // namespace orv
