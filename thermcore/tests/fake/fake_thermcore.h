// A recording stand-in for the library behind an IfrCalls table, for tests
// of the programs' image holders: every call is logged by name with its
// arguments, and the answers come from the fields below. One fake is live
// at a time (the table's functions reach the one constructed last).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "thermcore_calls.h"

namespace thermcore::testing {

class FakeThermcore {
public:
    FakeThermcore();
    ~FakeThermcore();
    FakeThermcore(const FakeThermcore&) = delete;
    FakeThermcore& operator=(const FakeThermcore&) = delete;

    const IfrCalls& calls() const;

    // The handle every constructor returns (null: the open fails).
    static IfrHandle Handle();
    IfrHandle loadResult = Handle();

    // Every call as "Name(arguments)", in order; names() without arguments.
    std::vector<std::string> log;
    std::vector<std::string> names() const;
    // The entries whose name is name, arguments only.
    std::vector<std::string> argsOf(const std::string& name) const;
    void clearLog() { log.clear(); }

    int closeResult = 0;
    int width = 320;
    int height = 240;
    int photoWidth = 0;
    int photoHeight = 0;
    int scheme = 0;
    int version = 4;
    float emissivity = 0.95f;
    float distance = 2.0f;
    float ambient = 22.0f;
    float humidity = 0.5f;
    float atmosphere = 21.0f;
    int colorId = 0;
    int histMax = 3000;
    int histMin = 1000;
    int nextResult = 0;
    int rulerResult = 0;
    int existSound = 0;
    int soundFileResult = 1;
    int boardX = 0, boardY = 0, boardW = 0, boardH = 0;
    IfrPointInfo points[4]{};
    IfrRectInfo rects[3]{};
    IfrLineInfo lines[3]{};
    char model[8]{};
    char firmware[16]{};
    char serial[16]{};
    char dateTime[32]{};
    char deviceByte = 0;
    int rangeLow = 0;
    int rangeHigh = 0;
    char lastByte = 0;
    bool writesLastByte = true;  // a sequence leaves it unwritten
    bool fillsRecords = true;    // false: the Get...Info calls fail (-1)

    // Conversions; by default 100 grays a degree.
    std::function<float(int)> grayToTemp = [](int g) { return static_cast<float>(g) / 100.0f; };
    std::function<int(float)> tempToGray = [](float t) { return static_cast<int>(t * 100.0f); };
    std::function<float(int, int)> pointTemp = [](int x, int y) {
        return static_cast<float>(x) + static_cast<float>(y) / 1000.0f;
    };

    // IFR_OutputDIB: the result, and the count it reports (-1: the true
    // size of a width x height picture, header included). The bytes it
    // writes are a BMP file header followed by 0, 1, 2, ... (mod 251).
    int dibResult = 0;
    int dibSize = -1;
};

}  // namespace thermcore::testing
