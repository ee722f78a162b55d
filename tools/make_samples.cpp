// Writes, into the directory given on the command line, sample files for the virtual board's
// flight scenario: the decimal formats ("Orvfrmt.stt"), the parameter dictionary
// ("OrvparamList.stt") and "scenario.42i", the display list of every scenario label on input
// channels 5 to 8. The records are written by the program's own code, in the order the format
// table and dictionary dialogs would save them.

#include <cstdio>
#include <string>
#include <vector>

#include "capture/data_file.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "config/table_rules.h"
#include "display/display_line_file.h"
#include "vboard/flight_scenario.h"

namespace {

using namespace orv;

std::vector<DecimalFormat> ScenarioFormats() {
    std::vector<DecimalFormat> formats;
    for (const auto& s : kFlightScenario) {
        if (s.formatLabel[0] == '\0') continue;
        DecimalFormat f;
        f.label.Assign(s.formatLabel);
        f.units.Assign(s.units);
        f.msbBit = s.msbBit;
        f.lsbBit = s.lsbBit;
        f.bit29Role = s.bit29Role;
        f.msbWeight = s.msbWeight;
        formats.push_back(f);
    }
    // Through the table's lines: sorted as the list box sorts, weights as the list carries them.
    return FormatsOfLines(FormatLines(formats));
}

std::vector<ParamRecord> ScenarioParams() {
    std::vector<ParamRecord> records;
    for (const auto& s : kFlightScenario) {
        ParamRecord r;
        r.address = s.label;
        r.paramLabel.Assign(s.name);
        r.formatLabel.Assign(s.formatLabel);
        records.push_back(r);
    }
    return ParamsOfLines(ParamLines(records));
}

std::vector<DisplayLineRecord> ScenarioDisplayList() {
    std::vector<DisplayLineRecord> records;
    for (uint16_t channel = 5; channel <= 8; ++channel) {
        for (const auto& s : kFlightScenario) {
            DisplayLineRecord r;
            r.address = s.label;
            r.channel = channel;
            r.paramLabel.Assign(s.name);
            r.formatLabel.Assign(s.formatLabel);
            records.push_back(r);
        }
    }
    return records;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = SaveFormats(ScenarioFormats(), dir + kFormatFileName);
    ok = SaveParams(ScenarioParams(), dir + kParamFileName) && ok;

    const std::vector<uint8_t> list = EncodeDisplayLines(ScenarioDisplayList());
    auto file = DataFile::CreateForWriting(dir + "scenario.42i");
    ok = file && file->Write(list) && file->Close() && ok;
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write the sample files into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
