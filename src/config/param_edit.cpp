#include "config/param_edit.h"

#include "text/scanf_forms.h"
#include "resources/config_strings.h"

namespace orv {
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
    f.label = std::string(TrimRightBlanks(Columns(line, 0, 8)));
    f.address = std::string(Columns(line, 15, 3));
    f.formatLabel = std::string(TrimRightBlanks(Columns(line, 24, 8)));
    return f;
}

}  // namespace orv
