#pragma once
// The rules of the data file choosers: which files of the current directory they list and how the
// save chooser completes a typed name. File names are the file system's (UTF-8) bytes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// Names of the entries of `dir` that match "*" followed by `extension`, letter case of the
// extension ignored, directories included; never the temporary files of a save in progress (or of
// one that was killed). In no particular order; empty if `dir` cannot be read.
std::vector<std::string> ListDataFiles(std::string_view extension, const std::string& dir = ".");

// The save chooser's completion of a typed name: blanks trimmed at both ends, cut at the first
// dot, `extension` appended. nullopt when the name is refused: empty, beginning with a dot, naming
// anything outside the current directory (a path separator or a zero byte), or a name the open
// chooser could never list or the save could not write: one with no Windows-1251 form (or not
// UTF-8), one holding a control character, or one too long for the file system together with the
// save's temporary file.
std::optional<std::string> CompleteFileName(std::string_view typed, std::string_view extension);

// True when something of that name exists (a file, a directory, a dangling link).
bool NameExists(const std::string& name);

// The overwrite question for `name` (UTF-8).
std::string OverwriteQuestion(std::string_view name);

}  // namespace orv
