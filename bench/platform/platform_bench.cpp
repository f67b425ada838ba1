// Report-sized compound files and archive encoding.
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/compound_file.h"
#include "platform/storage.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace platform;

constexpr qsizetype kReportBytes = 20 * 1024 * 1024;

QByteArray filler(qsizetype size, int seed)
{
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = static_cast<char>((i * 31 + seed) & 0xFF);
    return out;
}

// A report of 20 MB: in `streams` streams of equal size.
MemoryStorage makeReport(int streams)
{
    MemoryStorage root;
    const qsizetype each = kReportBytes / streams;
    for (int i = 0; i < streams; ++i)
        root.writeStream(QStringLiteral("Stream%1").arg(i), filler(each, i));
    return root;
}

void BM_CompoundWrite(benchmark::State& state)
{
    QTemporaryDir dir;
    MemoryStorage report = makeReport(static_cast<int>(state.range(0)));
    const QString path = dir.filePath(QStringLiteral("bench.rpt"));
    for (auto _ : state) {
        if (!saveCompoundFile(report, path))
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * kReportBytes);
}
BENCHMARK(BM_CompoundWrite)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompoundRead(benchmark::State& state)
{
    QTemporaryDir dir;
    MemoryStorage report = makeReport(static_cast<int>(state.range(0)));
    const QString path = dir.filePath(QStringLiteral("bench.rpt"));
    saveCompoundFile(report, path);
    for (auto _ : state) {
        std::unique_ptr<Storage> file = openCompoundFile(path);
        qsizetype total = 0;
        for (const StorageEntry& e : file->entries()) {
            QByteArray bytes;
            file->readStream(e.name, bytes, kReportBytes);
            total += bytes.size();
        }
        if (total != kReportBytes / state.range(0) * state.range(0))
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * kReportBytes);
}
BENCHMARK(BM_CompoundRead)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();

// A small draw object: a rectangle, a page, colours and a short text.
class SmallObject : public ArchiveObject {
public:
    static const ArchiveClass kClass;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::uint32_t page = 0, pen = 0, brush = 0;
    QString text;

    const ArchiveClass& archiveClass() const override { return kClass; }
    void store(ArchiveWriter& ar) const override
    {
        ar.writeI32(left);
        ar.writeI32(top);
        ar.writeI32(right);
        ar.writeI32(bottom);
        ar.writeU32(page);
        ar.writeU32(pen);
        ar.writeU32(brush);
        ar.writeString(text);
    }
    void load(ArchiveReader& ar) override
    {
        left = ar.readI32();
        top = ar.readI32();
        right = ar.readI32();
        bottom = ar.readI32();
        page = ar.readU32();
        pen = ar.readU32();
        brush = ar.readU32();
        text = ar.readString();
    }
};
const ArchiveClass SmallObject::kClass{"CDrawRect", 0, &createArchiveObject<SmallObject>};

std::vector<SmallObject> makeObjects()
{
    std::vector<SmallObject> objects(10000);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        SmallObject& o = objects[i];
        o.left = static_cast<std::int32_t>(i);
        o.top = -static_cast<std::int32_t>(i);
        o.right = o.left + 500;
        o.bottom = o.top - 300;
        o.page = static_cast<std::uint32_t>(i / 100);
        o.text = QStringLiteral("测点 %1").arg(i);
    }
    return objects;
}

void BM_ArchiveWrite10kObjects(benchmark::State& state)
{
    const std::vector<SmallObject> objects = makeObjects();
    std::vector<const ArchiveObject*> list;
    for (const SmallObject& o : objects)
        list.push_back(&o);
    qsizetype bytes = 0;
    for (auto _ : state) {
        ArchiveWriter w;
        w.writeObjectList(list);
        bytes = w.data().size();
        benchmark::DoNotOptimize(w.data().constData());
    }
    state.SetItemsProcessed(state.iterations() * 10000);
    state.counters["archive_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ArchiveWrite10kObjects)->Unit(benchmark::kMillisecond);

void BM_ArchiveRead10kObjects(benchmark::State& state)
{
    const std::vector<SmallObject> objects = makeObjects();
    std::vector<const ArchiveObject*> list;
    for (const SmallObject& o : objects)
        list.push_back(&o);
    ArchiveWriter w;
    w.writeObjectList(list);
    const QByteArray data = w.takeData();
    const ArchiveClassRegistry registry{&SmallObject::kClass};
    for (auto _ : state) {
        ArchiveReader r(data, registry);
        auto read = r.readObjectList<SmallObject>();
        benchmark::DoNotOptimize(read.data());
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ArchiveRead10kObjects)->Unit(benchmark::kMillisecond);

} // namespace
