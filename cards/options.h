#pragma once

#include <array>
#include <string_view>

namespace vorn {

// One row of the speed table: the cycle timer interval, the pause after a play
// and the pause between the ten steps of a card move, all in milliseconds.
struct SpeedRow {
    int cycleInterval;
    int playDelay;
    int stepDelay;
};

inline constexpr SpeedRow kSpeedTable[3] = {{300, 500, 5}, {500, 800, 15}, {800, 1000, 20}};
inline constexpr float kGambleRates[3] = {0.1f, 0.5f, 0.9f};
// The level item after the three of the rules: seats 1 to 3 search instead.
// Where the rules still decide (the hint's fallbacks, a person's seat played
// by the computer), they gamble as the middle level does.
inline constexpr int kExpertLevel = 3;
inline constexpr int kLevelItems = 4;

// The level item a level's English name stands for, as the menu orders them
// (high first), or -1 for a name that is none.
constexpr int LevelItemOfName(std::string_view name) {
    constexpr std::array<std::string_view, kLevelItems> kNames{"high", "medium", "low", "expert"};
    for (int item = 0; item < kLevelItems; ++item)
        if (kNames[size_t(item)] == name) return item;
    return -1;
}

// The option state the menus set and the rest of the program reads. The menu
// items' check marks mirror these fields one to one; nothing else stores them.
struct Options {
    int rateItem = 1;  // checked speed item, -1 for none
    int cycleInterval = kSpeedTable[1].cycleInterval;
    int playDelay = kSpeedTable[1].playDelay;
    int stepDelay = kSpeedTable[1].stepDelay;
    int levelItem = 1;  // checked computer-level item, -1 for none
    float gambleRate = kGambleRates[1];
    bool animation = true;
    bool sound = true;
    bool showScore = false;
    bool showMessage = false;
    bool showConnections = false;
    int deskShape = 0;  // 0 square table, 3 round table (other shape numbers are kept as read)
    bool fourColour = false;
    bool keepPlay = true;       // the play to beat stays face up on the heap
    bool refusalBoxes = false;  // a refused play is told in a box, not a note that fades
    bool autoPass = false;      // the person passes by itself when nothing in hand may beat the table
    bool english = false;       // the person reads English; Chinese, the source, otherwise
    // Where the table window last was: left and top of its frame, width and
    // height of its inside, in screen pixels; a width of 0 when never placed.
    std::array<int, 4> window{};

    void SetSpeed(int row) {
        rateItem = row;
        cycleInterval = kSpeedTable[row].cycleInterval;
        playDelay = kSpeedTable[row].playDelay;
        stepDelay = kSpeedTable[row].stepDelay;
    }
    void SetLevel(int item) {
        levelItem = item;
        gambleRate = kGambleRates[item == kExpertLevel ? 1 : item];
    }
};

}  // namespace vorn
