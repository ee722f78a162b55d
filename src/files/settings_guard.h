#pragma once
// What a table dialog over a settings file remembers of its reading, so that its save never
// destroys records the engineer was not shown.

#include <cstddef>
#include <string>

#include "files/record_read.h"

namespace orv {

// ---- Settings files behind a table dialog ----
// What a dialog that shows a settings file and saves its list back over it must remember from
// the reading: a file that exists but was not read must not be saved over (its records were never
// shown), and a file with records left out keeps its old contents as "<name>.bak" on the first save.
struct SettingsFileGuard {
    std::string name;          // the file's name, as messages show it
    bool unreadable = false;   // "Применить" must refuse to save
    bool keepBackup = false;   // the next save copies the old file to "<name>.bak"
    std::string openMessage;   // to tell the engineer when the list is shown (UTF-8), or empty

    // The refusal to show on "Применить" over an unreadable file, or empty when a save may go on.
    std::string SaveRefusal() const;
    // The message for a save that failed ("Ошибка создания файла " and the name).
    std::string SaveFailure() const;
    // After a successful save the file holds exactly the list: no more backups.
    void Saved() { keepBackup = false; }
};
SettingsFileGuard GuardOfRead(std::string name, ReadStatus status, std::size_t recordsLeftOut);
template <class T>
SettingsFileGuard GuardOf(const RecordFileRead<T>& read, std::string name) {
    return GuardOfRead(std::move(name), read.status, read.damaged.size() + (read.trailingBytes != 0 ? 1 : 0));
}

}  // namespace orv
