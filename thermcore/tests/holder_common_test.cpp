// The layer the programs' image holders share: handle ownership, picture
// output, the bounded line walk and the frame callback, against a recording
// fake and against the library itself.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake/fake_thermcore.h"
#include "fixture_files.h"
#include "ir_holder_common.h"

namespace {

using thermcore::FrameRecord;
using thermcore::IfrHandleOwner;
using thermcore::IrHolderCommon;
using thermcore::testing::FakeThermcore;
using Names = std::vector<std::string>;

// A holder that lets a test give it a handle.
class Holder : public IrHolderCommon {
public:
    using IrHolderCommon::IrHolderCommon;
    void adopt(IfrHandle h) { handle_.reset(h); }
    void setPalette(int index) { palette_ = index; }
};

TEST(IfrHandleOwnerTest, ClosesThenFreesOnlyWhenTheCloseSucceeded) {
    struct Case {
        int closeResult;
        Names calls;
    };
    const Case cases[] = {{0, {"CloseFile", "Free"}}, {-1, {"CloseFile"}}, {3, {"CloseFile"}}};
    for (const Case& c : cases) {
        FakeThermcore fake;
        fake.closeResult = c.closeResult;
        IfrHandleOwner owner(fake.calls());
        owner.reset(FakeThermcore::Handle());
        EXPECT_EQ(owner.Close(), c.closeResult);
        EXPECT_EQ(fake.names(), c.calls) << c.closeResult;
        EXPECT_FALSE(owner);
        fake.clearLog();
        EXPECT_EQ(owner.Close(), 1) << "no handle: 1 and no call";
        EXPECT_TRUE(fake.log.empty());
    }
}

TEST(IfrHandleOwnerTest, DestructionResetAndMoveCloseEachHandleOnce) {
    FakeThermcore fake;
    char other = 0;
    {
        IfrHandleOwner owner(fake.calls());
        owner.reset(FakeThermcore::Handle());
        owner.reset(FakeThermcore::Handle());  // the same handle: nothing closed
        EXPECT_TRUE(fake.log.empty());
        owner.reset(&other);  // the old one is closed
        EXPECT_EQ(fake.names(), (Names{"CloseFile", "Free"}));
        IfrHandleOwner moved(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_EQ(moved.get(), static_cast<IfrHandle>(&other));
        fake.clearLog();
    }
    EXPECT_EQ(fake.names(), (Names{"CloseFile", "Free"})) << "only the moved-to owner closes";
}

TEST(HolderCommonTest, OutputDibLeavesAPackedBitmapAndTheFileCount) {
    FakeThermcore fake;
    fake.width = 5;  // rows of 15 bytes padded to 16
    fake.height = 3;
    const int fileSize = ThermcoreDibFileSize(5, 3);
    ASSERT_EQ(fileSize, 54 + 16 * 3);
    Holder holder(fake.calls());
    holder.adopt(FakeThermcore::Handle());
    std::vector<unsigned char> block(static_cast<size_t>(fileSize), 0xEE);
    int size = 0;
    ASSERT_EQ(holder.OutputDIB(block.data(), fileSize, &size, 3), 0);
    EXPECT_EQ(size, fileSize);
    for (int i = 0; i < fileSize - 14; ++i) ASSERT_EQ(block[static_cast<size_t>(i)], i % 251) << i;
    EXPECT_EQ(fake.argsOf("OutputDIB"), (Names{"3"}));
}

TEST(HolderCommonTest, OutputDibGivesNoPictureForAFailureOrAnImpossibleCount) {
    struct Case {
        const char* what;
        int result;
        int reported;   // -1: the true count
        int capacity;   // 0: the true size
        int expected;
        bool called;
    };
    const int n = ThermcoreDibFileSize(4, 2);
    const Case cases[] = {
        {"library failure", -1, -1, 0, -1, true},
        {"count below a header", 0, 40, 0, -1, true},
        {"count beyond the block", 0, n + 4, n + 2, -1, true},
        {"block too small for the image", 0, -1, n - 1, -1, false},
    };
    for (const Case& c : cases) {
        FakeThermcore fake;
        fake.width = 4;
        fake.height = 2;
        fake.dibResult = c.result;
        fake.dibSize = c.reported;
        Holder holder(fake.calls());
        holder.adopt(FakeThermcore::Handle());
        const int capacity = c.capacity != 0 ? c.capacity : n;
        std::vector<unsigned char> block(static_cast<size_t>(capacity), 0xEE);
        int size = 12345;
        EXPECT_EQ(holder.OutputDIB(block.data(), capacity, &size, 3), c.expected) << c.what;
        EXPECT_EQ(fake.argsOf("OutputDIB").size(), c.called ? 1u : 0u) << c.what;
        if (c.called && c.result == 0) {
            EXPECT_EQ(block[0], 'B') << c.what << ": the bytes stay where the library put them";
        } else if (!c.called) {
            EXPECT_EQ(size, 0) << c.what;
            EXPECT_EQ(block[0], 0xEE) << c.what;
        }
    }
}

TEST(HolderCommonTest, PassThroughOperations) {
    FakeThermcore fake;
    Holder holder(fake.calls());
    holder.setPalette(7);
    int index = -1;
    EXPECT_EQ(holder.GetPalette(&index), 1);
    EXPECT_EQ(index, 7);
    holder.adopt(FakeThermcore::Handle());
    int kind = 0;
    EXPECT_EQ(holder.SaveCCDFile("/tmp/photo.bmp", &kind), 1);
    unsigned char* photo = nullptr;
    int size = -1;
    EXPECT_EQ(holder.OutputCCDDIB(&photo, &size, 3), 0);
    EXPECT_EQ(fake.log, (Names{"SaveCCDFile(/tmp/photo.bmp)", "OutputCCDDIB(3)"}));
}

TEST(WalkLineTest, StartInEndOutInEveryDirection) {
    struct Case {
        int x1, y1, x2, y2;
        std::vector<IfrPoint> points;
    };
    const Case cases[] = {
        {0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {0, 0, -2, -2, {{0, 0}, {-1, -1}}},
        {3, 5, 3, 1, {{3, 5}, {3, 4}, {3, 3}, {3, 2}}},
        {0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}}},
        {5, 5, 5, 5, {}},
    };
    for (const Case& c : cases) {
        IfrPoint buffer[8];
        const int n = thermcore::WalkLine(c.x1, c.y1, c.x2, c.y2, buffer, 8);
        ASSERT_EQ(n, static_cast<int>(c.points.size())) << c.x2 << "," << c.y2;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(buffer[i].x, c.points[static_cast<size_t>(i)].x) << i;
            EXPECT_EQ(buffer[i].y, c.points[static_cast<size_t>(i)].y) << i;
        }
    }
}

TEST(WalkLineTest, TheBufferBoundIsKept) {
    std::vector<IfrPoint> buffer(thermcore::kLinePointCapacity + 1, IfrPoint{-7, -7});
    EXPECT_EQ(thermcore::WalkLine(0, 0, thermcore::kLinePointCapacity, 1, buffer.data(),
                                  thermcore::kLinePointCapacity),
              thermcore::kLinePointCapacity);
    EXPECT_EQ(thermcore::WalkLine(0, 0, 0, thermcore::kLinePointCapacity + 1, buffer.data(),
                                  thermcore::kLinePointCapacity),
              -1);
    EXPECT_EQ(thermcore::WalkLine(0, 0, 0x7FFFFFFF, -0x7FFFFFFF, buffer.data(),
                                  thermcore::kLinePointCapacity),
              -1);
    EXPECT_EQ(buffer[thermcore::kLinePointCapacity].x, -7) << "nothing written past the bound";
}

TEST(FrameCallbackTest, HistogramAlwaysDrawingOnlyWithAWindow) {
    FakeThermcore fake;
    unsigned short frame[4] = {};
    thermcore::SetFrameCallbackTarget(fake.calls(), nullptr);
    EXPECT_EQ(thermcore::IRFrameCallback(nullptr, frame, 8, 40), -1);
    EXPECT_TRUE(fake.log.empty());
    EXPECT_EQ(FrameRecord().timeStamp, 40);

    EXPECT_EQ(thermcore::IRFrameCallback(FakeThermcore::Handle(), frame, 8, 60), 1);
    EXPECT_EQ(fake.names(), (Names{"DoHistogramProcess"}));
    EXPECT_EQ(FrameRecord().frame, frame);
    EXPECT_EQ(FrameRecord().size, 8);

    int window = 0;
    fake.clearLog();
    thermcore::SetFrameCallbackTarget(fake.calls(), &window);
    EXPECT_EQ(thermcore::IRFrameCallback(FakeThermcore::Handle(), frame, 8, 80), 1);
    EXPECT_EQ(fake.names(), (Names{"DoHistogramProcess", "GetDrawBuffer", "Flip"}));
    thermcore::SetFrameCallbackTarget(thermcore::ExportedCalls(), nullptr);
}

TEST(HolderCommonRealTest, OutputDibMatchesTheLibrarysFileImage) {
    const std::string path = thermcore_test::fixturePath("k8_640");
    IfrHandle direct = IFR_LoadFile(nullptr, path.c_str(), 0, nullptr, nullptr);
    ASSERT_NE(direct, nullptr);
    int w = 0, h = 0;
    IFR_GetImageWidthHeight(direct, &w, &h);
    const int n = ThermcoreDibFileSize(w, h);
    std::vector<unsigned char> expected(static_cast<size_t>(n));
    int size = 0;
    ASSERT_EQ(IFR_Next(direct), 0);
    ASSERT_EQ(IFR_OutputDIB(direct, expected.data(), &size, 0), 0);
    IFR_CloseFile(direct);
    IFR_Free(direct);

    Holder holder;
    holder.adopt(IFR_LoadFile(nullptr, path.c_str(), 0, nullptr, nullptr));
    ASSERT_NE(holder.handle(), nullptr);
    ASSERT_EQ(IFR_Next(holder.handle()), 0);
    std::vector<unsigned char> block(static_cast<size_t>(n));
    ASSERT_EQ(holder.OutputDIB(block.data(), n, &size, 3), 0);
    EXPECT_EQ(size, n);
    EXPECT_TRUE(std::equal(expected.begin() + 14, expected.end(), block.begin()));
    EXPECT_EQ(holder.Close(), 0);
    EXPECT_EQ(holder.handle(), nullptr);
}

}  // namespace
