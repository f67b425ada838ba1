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
    // A converter that holds a character back (code page 1258 waits for a
    // combining mark) gives it up now.
    ensureRoom(16);
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
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

namespace {

const char* iconvNameOfCodePage(int codePage)
{
    switch (codePage) {
    case 936: return "GBK";
    case 950: return "BIG5";
    case 932: return "CP932";
    case 949: return "CP949";
    case 874: return "CP874";
    case 437: return "CP437";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 10000: return "MACINTOSH";
    default: return nullptr;
    }
}

void* openIconv(const char* to, const char* from)
{
    if (from == nullptr || to == nullptr)
        return nullptr;
    const iconv_t cd = iconv_open(to, from);
    return cd == reinterpret_cast<iconv_t>(-1) ? nullptr : static_cast<void*>(cd);
}

} // namespace

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;
    }
}

CodePageConverter::CodePageConverter(int codePage)
    : m_codePage(codePage)
    , m_singleByte(codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950)
{
    const char* name = iconvNameOfCodePage(codePage);
    m_decoder = openIconv("UTF-8", name);
    m_encoder = openIconv(name, "UTF-8");
}

CodePageConverter::~CodePageConverter()
{
    if (m_decoder != nullptr)
        iconv_close(static_cast<iconv_t>(m_decoder));
    if (m_encoder != nullptr)
        iconv_close(static_cast<iconv_t>(m_encoder));
}

QString CodePageConverter::decode(QByteArrayView bytes)
{
    const auto cd = static_cast<iconv_t>(m_decoder);
    const auto skipOne = [](const char*, std::size_t) { return std::size_t{1}; };
    std::string utf8;
    if (m_singleByte) {
        // One byte is one character: each is decoded alone, so that a letter
        // and the combining accent after it stay two characters (code pages
        // 1255 and 1258 would join them), as the encoder wrote them one by one.
        for (const char byte : bytes)
            utf8 += convert(cd, std::string_view(&byte, 1), "\xEF\xBF\xBD", skipOne);
    } else {
        utf8 = convert(cd, std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())), "\xEF\xBF\xBD",
                       skipOne);
    }
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool CodePageConverter::encode(char32_t c, QByteArray& out)
{
    if (c < 0x80) {
        out.append(static_cast<char>(c));
        return true;
    }
    if (m_encoder == nullptr || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    char in[4];
    std::size_t inLeft;
    if (c < 0x800) {
        in[0] = static_cast<char>(0xC0 | (c >> 6));
        in[1] = static_cast<char>(0x80 | (c & 0x3F));
        inLeft = 2;
    } else if (c < 0x10000) {
        in[0] = static_cast<char>(0xE0 | (c >> 12));
        in[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        in[2] = static_cast<char>(0x80 | (c & 0x3F));
        inLeft = 3;
    } else {
        in[0] = static_cast<char>(0xF0 | (c >> 18));
        in[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        in[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        in[3] = static_cast<char>(0x80 | (c & 0x3F));
        inLeft = 4;
    }
    char buffer[8];
    char* inPtr = in;
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const auto cd = static_cast<iconv_t>(m_encoder);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return false;
    // Flush any shift state (none of the code pages above has one).
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    const QByteArrayView bytes(buffer, static_cast<qsizetype>(sizeof buffer - outLeft));
    // Only bytes that the decoder reads back as this one character: iconv
    // gives a precomposed letter with no byte of its own in 1258 as the base
    // letter and a combining mark (two characters to the decoder), and a
    // double-byte page may map a character to the bytes of another.
    char16_t units[2];
    const qsizetype unitCount = c < 0x10000 ? 1 : 2;
    if (unitCount == 1) {
        units[0] = static_cast<char16_t>(c);
    } else {
        units[0] = QChar::highSurrogate(c);
        units[1] = QChar::lowSurrogate(c);
    }
    if (bytes.isEmpty() || decode(bytes) != QStringView(units, unitCount))
        return false;
    out.append(bytes);
    return true;
}

} // namespace platform
