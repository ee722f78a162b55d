#include "config/param_edit.h"

#include "arinc/text.h"
#include "resources/config_strings.h"

namespace orv {
namespace {

std::string_view Column(std::string_view line, std::size_t at, std::size_t width) {
    return at < line.size() ? line.substr(at, width) : std::string_view{};
}

std::string TrimRight(std::string_view text) {
    const auto end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string{} : std::string(text.substr(0, end + 1));
}

}  // namespace

ParamCheck CheckParamFields(const ParamFields& fields) {
    ParamCheck out;
    // A label number is one byte: an address above octal 377 would not survive the record.
    const std::optional<long long> address = fields.address ? ScanOct(Trim(*fields.address)) : std::nullopt;
    if (!address || *address < 0 || *address > 0xFF) return {out.record, text::kBadAddress};
    const std::string label = fields.label ? std::string(Trim(*fields.label)) : std::string{};
    if (label.empty()) return {out.record, text::kNoParamLabel};

    out.record.address = uint16_t(*address);
    out.record.paramLabel.Assign(label);
    out.record.formatLabel.Assign(fields.formatLabel ? Trim(*fields.formatLabel) : std::string_view{});
    return out;
}

ParamFields FieldsOfParamLine(std::string_view line) {
    ParamFields f;
    f.label = TrimRight(Column(line, 0, 8));
    f.address = std::string(Column(line, 15, 3));
    f.formatLabel = TrimRight(Column(line, 24, 8));
    return f;
}

}  // namespace orv
