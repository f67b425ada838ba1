#include "irimage/ir_file_entry.h"

#include "platform/codepage.h"

#include <cstring>
#include <utility>

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
unsigned char Fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

int ByteCompare(const QByteArray& a, const QByteArray& b)
{
    const std::size_t n = static_cast<std::size_t>(std::min(a.size(), b.size()));
    const int r = n == 0 ? 0 : std::memcmp(a.constData(), b.constData(), n);
    if (r != 0)
        return r;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Compares two digit runs as numbers without converting them: leading zeros
// aside, a longer run is larger, equal lengths compare digit by digit.
int CompareDigitRuns(const unsigned char* a, std::size_t na, const unsigned char* b, std::size_t nb)
{
    std::size_t za = 0, zb = 0;
    while (za < na && a[za] == '0')
        ++za;
    while (zb < nb && b[zb] == '0')
        ++zb;
    const std::size_t la = na - za, lb = nb - zb;
    if (la != lb)
        return la < lb ? -1 : 1;
    const int r = la == 0 ? 0 : std::memcmp(a + za, b + zb, la);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

long FindModelPrefix(const QByteArray& bytes, long limit)
{
    static constexpr char kPrefix[] = "VN410K";
    for (long i = 0; i + 6 <= bytes.size() && i < limit; ++i) {
        if (std::memcmp(bytes.constData() + i, kPrefix, 6) == 0)
            return i;
    }
    return -1;
}

bool StartsWith(const QByteArray& bytes, const char* prefix) { return bytes.startsWith(prefix); }

} // namespace

bool CompareFileNames(const QString& keyA, const QString& keyB, int order)
{
    const QByteArray a = platform::toGbk(keyA);
    const QByteArray b = platform::toGbk(keyB);
    if (order != kOrderNameNatural)
        return ByteCompare(a, b) > 0;
    const auto* pa = reinterpret_cast<const unsigned char*>(a.constData());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.constData());
    const std::size_t na = static_cast<std::size_t>(a.size());
    const std::size_t nb = static_cast<std::size_t>(b.size());
    std::size_t ia = 0, ib = 0;
    while (ia < na && ib < nb) {
        if (IsDigit(pa[ia]) && IsDigit(pb[ib])) {
            std::size_t ea = ia, eb = ib;
            while (ea < na && IsDigit(pa[ea]))
                ++ea;
            while (eb < nb && IsDigit(pb[eb]))
                ++eb;
            const int r = CompareDigitRuns(pa + ia, ea - ia, pb + ib, eb - ib);
            if (r != 0)
                return r > 0;
            if (ea - ia != eb - ib)
                return (ea - ia) < (eb - ib); // more leading zeros first
            ia = ea;
            ib = eb;
            continue;
        }
        // A lead byte takes its trail byte with it, when there is one.
        const bool wideA = platform::isGbkLeadByte(pa[ia]) && ia + 1 < na;
        const bool wideB = platform::isGbkLeadByte(pb[ib]) && ib + 1 < nb;
        const unsigned ca = wideA ? (unsigned(pa[ia]) << 8 | pa[ia + 1]) : Fold(pa[ia]);
        const unsigned cb = wideB ? (unsigned(pb[ib]) << 8 | pb[ib + 1]) : Fold(pb[ib]);
        // A single byte against a double-byte character compares with its
        // lead byte.
        const unsigned va = wideA && !wideB ? ca >> 8 : ca;
        const unsigned vb = wideB && !wideA ? cb >> 8 : cb;
        if (va != vb)
            return va > vb;
        if (wideA != wideB)
            return wideA; // the same lead byte: the longer character after
        ia += wideA ? 2 : 1;
        ib += wideB ? 2 : 1;
    }
    return ByteCompare(a, b) > 0;
}

void SortFileList(std::vector<IRFileEntry>& entries, int order)
{
    if (entries.size() < 2)
        return;
    for (std::size_t end = entries.size() - 1; end > 0; --end) {
        bool swapped = false;
        for (std::size_t j = 0; j < end; ++j) {
            if (CompareFileNames(entries[j].key, entries[j + 1].key, order)) {
                std::swap(entries[j], entries[j + 1]);
                swapped = true;
            }
        }
        if (!swapped)
            break;
    }
}

void MakeUniqueKey(std::vector<IRFileEntry>& entries, std::size_t i, int k)
{
    if (i >= entries.size())
        return;
    const QString base = entries[i].key;
    for (;; ++k) {
        const QString candidate = k < 1 ? base : base + QString::number(k);
        bool taken = false;
        for (std::size_t j = 0; j < i && !taken; ++j)
            taken = entries[j].key == candidate;
        if (!taken) {
            entries[i].key = candidate;
            return;
        }
    }
}

long ParamBlockOffsetForPalette(const QByteArray& bytes, int version)
{
    if (version == 1)
        return 0;
    if (version != 0 && version != 3)
        return -1;
    if (StartsWith(bytes, "VN410K"))
        return 0;
    const long found = FindModelPrefix(bytes, static_cast<long>(bytes.size()) - 7);
    return found < 0 ? 0 : found;
}

long ParamBlockOffsetForOldEntry(const QByteArray& bytes)
{
    if (StartsWith(bytes, "VN410K5") || StartsWith(bytes, "VN410K6") || StartsWith(bytes, "VN410K7") ||
        StartsWith(bytes, "VN410K3"))
        return 0;
    const long found = FindModelPrefix(bytes, static_cast<long>(bytes.size()) - 8 + 1);
    return found < 0 ? 0 : found;
}
