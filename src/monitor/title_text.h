#pragma once
// What the title pane draws: the module name, the refresh information and the column heads over
// the table pane's columns, with their rules. Texts are Windows-1251 bytes placed on the
// character grid (column c at x = 7c); positions and lines are in pixels.

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

struct TitleValues {
    int32_t deviceState = -1;
    uint16_t acquisitionMode = 0;
    int32_t cycleCounter = 0;
    int32_t refreshPeriodMs = 1000;
    int32_t displayListReady = 0;
    uint16_t fileChannel = 0;
};

struct PlacedText {
    int x = 0;
    int y = 0;
    std::string text;  // Windows-1251
    friend bool operator==(const PlacedText&, const PlacedText&) = default;
};

struct PlacedLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    friend bool operator==(const PlacedLine&, const PlacedLine&) = default;
};

struct TitleDrawing {
    bool fillWhite = false;  // fill the pane white before drawing
    std::vector<PlacedText> texts;
    std::vector<PlacedLine> lines;
};

// " № цикла = %10d", " период  = %10d мсек", "  Прием файла по каналу № %2d".
std::string CycleText(int32_t cycle);
std::string PeriodText(int32_t periodMs);
std::string FileChannelText(uint16_t channel);

TitleDrawing DrawTitle(const TitleValues& values);

}  // namespace orv
