// Analyses of an infrared image: the 256-byte analysis record, the arrays
// that hold them (with the class library's growth rules and archive form),
// and the older 128-byte record of early reports.
//
// A record is stored raw in reports, so its layout is a file format: every
// offset below is checked at compile time. Names and texts are GBK bytes,
// NUL-terminated inside their fields.
#pragma once

#include <QString>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

namespace platform {
class ArchiveReader;
class ArchiveWriter;
}

static_assert(std::endian::native == std::endian::little, "analysis records are stored as they lie in memory");

// Kinds of analysis.
enum IRAnalysisKind : std::int32_t { kAnalysisPoint = 1, kAnalysisLine = 2, kAnalysisRect = 3, kAnalysisEllipse = 4 };
// Categories of numbering: points, lines, areas (rectangles and ellipses).
enum IRAnalysisCategory : int { kCategoryPoint = 3, kCategoryLine = 4, kCategoryArea = 5 };

struct IRShape {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const IRShape&) const = default;
};

struct IRAnalysisItem {
    // Statistics before anything was measured, and after a measurement over
    // no pixel.
    static constexpr float kNoMaximum = -2000.0f;
    static constexpr float kNoMinimum = 5000.0f;
    static constexpr std::uint32_t kDefaultColor = 0xFFFF00;

    std::int32_t number = 0;     //   0
    float maximum = 0;           //   4
    float minimum = 0;           //   8
    float average = 0;           //  12
    std::int32_t maxX = 0;       //  16
    std::int32_t maxY = 0;       //  20
    std::int32_t minX = 0;       //  24
    std::int32_t minY = 0;       //  28
    char name[12] = {};          //  32
    std::uint32_t color = 0;     //  44
    float emissivity = 0;        //  48
    float distance = 0;          //  52
    std::int32_t kind = 0;       //  56
    IRShape shape;               //  60
    std::int32_t ownEmissivity = 0; // 76
    std::int32_t ownDistance = 0;   // 80
    char text[40] = {};          //  84
    std::int32_t labelMode = 0;  // 124
    std::int32_t refFromAnalysis = 0; // 128
    std::int32_t ownReference = 0;    // 132
    std::int32_t ownBackground = 0;   // 136
    float referenceTemp = 0;     // 140
    float background = 0;        // 144
    std::int32_t refKind = 0;    // 148
    std::int32_t refNumber = 0;  // 152
    std::int32_t refValue = 0;   // 156
    std::uint8_t reserved[96] = {}; // 160

    QString Name() const;
    void SetName(const QString& name);
    QString Text() const;
    void SetText(const QString& text);
    // True once a measurement covered at least one pixel (points: always).
    bool HasStatistics() const;
    // Whether a record of this kind belongs to the numbering category.
    static bool InCategory(std::int32_t kind, int category);
};

static_assert(std::is_trivially_copyable_v<IRAnalysisItem>);
static_assert(sizeof(IRAnalysisItem) == 256);
static_assert(offsetof(IRAnalysisItem, maximum) == 4);
static_assert(offsetof(IRAnalysisItem, maxX) == 16);
static_assert(offsetof(IRAnalysisItem, minY) == 28);
static_assert(offsetof(IRAnalysisItem, name) == 32);
static_assert(offsetof(IRAnalysisItem, color) == 44);
static_assert(offsetof(IRAnalysisItem, emissivity) == 48);
static_assert(offsetof(IRAnalysisItem, kind) == 56);
static_assert(offsetof(IRAnalysisItem, shape) == 60);
static_assert(offsetof(IRAnalysisItem, ownEmissivity) == 76);
static_assert(offsetof(IRAnalysisItem, ownDistance) == 80);
static_assert(offsetof(IRAnalysisItem, text) == 84);
static_assert(offsetof(IRAnalysisItem, labelMode) == 124);
static_assert(offsetof(IRAnalysisItem, refFromAnalysis) == 128);
static_assert(offsetof(IRAnalysisItem, ownReference) == 132);
static_assert(offsetof(IRAnalysisItem, ownBackground) == 136);
static_assert(offsetof(IRAnalysisItem, referenceTemp) == 140);
static_assert(offsetof(IRAnalysisItem, background) == 144);
static_assert(offsetof(IRAnalysisItem, refKind) == 148);
static_assert(offsetof(IRAnalysisItem, refNumber) == 152);
static_assert(offsetof(IRAnalysisItem, refValue) == 156);
static_assert(offsetof(IRAnalysisItem, reserved) == 160);

// The older record: the first 128 bytes of IRAnalysisItem.
struct IROldAnalysisItem {
    static constexpr std::size_t kSize = 128;
    std::uint8_t bytes[kSize] = {};
};

// A growable array of fixed-size records with the class library's array
// rules: setting a larger size zero-fills the new records; growing beyond
// the capacity allocates max(new size, capacity + step), where an automatic
// step (0) is size / 8 clamped to 4..1024; size 0 frees the storage.
template <class T>
class IRRecordArray {
public:
    static_assert(std::is_trivially_copyable_v<T>);

    IRRecordArray() = default;
    IRRecordArray(const IRRecordArray& other) { *this = other; }
    IRRecordArray& operator=(const IRRecordArray& other)
    {
        if (this != &other) {
            SetSize(other.m_size);
            if (m_size != 0)
                std::memcpy(m_data.get(), other.m_data.get(), m_size * sizeof(T));
        }
        return *this;
    }
    virtual ~IRRecordArray() = default;

    std::size_t GetSize() const { return m_size; }
    std::size_t GetCapacity() const { return m_capacity; }
    bool IsEmpty() const { return m_size == 0; }
    T* GetData() { return m_data.get(); }
    const T* GetData() const { return m_data.get(); }
    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }
    // Address of record i; callers keep i below the size.
    T* GetAt(std::size_t i) { return &m_data[i]; }
    const T* GetAt(std::size_t i) const { return &m_data[i]; }
    T* begin() { return m_data.get(); }
    T* end() { return m_data.get() + m_size; }
    const T* begin() const { return m_data.get(); }
    const T* end() const { return m_data.get() + m_size; }

    // growBy < 0 keeps the step.
    void SetSize(std::size_t newSize, int growBy = -1)
    {
        if (growBy >= 0)
            m_growBy = growBy;
        if (newSize == 0) {
            m_data.reset();
            m_size = m_capacity = 0;
            return;
        }
        if (newSize > m_capacity) {
            std::size_t step = static_cast<std::size_t>(m_growBy);
            if (step == 0)
                step = std::clamp<std::size_t>(m_size / 8, 4, 1024);
            const std::size_t capacity = std::max(newSize, m_capacity + step);
            std::unique_ptr<T[]> grown(new T[capacity]);
            if (m_size != 0)
                std::memcpy(static_cast<void*>(grown.get()), m_data.get(), m_size * sizeof(T));
            m_data = std::move(grown);
            m_capacity = capacity;
        }
        if (newSize > m_size)
            std::memset(static_cast<void*>(m_data.get() + m_size), 0, (newSize - m_size) * sizeof(T));
        m_size = newSize;
    }
    void RemoveAll() { SetSize(0); }
    std::size_t Add(const T& record)
    {
        const std::size_t at = m_size;
        SetSize(m_size + 1);
        m_data[at] = record;
        return at;
    }

    // The archive form: the count, then count raw records.
    void Serialize(platform::ArchiveWriter& ar) const;
    void Serialize(platform::ArchiveReader& ar);

private:
    std::unique_ptr<T[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    int m_growBy = 0;
};

using IRAnalysisArray = IRRecordArray<IRAnalysisItem>;
using CIRItemArray = IRRecordArray<IROldAnalysisItem>;

extern template class IRRecordArray<IRAnalysisItem>;
extern template class IRRecordArray<IROldAnalysisItem>;

// A new-form record from an old one: its 128 bytes, then the image's ambient
// and background temperatures as the reference and background.
IRAnalysisItem ConvertOldAnalysis(const IROldAnalysisItem& old, float ambient, float background);
