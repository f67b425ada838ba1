#include "platform/summary_info.h"

#include "byte_io.h"
#include "platform/codepage.h"

#include <QDateTime>
#include <QLocale>

namespace platform {
namespace {

// File time of 1970-01-01 UTC.
constexpr std::uint64_t kUnixEpochFileTime = 116444736000000000ULL;
constexpr std::uint64_t kFileTimePerMinute = 600000000ULL;

// "%lu" of a text: optional blanks and sign, leading digits, 32-bit wrap.
std::uint32_t parseUnsigned(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::uint32_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = v * 10u + static_cast<std::uint32_t>(text[i] - '0');
    return negative ? 0u - v : v;
}

// The characters of a string value, up to its NUL.
QByteArray stringChars(QByteArrayView data)
{
    const qsizetype nul = data.indexOf('\0');
    return (nul >= 0 ? data.first(nul) : data).toByteArray();
}

} // namespace

std::uint64_t currentFileTime()
{
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    return kUnixEpochFileTime + static_cast<std::uint64_t>(ms) * 10000ULL;
}

CSummaryInfo::CSummaryInfo()
{
    m_set.SetClassId(kSummaryFormatId);
    m_section = m_set.AddSection(kSummaryFormatId);
    FillInitialValues(*m_section);
}

void CSummaryInfo::FillInitialValues(CSummarySection& s)
{
    s.SetI2Property(pid::CodePage, static_cast<std::int16_t>(kGbkCodePage));
    for (std::uint32_t id : {pid::Title, pid::Subject, pid::Author, pid::Keywords, pid::Comments, pid::Template,
                             pid::LastAuthor})
        s.SetStringProperty(id, "");
    s.SetStringProperty(pid::RevNumber, "0");
    for (std::uint32_t id : {pid::EditTime, pid::LastPrinted, pid::LastSaved, pid::Created})
        s.SetFileTimeProperty(id, 0);
    for (std::uint32_t id : {pid::PageCount, pid::WordCount, pid::CharCount})
        s.SetI4Property(id, 0);
    s.SetStringProperty(pid::AppName, "");
    s.SetI4Property(pid::Security, 0);
}

QString CSummaryInfo::GetString(std::uint32_t id) const
{
    const CSummaryProperty* p = m_section->FindProperty(id);
    if (p == nullptr || (p->GetType() != vt::Lpstr && p->GetType() != vt::Bstr))
        return {};
    return fromGbk(stringChars(p->GetData()));
}

bool CSummaryInfo::SetString(std::uint32_t id, const QString& text)
{
    return m_section->SetStringProperty(id, toGbk(text));
}

std::uint32_t CSummaryInfo::GetCount(std::uint32_t id) const
{
    const CSummaryProperty* p = m_section->FindProperty(id);
    if (p == nullptr || p->GetType() != vt::I4 || p->GetValue().size() < 4)
        return 0;
    return detail::loadU32(reinterpret_cast<const std::uint8_t*>(p->GetValue().constData()));
}

QString CSummaryInfo::GetCountText(std::uint32_t id) const
{
    return QString::number(GetCount(id));
}

bool CSummaryInfo::SetCount(std::uint32_t id, std::uint32_t n)
{
    return m_section->SetI4Property(id, static_cast<std::int32_t>(n));
}

int CSummaryInfo::GetCodePage() const
{
    const CSummaryProperty* p = m_section->FindProperty(pid::CodePage);
    if (p == nullptr || p->GetType() != vt::I2 || p->GetValue().size() < 2)
        return 0;
    return static_cast<std::int16_t>(detail::loadU16(reinterpret_cast<const std::uint8_t*>(p->GetValue().constData())));
}

std::uint64_t CSummaryInfo::GetFileTime(std::uint32_t id) const
{
    const CSummaryProperty* p = m_section->FindProperty(id);
    if (p == nullptr || p->GetType() != vt::FileTime || p->GetValue().size() < 8)
        return 0;
    return detail::loadU64(reinterpret_cast<const std::uint8_t*>(p->GetValue().constData()));
}

void CSummaryInfo::SetFileTime(std::uint32_t id, std::uint64_t value)
{
    m_section->SetFileTimeProperty(id, value);
}

QString CSummaryInfo::GetEditTime() const
{
    return QStringLiteral("%1 min").arg(GetFileTime(pid::EditTime) / kFileTimePerMinute);
}

QString CSummaryInfo::GetTimeText(std::uint32_t id) const
{
    const std::uint64_t ft = GetFileTime(id);
    if (ft == 0)
        return {};
    const qint64 ms = static_cast<qint64>(ft / 10000ULL) - static_cast<qint64>(kUnixEpochFileTime / 10000ULL);
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toLocalTime();
    return QLocale::system().toString(time, QLocale::ShortFormat);
}

void CSummaryInfo::AddCountToEditTime(std::uint64_t now)
{
    const std::uint64_t elapsed = now > m_editClockStart ? now - m_editClockStart : 0;
    SetFileTime(pid::EditTime, GetFileTime(pid::EditTime) + elapsed);
    m_editClockStart = now;
}

void CSummaryInfo::IncrRevNum()
{
    const std::uint32_t revision = parseUnsigned(toGbk(GetRevNum())) + 1u;
    SetRevNum(QString::number(revision));
}

bool CSummaryInfo::WriteToStorage(Storage& root)
{
    std::unique_ptr<Stream> stream = root.createStream(summaryInformationStreamName());
    return stream && m_set.WriteToStream(*stream);
}

bool CSummaryInfo::ReadFromStorage(Storage& root)
{
    std::unique_ptr<Stream> stream = root.openStream(summaryInformationStreamName());
    CSummarySet read;
    if (!stream || !read.ReadFromStream(*stream))
        return false;
    if (read.GetSection(kSummaryFormatId) == nullptr)
        FillInitialValues(*read.AddSection(kSummaryFormatId));
    m_set = std::move(read);
    m_section = m_set.GetSection(kSummaryFormatId);
    return true;
}

} // namespace platform
