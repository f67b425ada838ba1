#include "platform/archive.h"

#include <string>

namespace platform {
namespace {

struct ErrorText {
    ArchiveErrorCode code;
    const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {ArchiveErrorCode::EndOfData, "the archive ends inside a value"},
    {ArchiveErrorCode::BadCount, "a count or length in the archive exceeds the data left"},
    {ArchiveErrorCode::BadClass, "the archive holds an unknown or unexpected class"},
    {ArchiveErrorCode::BadSchema, "the archive holds a class with an unsupported schema"},
    {ArchiveErrorCode::BadIndex, "the archive refers to an object or class it does not hold"},
    {ArchiveErrorCode::TooManyObjects, "the archive holds too many objects"},
    {ArchiveErrorCode::TooDeep, "the archive nests objects too deeply"},
    {ArchiveErrorCode::BadValue, "the archive holds a value outside its range"},
};

} // namespace

const char* archiveErrorText(ArchiveErrorCode code)
{
    for (const ErrorText& e : kErrorTexts) {
        if (e.code == code)
            return e.text;
    }
    return "unknown archive error";
}

ArchiveError::ArchiveError(ArchiveErrorCode code, std::size_t offset)
    : std::runtime_error(std::string(archiveErrorText(code)) + " (at byte " + std::to_string(offset) + ")"),
      m_code(code), m_offset(offset)
{
}

ArchiveClassRegistry::ArchiveClassRegistry(std::initializer_list<const ArchiveClass*> classes)
{
    for (const ArchiveClass* cls : classes)
        add(*cls);
}

void ArchiveClassRegistry::add(const ArchiveClass& cls)
{
    if (cls.name.empty() || cls.name.size() > kMaxNameLength || cls.schema == 0xFFFF || cls.create == nullptr)
        throw std::invalid_argument("archive class cannot be registered: " + std::string(cls.name));
    if (find(cls.name) != nullptr)
        throw std::invalid_argument("archive class registered twice: " + std::string(cls.name));
    m_classes.push_back(&cls);
}

const ArchiveClass* ArchiveClassRegistry::find(std::string_view name) const
{
    for (const ArchiveClass* cls : m_classes) {
        if (cls->name == name)
            return cls;
    }
    return nullptr;
}

} // namespace platform
