#include "platform/compound_file.h"
#include "platform/storage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "test_support.h"

namespace platform {
namespace {

using test::pattern;

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

struct StreamSpec {
    const char* path; // "Storage/Stream" or "Stream"
    qsizetype size;
    int seed;
};

// One small stream, one of 5 KB (past the small-block limit), a stream in a
// child storage, an empty one, and one over 8 MB, whose allocation table
// needs the extended sector table.
const StreamSpec kStreams[] = {
    {"Contents", 100, 1},
    {"Five", 5000, 2},
    {"Item 1/data", 700, 3},
    {"Empty", 0, 0},
    {"Large", 9 * 1024 * 1024 + 123, 4},
};

void fill(MemoryStorage& root)
{
    for (const StreamSpec& s : kStreams) {
        const QStringList parts = QString::fromLatin1(s.path).split(QLatin1Char('/'));
        if (parts.size() == 1) {
            ASSERT_TRUE(root.writeStream(parts[0], pattern(s.size, s.seed)));
        } else {
            std::unique_ptr<Storage> sub = root.openStorage(parts[0]);
            if (!sub)
                sub = root.createStorage(parts[0]);
            ASSERT_TRUE(sub && sub->writeStream(parts[1], pattern(s.size, s.seed)));
        }
    }
}

TEST(CompoundFile, IndependentReadersReadWhatWeWrite)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("report.rpt"));
    MemoryStorage root;
    fill(root);
    QString error;
    ASSERT_TRUE(saveCompoundFile(root, path, &error)) << error.toStdString();

    // The header counts the sectors of the extended sector table (offset 0x48).
    const QByteArray header = fileBytes(path).left(0x4C);
    ASSERT_EQ(header.size(), 0x4C);
    EXPECT_GT(static_cast<unsigned char>(header[0x48]), 0);

    // Our own reader.
    std::unique_ptr<Storage> file = openCompoundFile(path, &error);
    ASSERT_NE(file, nullptr) << error.toStdString();
    for (const StreamSpec& s : kStreams) {
        const QStringList parts = QString::fromLatin1(s.path).split(QLatin1Char('/'));
        std::unique_ptr<Storage> sub = parts.size() == 1 ? nullptr : file->openStorage(parts[0]);
        Storage& where = parts.size() == 1 ? *file : *sub;
        QByteArray bytes;
        ASSERT_TRUE(where.readStream(parts.last(), bytes, 1 << 30)) << s.path;
        EXPECT_EQ(bytes, pattern(s.size, s.seed)) << s.path;
    }

    // olefile.
    std::vector<std::string> args{test::python(), test::scriptPath("ole_check.py"), "streams", path.toStdString()};
    for (const StreamSpec& s : kStreams)
        args.push_back(std::string(s.path) + "=" + std::to_string(s.size) + ":" + std::to_string(s.seed));
    const test::ProgramResult check = test::runProgram(args);
    EXPECT_EQ(check.exitCode, 0) << check.output;

    // gsf list.
    const test::ProgramResult list = test::runProgram({test::gsf(), "list", path.toStdString()});
    EXPECT_EQ(list.exitCode, 0) << list.output;
    for (const char* name : {"Contents", "Five", "Item 1", "data", "Empty", "Large"})
        EXPECT_NE(list.output.find(name), std::string::npos) << name << "\n" << list.output;
}

TEST(CompoundFile, ReadsAFileWrittenByGsf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath(QStringLiteral("small.txt")), "hello");
    writeFile(dir.filePath(QStringLiteral("big.bin")), pattern(5000, 9));
    const QString path = dir.filePath(QStringLiteral("gsf.ole"));
    const test::ProgramResult made =
        test::runProgram({test::gsf(), "createole", path.toStdString(),
                          dir.filePath(QStringLiteral("small.txt")).toStdString(),
                          dir.filePath(QStringLiteral("big.bin")).toStdString()});
    ASSERT_EQ(made.exitCode, 0) << made.output;

    QString error;
    std::unique_ptr<Storage> file = openCompoundFile(path, &error);
    ASSERT_NE(file, nullptr) << error.toStdString();
    std::vector<StorageEntry> entries = file->entries();
    ASSERT_EQ(entries.size(), 2u);
    QByteArray bytes;
    ASSERT_TRUE(file->readStream(QStringLiteral("SMALL.TXT"), bytes, 1 << 20)); // names ignore case
    EXPECT_EQ(bytes, QByteArray("hello"));
    ASSERT_TRUE(file->readStream(QStringLiteral("big.bin"), bytes, 1 << 20));
    EXPECT_EQ(bytes, pattern(5000, 9));
    EXPECT_FALSE(file->readStream(QStringLiteral("big.bin"), bytes, 4999)); // longer than allowed
    EXPECT_EQ(file->openStorage(QStringLiteral("big.bin")), nullptr);
    EXPECT_EQ(file->createStream(QStringLiteral("new")), nullptr); // read-only

    // Reading in pieces and seeking.
    std::unique_ptr<Stream> s = file->openStream(QStringLiteral("big.bin"));
    ASSERT_NE(s, nullptr);
    char piece[10];
    ASSERT_TRUE(s->seek(4995));
    EXPECT_EQ(s->read(piece, sizeof piece), 5u);
    EXPECT_EQ(QByteArray(piece, 5), pattern(5000, 9).mid(4995));
    EXPECT_FALSE(s->seek(5001));
}

// A storage whose one stream fails half-way through reading.
class FailingStorage : public Storage {
public:
    class Failing : public Stream {
    public:
        std::uint64_t size() const override { return 10000; }
        std::uint64_t position() const override { return m_pos; }
        bool seek(std::uint64_t pos) override
        {
            m_pos = pos;
            return true;
        }
        std::uint64_t read(void* data, std::uint64_t n) override
        {
            if (m_pos >= 4096)
                return 0;
            const std::uint64_t k = n < 4096 - m_pos ? n : 4096 - m_pos;
            std::memset(data, 'f', k);
            m_pos += k;
            return k;
        }
        bool write(const void*, std::uint64_t) override { return false; }

    private:
        std::uint64_t m_pos = 0;
    };

    bool isReadOnly() const override { return true; }
    std::vector<StorageEntry> entries() const override { return {{QStringLiteral("Contents"), false, 10000}}; }
    std::unique_ptr<Stream> openStream(const QString&) override { return std::make_unique<Failing>(); }
    std::unique_ptr<Storage> openStorage(const QString&) override { return nullptr; }
    std::unique_ptr<Stream> createStream(const QString&) override { return nullptr; }
    std::unique_ptr<Storage> createStorage(const QString&) override { return nullptr; }
};

TEST(CompoundFile, AStreamAdoptedFromMemoryIsSavedAsACopiedOne)
{
    // The same streams written into one tree and adopted into another give
    // the same file, byte for byte; the adopted bytes are shared, not copied.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MemoryStorage copied;
    fill(copied);
    MemoryStorage adopted;
    std::vector<QByteArray> held;
    for (const StreamSpec& s : kStreams) {
        const QStringList parts = QString::fromLatin1(s.path).split(QLatin1Char('/'));
        held.push_back(pattern(s.size, s.seed));
        if (parts.size() == 1) {
            ASSERT_TRUE(adopted.adoptStream(parts[0], held.back()));
            const std::unique_ptr<Stream> stream = adopted.openStream(parts[0]);
            ASSERT_NE(stream, nullptr);
            ASSERT_NE(stream->heldBytes(), nullptr);
            EXPECT_EQ(stream->heldBytes()->constData(), held.back().constData()) << s.path;
        } else {
            std::unique_ptr<Storage> sub = adopted.openStorage(parts[0]);
            if (!sub)
                sub = adopted.createStorage(parts[0]);
            ASSERT_TRUE(sub != nullptr && sub->writeStream(parts[1], held.back()));
        }
    }
    EXPECT_FALSE(adopted.adoptStream(QStringLiteral("a/b"), "bad name"));
    const QString one = dir.filePath(QStringLiteral("copied.rpt"));
    const QString two = dir.filePath(QStringLiteral("adopted.rpt"));
    ASSERT_TRUE(saveCompoundFile(copied, one));
    ASSERT_TRUE(saveCompoundFile(adopted, two));
    EXPECT_EQ(fileBytes(two), fileBytes(one));
}

TEST(CompoundFile, AStreamedStreamIsSavedAsAHeldOne)
{
    // A first stream handed over in pieces while the file is written gives
    // the file written with the same bytes held in memory: below the
    // small-block limit, past it, and past the long allocation table.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        qsizetype size;
        qsizetype piece;
    };
    for (const Case c : {Case{100, 7}, Case{5000, 4095}, Case{5000, 1}, Case{9 * 1024 * 1024 + 123, 1 << 20},
                         Case{9 * 1024 * 1024 + 123, 300000}}) {
        const QByteArray bytes = pattern(c.size, 5);
        MemoryStorage held;
        ASSERT_TRUE(held.adoptStream(QStringLiteral("Contents"), bytes));
        ASSERT_TRUE(held.writeStream(summaryInformationStreamName(), pattern(400, 6)));
        MemoryStorage rest;
        ASSERT_TRUE(rest.writeStream(summaryInformationStreamName(), pattern(400, 6)));
        const StreamedStream contents{QStringLiteral("Contents"), [&](const StreamedStream::Write& write, QString*) {
            for (qsizetype at = 0; at < bytes.size(); at += c.piece) {
                if (!write(QByteArrayView(bytes).sliced(at, std::min(c.piece, bytes.size() - at))))
                    return false;
            }
            return true;
        }};
        const QString one = dir.filePath(QStringLiteral("held.rpt"));
        const QString two = dir.filePath(QStringLiteral("streamed.rpt"));
        ASSERT_TRUE(saveCompoundFile(held, one));
        ASSERT_TRUE(saveCompoundFile(rest, {contents}, two)) << c.size;
        EXPECT_EQ(fileBytes(two), fileBytes(one)) << c.size << " in pieces of " << c.piece;
    }
}

TEST(CompoundFile, FailedSaveLeavesTheOldFileUntouched)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("report.rpt"));
    MemoryStorage old;
    ASSERT_TRUE(old.writeStream(QStringLiteral("Contents"), "old report"));
    ASSERT_TRUE(saveCompoundFile(old, path));
    const QByteArray before = fileBytes(path);

    FailingStorage failing;
    QString error;
    EXPECT_FALSE(saveCompoundFile(failing, path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.rpt")});

    EXPECT_FALSE(saveCompoundFile(old, dir.filePath(QStringLiteral("missing/report.rpt")), &error));
    EXPECT_FALSE(error.isEmpty());

    // A streamed stream that cannot be made, after a good part of the file
    // was written, or whose name is refused.
    const QByteArray big = pattern(3 << 20, 8);
    struct Case {
        const char* name;
        bool succeeds;    // what the producer answers after writing
        const char* said; // its reason
        const char* want; // the error the save gives
    };
    for (const Case c : {Case{"Contents", false, "too many objects", "too many objects"},
                         Case{"Contents", false, "", "cannot make the stream \"Contents\""},
                         Case{"a/b", true, "", "cannot create the entry \"a/b\""}}) {
        MemoryStorage rest;
        const StreamedStream stream{QString::fromLatin1(c.name), [&](const StreamedStream::Write& write, QString* reason) {
            write(big);
            *reason = QString::fromLatin1(c.said);
            return c.succeeds;
        }};
        EXPECT_FALSE(saveCompoundFile(rest, {stream}, path, &error)) << c.want;
        EXPECT_EQ(error, QString::fromLatin1(c.want));
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.rpt")});
    }
}

TEST(CompoundFile, RefusesFilesThatAreNoCompoundFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString error;
    EXPECT_EQ(openCompoundFile(dir.filePath(QStringLiteral("none.rpt")), &error), nullptr);
    EXPECT_FALSE(error.isEmpty());

    const QString text = dir.filePath(QStringLiteral("text.rpt"));
    writeFile(text, QByteArray(2048, 'x'));
    EXPECT_EQ(openCompoundFile(text, &error), nullptr);

    // A cut compound file either fails to open or fails to give its stream;
    // it never crashes or gives wrong bytes.
    MemoryStorage root;
    ASSERT_TRUE(root.writeStream(QStringLiteral("Contents"), pattern(20000, 5)));
    ASSERT_TRUE(root.writeStream(QStringLiteral("Small"), pattern(300, 6)));
    const QString whole = dir.filePath(QStringLiteral("whole.rpt"));
    ASSERT_TRUE(saveCompoundFile(root, whole));
    const QByteArray bytes = fileBytes(whole);
    for (qsizetype cut : {qsizetype{0}, qsizetype{100}, qsizetype{512}, qsizetype{1024}, bytes.size() / 2,
                          bytes.size() - 512, bytes.size() - 1}) {
        const QString path = dir.filePath(QStringLiteral("cut.rpt"));
        QFile::remove(path);
        writeFile(path, bytes.left(cut));
        std::unique_ptr<Storage> file = openCompoundFile(path, &error);
        if (!file)
            continue;
        QByteArray read;
        if (file->readStream(QStringLiteral("Contents"), read, 1 << 20)) {
            EXPECT_EQ(read, pattern(20000, 5)) << cut;
        }
    }
}

TEST(MemoryStorage, NamesFollowTheContainersRules)
{
    MemoryStorage root;
    EXPECT_EQ(root.createStream(QString()), nullptr);
    EXPECT_EQ(root.createStream(QString(32, QLatin1Char('n'))), nullptr);
    EXPECT_NE(root.createStream(QString(31, QLatin1Char('n'))), nullptr);
    for (const char* bad : {"a/b", "a\\b", "a:b", "a!b"})
        EXPECT_EQ(root.createStream(QString::fromLatin1(bad)), nullptr) << bad;
    EXPECT_NE(root.createStream(summaryInformationStreamName()), nullptr);

    // Create replaces; open ignores case; a stream is no storage.
    ASSERT_TRUE(root.writeStream(QStringLiteral("Contents"), "first"));
    ASSERT_TRUE(root.writeStream(QStringLiteral("CONTENTS"), "2nd"));
    QByteArray bytes;
    ASSERT_TRUE(root.readStream(QStringLiteral("contents"), bytes, 100));
    EXPECT_EQ(bytes, QByteArray("2nd"));
    EXPECT_EQ(root.openStorage(QStringLiteral("Contents")), nullptr);
    EXPECT_EQ(root.entries().size(), 3u);

    // Writes at a position grow the stream.
    std::unique_ptr<Stream> s = root.openStream(QStringLiteral("Contents"));
    ASSERT_TRUE(s->seek(3));
    ASSERT_TRUE(s->write(QByteArrayView("!!")));
    ASSERT_TRUE(root.readStream(QStringLiteral("Contents"), bytes, 100));
    EXPECT_EQ(bytes, QByteArray("2nd!!"));
}

} // namespace
} // namespace platform
