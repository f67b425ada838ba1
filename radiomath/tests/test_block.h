// A parameter block for tests, loaded from the generator's output and edited
// word by word, independently of the library's structure declaration.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "radiomath.h"

class TestBlock {
public:
    static TestBlock load(const std::string& preset) {
        TestBlock b;
        const std::string path = std::string(MTPARA_FIXTURE_DIR) + "/" + preset + ".bin";
        std::ifstream in(path, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        if (bytes.size() != b.words_.size() * 4) {
            ADD_FAILURE() << "fixture " << path << " has " << bytes.size() << " bytes";
            return b;
        }
        std::memcpy(b.words_.data(), bytes.data(), bytes.size());
        return b;
    }

    TestBlock& i32(int word, int32_t v) {
        std::memcpy(&words_.at(word), &v, 4);
        return *this;
    }
    TestBlock& f32(int word, float v) {
        std::memcpy(&words_.at(word), &v, 4);
        return *this;
    }
    int32_t i32(int word) const {
        int32_t v;
        std::memcpy(&v, &words_.at(word), 4);
        return v;
    }
    float f32(int word) const {
        float v;
        std::memcpy(&v, &words_.at(word), 4);
        return v;
    }

    MT_Para* para() { return reinterpret_cast<MT_Para*>(words_.data()); }
    const std::array<uint32_t, 839>& words() const { return words_; }

    // Gray -> temperature through the library, with its result code.
    float temp(int gray, int* rc = nullptr) {
        float t = -9999.0f;
        const int r = MT_GrayToTemp(para(), gray, &t);
        if (rc) *rc = r;
        return t;
    }
    int gray(float t) {
        int g = -9999;
        MT_TempToGray(para(), t, &g);
        return g;
    }

private:
    alignas(MT_Para) std::array<uint32_t, 839> words_{};
};

// Word numbers used by the tests (the generator's numbering).
namespace w {
constexpr int kRevision = 1, kType = 2, kGear = 3, kLens = 4;
constexpr int kFpaFront = 5, kLensBack = 6, kLensFront = 7, kFpaBack = 8, kBoard = 9;
constexpr int kAmbient = 10, kAmbientUsed = 13, kBackground = 14, kDistanceM = 15;
constexpr int kHumidity = 16, kEmissivity = 17, kEmissRevise = 18, kDrift = 20;
constexpr int kUserRevise = 21, kGrayBK = 22, kLogic = 23, kRangeLow = 24, kRangeHigh = 27;
constexpr int kPolyA = 30, kPolyB = 75, kBlackTemp = 120, kCalLens0 = 135, kCurveTemp = 150;
constexpr int kCurveGray = 177, kActiveTemp = 204, kActiveGray = 213, kCalLens1 = 222;
constexpr int kCalLens2 = 237, kDistTable = 252, kDistanceCm = 282, kRefPair = 283;
constexpr int kTables = 289, kRefFlag = 829, kRefGray = 830, kRefGrayZero = 831;
constexpr int kDriftFactor = 832, kCalibFpa = 835, kVTemp = 838;
}  // namespace w
