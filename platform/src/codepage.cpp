#include "platform/codepage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform {
namespace {

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

iconv_t gbkDecoder()
{
    thread_local Converter converter("UTF-8", "GBK");
    return converter.valid() ? converter.handle() : nullptr;
}

iconv_t gbkEncoder()
{
    thread_local Converter converter("GBK", "UTF-8");
    return converter.valid() ? converter.handle() : nullptr;
}

// Number of bytes of the UTF-8 sequence that starts with lead (1 for a byte
// that starts none), used to step over a character GBK cannot hold.
std::size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

// Runs iconv over the whole input. skipBad(in, left) tells how many input
// bytes a sequence that does not convert spans (at least 1); replacement is
// written for it.
template <class SkipBad>
std::string convert(iconv_t cd, std::string_view input, std::string_view replacement, SkipBad skipBad)
{
    std::string out;
    if (input.empty())
        return out;
    if (cd == nullptr) {
        // No converter on this system: keep ASCII, replace the rest.
        for (char c : input)
            out += static_cast<unsigned char>(c) < 0x80 ? std::string_view(&c, 1) : replacement;
        return out;
    }

    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(input.size() * 3 + 8);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();

    auto ensureRoom = [&](std::size_t need) {
        if (outLeft >= need)
            return;
        const std::size_t used = out.size() - outLeft;
        out.resize(out.size() * 2 + need);
        outPtr = out.data() + used;
        outLeft = out.size() - used;
    };

    while (inLeft > 0) {
        const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        if (r != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            ensureRoom(out.size() + 16);
            continue;
        }
        // EILSEQ (a sequence that does not convert) or EINVAL (a sequence cut
        // off at the end): write the replacement and step over it.
        ensureRoom(replacement.size());
        std::memcpy(outPtr, replacement.data(), replacement.size());
        outPtr += replacement.size();
        outLeft -= replacement.size();
        std::size_t n = skipBad(in, inLeft);
        n = n > inLeft ? inLeft : n;
        in += n;
        inLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::string gbkToUtf8(std::string_view gbk)
{
    // A byte that does not decode is replaced alone, so that an ASCII byte
    // after a broken lead byte survives.
    return convert(gbkDecoder(), gbk, "\xEF\xBF\xBD", [](const char*, std::size_t) { return std::size_t{1}; });
}

std::string utf8ToGbk(std::string_view utf8)
{
    // A character GBK cannot hold is skipped whole; a broken sequence only as
    // far as its continuation bytes go.
    return convert(gbkEncoder(), utf8, "?", [](const char* in, std::size_t left) {
        const std::size_t n = utf8SequenceLength(static_cast<unsigned char>(in[0]));
        std::size_t k = 1;
        while (k < n && k < left && (static_cast<unsigned char>(in[k]) & 0xC0) == 0x80)
            ++k;
        return k;
    });
}

QString fromGbk(QByteArrayView gbk)
{
    const std::string utf8 = gbkToUtf8(std::string_view(gbk.data(), static_cast<std::size_t>(gbk.size())));
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QByteArray toGbk(QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    const std::string gbk = utf8ToGbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    return QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size()));
}

std::size_t gbkFitLength(QByteArrayView gbk, std::size_t maxBytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
    const std::size_t n = static_cast<std::size_t>(gbk.size());
    std::size_t i = 0;
    while (i < n) {
        const std::size_t len = (isGbkLeadByte(p[i]) && i + 1 < n && isGbkTrailByte(p[i + 1])) ? 2 : 1;
        if (i + len > maxBytes)
            break;
        i += len;
    }
    return i;
}

QByteArray truncateGbk(QByteArrayView gbk, std::size_t maxBytes)
{
    return gbk.first(static_cast<qsizetype>(gbkFitLength(gbk, maxBytes))).toByteArray();
}

QByteArray toGbk(QStringView text, std::size_t maxBytes)
{
    QByteArray gbk = toGbk(text);
    gbk.truncate(static_cast<qsizetype>(gbkFitLength(gbk, maxBytes)));
    return gbk;
}

} // namespace platform
