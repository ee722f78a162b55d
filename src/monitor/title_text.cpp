#include "monitor/title_text.h"

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "resources/monitor_strings.h"

namespace orv {

std::string CycleText(int32_t cycle) { return Cp1251(text::kTitleCyclePrefix) + FormatDec(cycle, 10); }

std::string PeriodText(int32_t periodMs) {
    return Cp1251(text::kTitlePeriodPrefix) + FormatDec(periodMs, 10) + Cp1251(text::kTitlePeriodSuffix);
}

std::string FileChannelText(uint16_t channel) { return Cp1251(text::kTitleFilePrefix) + FormatDec(channel, 2); }

TitleDrawing DrawTitle(const TitleValues& v) {
    TitleDrawing d;
    const auto text = [&d](int x, int y, std::string s) { d.texts.push_back({x, y, std::move(s)}); };
    const auto line = [&d](int x1, int y1, int x2, int y2) { d.lines.push_back({x1, y1, x2, y2}); };
    const auto vertical = [&line](std::initializer_list<int> xs, int y1, int y2) {
        for (int x : xs) line(x, y1, x, y2);
    };

    if (v.deviceState == -1) {
        d.fillWhite = true;
        return d;
    }
    switch (v.acquisitionMode) {
        case 0:
            d.fillWhite = true;
            text(0, 0, Cp1251(text::kTitleModule));
            break;
        case 1:
            if (v.displayListReady == 0) {
                d.fillWhite = true;
                text(0, 0, Cp1251(text::kTitleModule));
                break;
            }
            text(0, 0, Cp1251(text::kTitleModule));
            text(756, 0, Cp1251(text::kTitleRefresh));
            text(756, 16, CycleText(v.cycleCounter));
            text(756, 32, PeriodText(v.refreshPeriodMs));
            text(0, 16, Cp1251(text::kTitleParamHead1));
            text(0, 32, Cp1251(text::kTitleParamHead2));
            line(0, 16, 756, 16);
            line(182, 32, 574, 32);
            vertical({70, 119, 182}, 16, 48);
            vertical({273, 378, 427}, 32, 48);
            vertical({574, 651, 756}, 16, 48);
            break;
        case 2:
            text(0, 0, Cp1251(text::kTitleModule));
            text(427, 0, FileChannelText(v.fileChannel));
            text(756, 0, Cp1251(text::kTitleRefresh));
            text(756, 16, PeriodText(v.refreshPeriodMs));
            text(0, 16, Cp1251(text::kTitleStreamHead1));
            text(0, 32, Cp1251(text::kTitleStreamHead2));
            line(70, 16, 427, 16);
            line(182, 32, 427, 32);
            vertical({70, 119, 182}, 16, 48);
            vertical({273, 378}, 32, 48);
            vertical({427}, 16, 48);
            break;
        default: break;
    }
    return d;
}

}  // namespace orv
