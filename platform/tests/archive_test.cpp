#include "platform/archive.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "test_support.h"

namespace platform {
namespace {

using test::hex;

struct TestDocument : ArchiveDocument {
    std::vector<const ArchiveObject*> loaded;
};

void noteLoaded(ArchiveReader& ar, const ArchiveObject* object)
{
    if (auto* doc = ar.documentAs<TestDocument>())
        doc->loaded.push_back(object);
}

class TestRect : public ArchiveObject {
public:
    static const ArchiveClass kClass;
    std::int32_t value = 0;

    const ArchiveClass& archiveClass() const override { return kClass; }
    void store(ArchiveWriter& ar) const override { ar.writeI32(value); }
    void load(ArchiveReader& ar) override
    {
        value = ar.readI32();
        noteLoaded(ar, this);
    }
};
const ArchiveClass TestRect::kClass{"CDrawRect", 0, &createArchiveObject<TestRect>};

class TestText : public ArchiveObject {
public:
    static const ArchiveClass kClass;
    QString text;

    const ArchiveClass& archiveClass() const override { return kClass; }
    void store(ArchiveWriter& ar) const override { ar.writeString(text); }
    void load(ArchiveReader& ar) override
    {
        text = ar.readString();
        noteLoaded(ar, this);
    }
};
const ArchiveClass TestText::kClass{"CDrawText", 0, &createArchiveObject<TestText>};

class TestEmpty : public ArchiveObject {
public:
    static const ArchiveClass kClass;
    const ArchiveClass& archiveClass() const override { return kClass; }
    void store(ArchiveWriter&) const override {}
    void load(ArchiveReader&) override {}
};
const ArchiveClass TestEmpty::kClass{"A", 0, &createArchiveObject<TestEmpty>};

class TestOther : public TestEmpty {
public:
    static const ArchiveClass kClass;
    const ArchiveClass& archiveClass() const override { return kClass; }
};
const ArchiveClass TestOther::kClass{"B", 0, &createArchiveObject<TestOther>};

// An object that owns another object of its class (or none).
class TestNode : public ArchiveObject {
public:
    static const ArchiveClass kClass;
    std::unique_ptr<TestNode> child;

    const ArchiveClass& archiveClass() const override { return kClass; }
    void store(ArchiveWriter& ar) const override { ar.writeObject(child.get()); }
    void load(ArchiveReader& ar) override { child = ar.readOwnedObject<TestNode>(); }
};
const ArchiveClass TestNode::kClass{"CNode", 0, &createArchiveObject<TestNode>};

const ArchiveClassRegistry& registry()
{
    static const ArchiveClassRegistry r{&TestRect::kClass, &TestText::kClass, &TestEmpty::kClass,
                                        &TestOther::kClass, &TestNode::kClass};
    return r;
}

TEST(Archive, WritesScalarsLittleEndian)
{
    ArchiveWriter w;
    w.writeU8(0x12);
    w.writeU16(0x3456);
    w.writeU32(0x789ABCDE);
    w.writeI32(-2);
    w.writeU64(0x0102030405060708ULL);
    w.writeF32(1.5f);
    w.writeF64(-2.0);
    EXPECT_EQ(w.data(), hex("12" "5634" "debc9a78" "feffffff" "0807060504030201" "0000c03f" "00000000000000c0"));

    ArchiveReader r(w.data(), registry());
    EXPECT_EQ(r.readU8(), 0x12);
    EXPECT_EQ(r.readU16(), 0x3456);
    EXPECT_EQ(r.readU32(), 0x789ABCDEu);
    EXPECT_EQ(r.readI32(), -2);
    EXPECT_EQ(r.readU64(), 0x0102030405060708ULL);
    EXPECT_EQ(r.readF32(), 1.5f);
    EXPECT_EQ(r.readF64(), -2.0);
    EXPECT_TRUE(r.atEnd());
}

// Writes a little of everything: scalars, strings, objects and a large
// block of bytes between small ones.
void writeMixed(ArchiveWriter& w)
{
    const QByteArray block = test::pattern(3000, 7);
    TestRect rect;
    rect.value = 42;
    TestText text;
    text.text = QStringLiteral("sink");
    for (int i = 0; i < 3; ++i) {
        w.writeU16(std::uint16_t(i));
        w.writeString(QStringLiteral("pass %1").arg(i));
        w.writeObject(&rect);
        w.writeObject(&text);
        w.writeBytes(block);
        w.writeU8(0xEE);
        w.writeBytes(block.left(5));
    }
}

TEST(Archive, ASinkReceivesTheBytesWrittenIntoMemoryInOrder)
{
    ArchiveWriter whole;
    writeMixed(whole);
    // Chunks smaller than a value, than a block, and larger than all.
    for (const qsizetype chunk : {qsizetype{1}, qsizetype{7}, qsizetype{1000}, qsizetype{4096}, qsizetype{1} << 20}) {
        ArchiveWriter w;
        QByteArray received;
        int pieces = 0;
        w.setSink([&](QByteArrayView bytes) {
            received.append(bytes);
            ++pieces;
            return true;
        }, chunk);
        writeMixed(w);
        EXPECT_EQ(w.size(), std::uint64_t(whole.data().size())) << chunk;
        EXPECT_LT(w.data().size(), std::max<qsizetype>(chunk, 3000)) << "only the tail is held, chunk " << chunk;
        ASSERT_TRUE(w.finish()) << chunk;
        EXPECT_TRUE(w.data().isEmpty()) << chunk;
        EXPECT_EQ(received, whole.data()) << chunk;
        EXPECT_GT(pieces, chunk < 4096 ? 1 : 0) << chunk;
    }
}

TEST(Archive, ASinkThatFailsIsNotCalledAgainAndTheFinishSaysSo)
{
    ArchiveWriter w;
    int calls = 0;
    w.setSink([&](QByteArrayView) { return ++calls < 2; }, 16);
    writeMixed(w);
    EXPECT_FALSE(w.finish());
    EXPECT_EQ(calls, 2);
    EXPECT_GT(w.size(), 9000u) << "the writing itself goes on";
}

TEST(Archive, WritesCountsInTheShortOrLongForm)
{
    const struct {
        std::uint32_t count;
        const char* bytes;
    } cases[] = {
        {0, "0000"},
        {1, "0100"},
        {0xFFFE, "feff"},
        {0xFFFF, "ffffffff0000"},
        {0x12345, "ffff45230100"},
        {0xFFFFFFFF, "ffffffffffff"},
    };
    for (const auto& c : cases) {
        ArchiveWriter w;
        w.writeCount(c.count);
        EXPECT_EQ(w.data(), hex(c.bytes)) << c.count;
        ArchiveReader r(w.data(), registry());
        EXPECT_EQ(r.readCount(0), c.count);
    }
}

TEST(Archive, WritesStringsWithTheirLengthPrefix)
{
    const struct {
        qsizetype length;
        const char* prefix;
    } cases[] = {
        {0, "00"}, {1, "01"}, {254, "fe"}, {255, "ffff00"}, {65533, "fffdff"}, {65534, "fffffffeff0000"},
        {70000, "ffffff70110100"},
    };
    for (const auto& c : cases) {
        const QByteArray text(c.length, 'x');
        ArchiveWriter w;
        w.writeStringBytes(text);
        EXPECT_EQ(w.data(), hex(c.prefix) + text) << c.length;
        ArchiveReader r(w.data(), registry());
        EXPECT_EQ(r.readStringBytes(), text) << c.length;
        EXPECT_TRUE(r.atEnd());
    }

    ArchiveWriter w;
    w.writeString(QStringLiteral("中文"));
    EXPECT_EQ(w.data(), hex("04d6d0cec4"));
    ArchiveReader r(w.data(), registry());
    EXPECT_EQ(r.readString(), QStringLiteral("中文"));
}

TEST(Archive, ReadsUtf16Strings)
{
    // 0xFF 0xFFFE marks UTF-16 text; the length starts over in characters.
    const QByteArray shortForm = hex("fffeff" "02" "4100" "2d4e");
    EXPECT_EQ(ArchiveReader(shortForm, registry()).readString(), QStringLiteral("A中"));
    EXPECT_EQ(ArchiveReader(shortForm, registry()).readStringBytes(), hex("41d6d0"));

    QByteArray longForm = hex("fffeff" "ff" "0001");
    for (int i = 0; i < 256; ++i)
        longForm += hex("4200");
    EXPECT_EQ(ArchiveReader(longForm, registry()).readString(), QString(256, QLatin1Char('B')));
}

TEST(Archive, FramesObjectsByClassNameThenClassIndex)
{
    TestRect first;
    first.value = 1;
    TestRect second;
    second.value = 2;
    TestText text;
    text.text = QStringLiteral("hi");
    const std::vector<const ArchiveObject*> list{&first, &second, &text};

    ArchiveWriter w;
    w.writeObjectList(list);
    w.writeObject(&second); // a back reference
    w.writeObject(nullptr);
    EXPECT_EQ(w.data(), hex("0300"
                            "ffff" "0000" "0900") + "CDrawRect" + hex("01000000"     // class 1, object 2
                                                                      "0180" "02000000" // object 3
                                                                      "ffff" "0000" "0900") +
                            "CDrawText" + hex("02") + "hi" +                               // class 4, object 5
                            hex("0300"                                                     // object 3 again
                                "0000"));

    TestDocument doc;
    ArchiveReader r(w.data(), registry(), &doc);
    const std::uint32_t count = r.readCount(2);
    ASSERT_EQ(count, 3u);
    auto a = r.readOwnedObject<TestRect>();
    auto b = r.readOwnedObject<TestRect>();
    auto t = r.readOwnedObject<TestText>();
    ASSERT_TRUE(a && b && t);
    EXPECT_EQ(a->value, 1);
    EXPECT_EQ(b->value, 2);
    EXPECT_EQ(t->text, QStringLiteral("hi"));
    EXPECT_EQ(r.readObject(), b.get());
    EXPECT_EQ(r.readObject(), nullptr);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(doc.loaded, (std::vector<const ArchiveObject*>{a.get(), b.get(), t.get()}));
}

TEST(Archive, EmptyListHasNoClassRecord)
{
    ArchiveWriter w;
    w.writeObjectList(std::vector<const ArchiveObject*>{});
    EXPECT_EQ(w.data(), hex("0000"));
    ArchiveReader r(w.data(), registry());
    EXPECT_TRUE(r.readObjectList<TestRect>().empty());

    // Lists of owning pointers are written the same way.
    std::vector<std::unique_ptr<TestRect>> owned;
    owned.push_back(std::make_unique<TestRect>());
    ArchiveWriter fromOwned;
    fromOwned.writeObjectList(owned);
    ArchiveWriter fromRaw;
    fromRaw.writeObjectList(std::vector<const ArchiveObject*>{owned[0].get()});
    EXPECT_EQ(fromOwned.data(), fromRaw.data());
}

TEST(Archive, UsesTheLongFormFromIndex0x7FFF)
{
    // Class "A" takes index 1, its objects 2 .. 0x7FFE; class "B" then takes
    // 0x7FFF and its first object 0x8000.
    std::vector<TestEmpty> as(0x7FFE - 1);
    TestOther b1;
    TestOther b2;
    ArchiveWriter w;
    for (const TestEmpty& a : as)
        w.writeObject(&a);
    const qsizetype tail = w.data().size();
    w.writeObject(&b1);
    w.writeObject(&b2);
    w.writeObject(&b1);
    w.writeObject(&as.back());
    EXPECT_EQ(w.data().mid(tail), hex("ffff" "0000" "0100") + "B" +                // new class 0x7FFF, object 0x8000
                                      hex("ff7f" "ff7f0080"                          // class 0x7FFF, object 0x8001
                                          "ff7f" "00800000"                          // object 0x8000
                                          "fe7f"));                                  // object 0x7FFE

    ArchiveReader r(w.data(), registry());
    std::vector<std::unique_ptr<TestEmpty>> read;
    for (std::size_t i = 0; i < as.size(); ++i)
        read.push_back(r.readOwnedObject<TestEmpty>());
    auto rb1 = r.readOwnedObject<TestOther>();
    auto rb2 = r.readOwnedObject<TestOther>();
    ASSERT_TRUE(rb1 && rb2);
    EXPECT_EQ(r.readObject(), rb1.get());
    EXPECT_EQ(r.readObject(), read.back().get());
    EXPECT_TRUE(r.atEnd());
}

enum class ReadOp { Object, RectList, String, OwnedRectTwice };

TEST(Archive, RefusesMalformedArchives)
{
    const QByteArray rect = hex("ffff" "0000" "0900") + "CDrawRect" + hex("01000000");
    const struct {
        const char* name;
        QByteArray bytes;
        ReadOp op;
        ArchiveErrorCode code;
    } cases[] = {
        {"unknown class", hex("ffff" "0000" "0400") + "CFoo", ReadOp::Object, ArchiveErrorCode::BadClass},
        {"other schema", hex("ffff" "0100" "0900") + "CDrawRect" + hex("01000000"), ReadOp::Object,
         ArchiveErrorCode::BadSchema},
        {"name too long", hex("ffff" "0000" "4000") + QByteArray(64, 'C'), ReadOp::Object, ArchiveErrorCode::BadClass},
        {"empty name", hex("ffff" "0000" "0000"), ReadOp::Object, ArchiveErrorCode::BadClass},
        {"class not read", hex("0580"), ReadOp::Object, ArchiveErrorCode::BadIndex},
        {"class index 0", hex("0080"), ReadOp::Object, ArchiveErrorCode::BadIndex},
        {"object not read", hex("0500"), ReadOp::Object, ArchiveErrorCode::BadIndex},
        {"big class not read", hex("ff7f" "05000080"), ReadOp::Object, ArchiveErrorCode::BadIndex},
        {"big object not read", hex("ff7f" "05000000"), ReadOp::Object, ArchiveErrorCode::BadIndex},
        {"class index names an object", hex("0200") + rect + hex("0280"), ReadOp::RectList,
         ArchiveErrorCode::BadIndex},
        {"object index names a class", hex("0200") + rect + hex("0100"), ReadOp::RectList, ArchiveErrorCode::BadIndex},
        {"count beyond the data", hex("ffff" "00000100") + rect, ReadOp::RectList, ArchiveErrorCode::BadCount},
        {"short count beyond the data", hex("1400") + rect, ReadOp::RectList, ArchiveErrorCode::BadCount},
        {"string beyond the data", hex("ff1000") + "abc", ReadOp::String, ArchiveErrorCode::BadCount},
        {"utf-16 beyond the data", hex("fffeff" "03" "4100"), ReadOp::String, ArchiveErrorCode::BadCount},
        {"long string beyond the data", hex("ffffff" "ffffffff") + "abc", ReadOp::String, ArchiveErrorCode::BadCount},
        {"object of another class", hex("0100" "ffff" "0000" "0900") + "CDrawText" + hex("00"), ReadOp::RectList,
         ArchiveErrorCode::BadClass},
        {"owned object referenced twice", rect + hex("0200"), ReadOp::OwnedRectTwice, ArchiveErrorCode::BadIndex},
        {"record cut short", hex("ffff" "0000" "0900") + "CDrawRect" + hex("0100"), ReadOp::Object,
         ArchiveErrorCode::EndOfData},
    };
    for (const auto& c : cases) {
        ArchiveReader r(c.bytes, registry());
        try {
            switch (c.op) {
            case ReadOp::Object:
                r.readObject();
                break;
            case ReadOp::RectList:
                r.readObjectList<TestRect>();
                break;
            case ReadOp::String:
                r.readString();
                break;
            case ReadOp::OwnedRectTwice: {
                const auto first = r.readOwnedObject<TestRect>();
                r.readOwnedObject<TestRect>();
                break;
            }
            }
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.code(), c.code) << c.name << ": " << e.what();
        }
    }
}

// An archive with every kind of field, and the routine that reads it back.
QByteArray goldenArchive()
{
    TestRect r1;
    r1.value = 7;
    TestRect r2;
    r2.value = -7;
    TestText t;
    t.text = QStringLiteral("温度 300");
    ArchiveWriter w;
    w.writeU32(3);
    w.writeF32(6.0f);
    w.writeI32(-105);
    w.writeObjectList(std::vector<const ArchiveObject*>{&r1, &t, &r2});
    w.writeObject(&t);
    w.writeObject(nullptr);
    w.writeCount(1);
    w.writeBytes(QByteArray(41, 'p'));
    w.writeStringBytes(QByteArray(300, 'l'));
    w.writeF64(0.25);
    return w.takeData();
}

void readGoldenArchive(QByteArrayView data)
{
    TestDocument doc;
    ArchiveReader r(data, registry(), &doc);
    EXPECT_EQ(r.readU32(), 3u);
    EXPECT_EQ(r.readF32(), 6.0f);
    EXPECT_EQ(r.readI32(), -105);
    const std::vector<std::unique_ptr<ArchiveObject>> objects = r.readObjectList<ArchiveObject>();
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(r.readObject(), objects[1].get());
    EXPECT_EQ(r.readObject(), nullptr);
    const std::uint32_t pages = r.readCount(41);
    EXPECT_EQ(r.readBytes(41 * pages), QByteArray(41, 'p'));
    EXPECT_EQ(r.readStringBytes(), QByteArray(300, 'l'));
    EXPECT_EQ(r.readF64(), 0.25);
    EXPECT_TRUE(r.atEnd());
}

TEST(Archive, EveryTruncationFailsCleanly)
{
    const QByteArray golden = goldenArchive();
    readGoldenArchive(golden);
    for (qsizetype length = 0; length < golden.size(); ++length) {
        // A buffer of exactly length bytes, so that any read past it is caught.
        const std::vector<char> cut(golden.begin(), golden.begin() + length);
        EXPECT_THROW(readGoldenArchive(QByteArrayView(cut.data(), length)), ArchiveError) << length;
    }
}

TEST(Archive, BoundsTheNestingOfObjects)
{
    auto chain = [](int depth) {
        auto root = std::make_unique<TestNode>();
        TestNode* node = root.get();
        for (int i = 1; i < depth; ++i) {
            node->child = std::make_unique<TestNode>();
            node = node->child.get();
        }
        ArchiveWriter w;
        w.writeObject(root.get());
        return w.takeData();
    };
    const QByteArray fine = chain(ArchiveReader::kMaxDepth);
    ArchiveReader ok(fine, registry());
    EXPECT_NE(ok.readOwnedObject<TestNode>(), nullptr);

    const QByteArray deep = chain(ArchiveReader::kMaxDepth + 1);
    ArchiveReader bad(deep, registry());
    try {
        bad.readObject();
        ADD_FAILURE() << "no error";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.code(), ArchiveErrorCode::TooDeep);
    }
}

TEST(Archive, RegistryRefusesClassesTheArchiveCannotHold)
{
    static const ArchiveClass longName{"ThisClassNameIsLongerThanSixtyThreeCharactersWhichTheArchiveRefuses",
                                       0, &createArchiveObject<TestEmpty>};
    static const ArchiveClass badSchema{"Schema", 0xFFFF, &createArchiveObject<TestEmpty>};
    static const ArchiveClass sameName{"CDrawRect", 0, &createArchiveObject<TestEmpty>};
    ArchiveClassRegistry r{&TestRect::kClass};
    EXPECT_THROW(r.add(longName), std::invalid_argument);
    EXPECT_THROW(r.add(badSchema), std::invalid_argument);
    EXPECT_THROW(r.add(sameName), std::invalid_argument);
    EXPECT_EQ(r.find("CDrawRect"), &TestRect::kClass);
    EXPECT_EQ(r.find("cdrawrect"), nullptr);
}

TEST(Archive, EveryErrorCodeHasItsText)
{
    for (ArchiveErrorCode code :
         {ArchiveErrorCode::EndOfData, ArchiveErrorCode::BadCount, ArchiveErrorCode::BadClass,
          ArchiveErrorCode::BadSchema, ArchiveErrorCode::BadIndex, ArchiveErrorCode::TooManyObjects,
          ArchiveErrorCode::TooDeep})
        EXPECT_STRNE(archiveErrorText(code), "unknown archive error");
}

} // namespace
} // namespace platform
