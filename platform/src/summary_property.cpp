#include "platform/summary_set.h"

#include "byte_io.h"

namespace platform {
namespace {

enum class Form { Fixed, Counted, Unsupported };

struct TypeForm {
    Form form = Form::Unsupported;
    std::size_t unit = 0; // bytes per element (Fixed) or per counted unit (Counted)
};

TypeForm typeForm(std::uint32_t baseType)
{
    switch (baseType) {
    case vt::Empty:
        return {Form::Fixed, 0};
    case vt::I2:
    case vt::Bool:
        return {Form::Fixed, 2};
    case vt::I4:
    case vt::R4:
        return {Form::Fixed, 4};
    case vt::R8:
    case vt::Cy:
    case vt::Date:
    case vt::I8:
    case vt::FileTime:
        return {Form::Fixed, 8};
    case vt::Clsid:
        return {Form::Fixed, 16};
    case vt::Bstr:
    case vt::Lpstr:
    case vt::Blob:
    case 66:
    case 67:
    case 68:
    case 69:
    case 70:
    case 71:
    case 73:
    case 74:
    case 75:
        return {Form::Counted, 1};
    case vt::Lpwstr:
        return {Form::Counted, 2};
    default:
        return {}; // VARIANT (12) and every other type
    }
}

} // namespace

std::optional<std::size_t> CSummaryProperty::ValueLength(std::uint32_t type, QByteArrayView bytes)
{
    if ((type & ~(vt::Vector | 0xFFFu)) != 0)
        return std::nullopt;
    const bool vector = (type & vt::Vector) != 0;
    const TypeForm tf = typeForm(type & ~vt::Vector);
    if (tf.form == Form::Unsupported)
        return std::nullopt;

    detail::ByteCursor c(bytes);
    std::uint32_t elements = 1;
    if (vector && !c.u32(elements))
        return std::nullopt;

    if (tf.form == Form::Fixed) {
        if (tf.unit != 0 && (elements > c.remaining() / tf.unit || !c.skip(elements * tf.unit)))
            return std::nullopt;
        return c.position();
    }
    // Each counted element takes at least its 4-byte count.
    if (elements > c.remaining() / 4)
        return std::nullopt;
    for (std::uint32_t i = 0; i < elements; ++i) {
        std::uint32_t count = 0;
        if (!c.u32(count) || count > c.remaining() / tf.unit || !c.skip(count * tf.unit))
            return std::nullopt;
    }
    return c.position();
}

QByteArrayView CSummaryProperty::GetData() const
{
    const bool vector = (m_type & vt::Vector) != 0;
    const bool counted = typeForm(m_type & ~vt::Vector).form == Form::Counted;
    const qsizetype skip = (vector || counted) ? 4 : 0;
    if (m_value.size() < skip)
        return {};
    return QByteArrayView(m_value).sliced(skip);
}

QByteArray CSummaryProperty::StringValue(QByteArrayView chars)
{
    const qsizetype nul = chars.indexOf('\0');
    if (nul >= 0)
        chars = chars.first(nul);
    QByteArray value;
    detail::putU32(value, static_cast<std::uint32_t>(chars.size() + 1));
    value.append(chars);
    value.append('\0');
    return value;
}

} // namespace platform
