// libFuzzer target over the RTF reader: bytes to a document and a run list,
// then the writer's output read and written again, which must give the same
// bytes (the writer's shape is a fixed point of reading).
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(*argc, *argv));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView rtf(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    TextRunList runs;
    rich_text::ReadRtf(rtf, &document, &runs);
    for (const TextRun& run : runs.runs)
        if (run.fontName.size() > 29)
            std::abort();

    const QByteArray written = rich_text::WriteRtf(document);
    QTextDocument again;
    if (rich_text::ReadRtf(written, &again, nullptr).error != rich_text::RtfError::kNone)
        std::abort();
    if (rich_text::WriteRtf(again) != written) {
        std::fprintf(stderr, "writer output changed on a second round:\n%s\n%s\n", written.constData(),
                     rich_text::WriteRtf(again).constData());
        std::abort();
    }
    return 0;
}
