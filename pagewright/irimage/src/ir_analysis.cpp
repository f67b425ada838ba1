#include "irimage/ir_analysis.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/codepage.h"

namespace {

QString FieldText(const char* field, std::size_t size)
{
    std::size_t n = 0;
    while (n < size && field[n] != '\0')
        ++n;
    return platform::fromGbk(QByteArrayView(field, static_cast<qsizetype>(n)));
}

void SetFieldText(char* field, std::size_t size, const QString& text)
{
    const QByteArray gbk = platform::toGbk(text, size - 1);
    std::memset(field, 0, size);
    std::memcpy(field, gbk.constData(), static_cast<std::size_t>(gbk.size()));
}

} // namespace

QString IRAnalysisItem::Name() const { return FieldText(name, sizeof name); }
void IRAnalysisItem::SetName(const QString& value) { SetFieldText(name, sizeof name, value); }
QString IRAnalysisItem::Text() const { return FieldText(text, sizeof text); }
void IRAnalysisItem::SetText(const QString& value) { SetFieldText(text, sizeof text, value); }

bool IRAnalysisItem::HasStatistics() const
{
    return kind == kAnalysisPoint || !(maximum == kNoMaximum && minimum == kNoMinimum);
}

bool IRAnalysisItem::InCategory(std::int32_t kind, int category)
{
    switch (category) {
    case kCategoryPoint:
        return kind == kAnalysisPoint;
    case kCategoryLine:
        return kind == kAnalysisLine;
    case kCategoryArea:
        return kind == kAnalysisRect || kind == kAnalysisEllipse;
    default:
        return false;
    }
}

template <class T>
void IRRecordArray<T>::Serialize(platform::ArchiveWriter& ar) const
{
    ar.writeCount(static_cast<std::uint32_t>(m_size));
    if (m_size != 0)
        ar.writeBytes(QByteArrayView(reinterpret_cast<const char*>(m_data.get()),
                                     static_cast<qsizetype>(m_size * sizeof(T))));
}

template <class T>
void IRRecordArray<T>::Serialize(platform::ArchiveReader& ar)
{
    // The count is checked against the bytes left before anything is
    // allocated.
    const std::uint32_t count = ar.readCount(sizeof(T));
    SetSize(count);
    if (count != 0)
        ar.readBytes(m_data.get(), std::size_t(count) * sizeof(T));
}

template class IRRecordArray<IRAnalysisItem>;
template class IRRecordArray<IROldAnalysisItem>;

IRAnalysisItem ConvertOldAnalysis(const IROldAnalysisItem& old, float ambient, float background)
{
    IRAnalysisItem item;
    std::memcpy(static_cast<void*>(&item), old.bytes, IROldAnalysisItem::kSize);
    item.refFromAnalysis = 0;
    item.ownReference = 0;
    item.ownBackground = 0;
    item.referenceTemp = ambient;
    item.background = background;
    return item;
}
