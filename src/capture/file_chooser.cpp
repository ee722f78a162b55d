#include "capture/file_chooser.h"

#include <dirent.h>
#include <sys/stat.h>

#include "text/code_page.h"
#include "text/scanf_forms.h"
#include "files/record_read.h"
#include "files/file_replacement.h"
#include "resources/capture_strings.h"

namespace orv {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    const std::string_view tail = name.substr(name.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (LowerAscii(tail[i]) != LowerAscii(suffix[i])) return false;
    return true;
}

}  // namespace

std::vector<std::string> ListDataFiles(std::string_view extension, const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d) return names;
    while (const dirent* e = readdir(d)) {
        const std::string_view name(e->d_name);
        if (name == "." || name == ".." || IsReplacementTemporary(name)) continue;
        if (EndsWithNoCase(name, extension)) names.emplace_back(name);
    }
    closedir(d);
    return names;
}

std::optional<std::string> CompleteFileName(std::string_view typed, std::string_view extension) {
    std::string_view name = Trim(typed);
    if (name.empty()) return std::nullopt;
    const std::size_t dot = name.find('.');
    if (dot == 0) return std::nullopt;
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    // Data files live in the current directory: a name must not lead anywhere else.
    if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return std::nullopt;
    std::string out(name);
    out += extension;
    // The open chooser lists Windows-1251 lines: a name without that form, or with a character a
    // list line cannot show, would be saved and never found again.
    const auto shown = Cp1251FromUtf8(out);
    if (!shown || HasControlCharacter(*shown) || shown->find('\0') != std::string::npos) return std::nullopt;
    if (out.size() > kMaxReplaceableName) return std::nullopt;
    return out;
}

bool NameExists(const std::string& name) {
    struct stat st {};
    return lstat(name.c_str(), &st) == 0;
}

std::string OverwriteQuestion(std::string_view name) {
    std::string q = text::kOverwriteBefore;
    q += name;
    q += text::kOverwriteAfter;
    return q;
}

}  // namespace orv
