// Writes, into the directory given on the command line, sample files for the virtual board's
// flight scenario: the decimal formats ("Orvfrmt.stt"), the parameter dictionary
// ("OrvparamList.stt"), "scenario.42i", the display list of every scenario label on input
// channel 1 (where the frame sent on output 1 comes back) and on input channels 5 to 8 (which hear
// the built-in flight), "scenario.42o", a frame of every scenario word at 30 seconds into the
// flight (a pause after each), and the channel settings "Orvparam.stt" (every channel at its
// lowest rate, as the virtual board's scenario sends, and output channel 8 completing to even
// parity). The records are written by the program's own code, in the order its dialogs would save
// them. They are also the fuzzers' seeds.

#include <cstdio>
#include <string>
#include <vector>

#include "files/data_file.h"
#include "config/channel_settings.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "config/table_rules.h"
#include "display/display_line_file.h"
#include "transmit/frame_list.h"
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
    for (const uint16_t channel : {uint16_t(1), uint16_t(5), uint16_t(6), uint16_t(7), uint16_t(8)}) {
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

// Every scenario word as the word editor would give it, each followed by one pause slot; the
// words carry their formats as the frame dialog does.
std::vector<uint8_t> ScenarioFrame() {
    const std::vector<DecimalFormat> formats = ScenarioFormats();
    LineList list(false);
    FrameEntry current;
    for (std::size_t i = 0; i < kFlightScenario.size(); ++i) {
        const auto& s = kFlightScenario[i];
        current = FrameEntry{};
        current.address = s.label;
        current.paramLabel.Assign(s.name);
        current.word = ScenarioWord(i, 30.0, 0) & 0x7FFFFFFFu;
        for (const auto& f : formats)
            if (f.label.Trimmed() == std::string_view(s.formatLabel)) {
                current.format = f;
                current.formatLabel = f.label;
            }
        AppendWordLine(list, current);
        AppendPauseLines(list, 1);
    }
    return FrameFileBytes(list, current);
}

ChannelSettingTable ScenarioSettings() {
    ChannelSettingTable table{};
    table[std::size_t(OutputSettingIndex(8))] = SettingWord(0, 1);
    return table;
}

bool WriteDataFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    auto file = DataFile::CreateForWriting(path);
    return file && file->Write(bytes) && file->Close();
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

    ok = SaveChannelSettings(ScenarioSettings(), dir + kChannelSettingsFileName) && ok;
    ok = WriteDataFile(dir + "scenario.42i", EncodeDisplayLines(ScenarioDisplayList())) && ok;
    ok = WriteDataFile(dir + "scenario.42o", ScenarioFrame()) && ok;
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write the sample files into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
