// CIrImage: the report designer's holder of one infrared image.
//
// It owns one Thermcore handle, keeps a copy of the file's infrared data
// (what the report stores), remembers the measurement conditions, palette
// and display range, and offers the image object and its analyses a small
// set of virtual operations in a fixed order (0 .. 34; those of
// CIrImageBase, 0 .. 18, return 1 and do nothing there).
//
// Temperatures handed out by the point, line, rectangle and circle
// operations are in the program's display unit; ranges and limits are in
// degrees Celsius. The buffers of the line, rectangle and circle operations
// are never written past the count the caller gives.
#pragma once

#include "irimage/ir_analysis.h"
#include "irimage/ir_file_entry.h"

#include "ir_holder_common.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class DocumentEnvironment;

class CIrImageBase {
public:
    virtual ~CIrImageBase() = default;

    virtual int Slot0() { return 1; }
    virtual int SaveImageBmp(const QString& path, int flag) { (void)path, (void)flag; return 1; } // 1
    virtual int Slot2() { return 1; }
    virtual int Slot3() { return 1; }
    virtual int OutputDIB(unsigned char* block, int capacity, int* size, int flag) // 4
    {
        (void)block, (void)capacity, (void)size, (void)flag;
        return 1;
    }
    virtual int Slot5() { return 1; }
    virtual int Slot6() { return 1; }
    virtual int Slot7() { return 1; }
    virtual int Slot8() { return 1; }
    virtual int Slot9() { return 1; }
    virtual int TempToGray(float t, int* gray) { (void)t, (void)gray; return 1; } // 10
    virtual int Slot11() { return 1; }
    virtual int GetRangeTemps(float* high, float* low, float* high2, float* low2) // 12
    {
        (void)high, (void)low, (void)high2, (void)low2;
        return 1;
    }
    virtual int SetPalette(int index) { (void)index; return 1; } // 13
    virtual int Slot14() { return 1; }
    virtual int SetRangeTemps(float high, float low) { (void)high, (void)low; return 1; } // 15
    virtual int GetPalette(int* index) { (void)index; return 1; } // 16
    virtual int Slot17() { return 1; }
    virtual int Slot18() { return 1; }
};

class CIrImage : public CIrImageBase, private thermcore::IrHolderCommon {
public:
    static constexpr int kLinePointCapacity = thermcore::kLinePointCapacity;
    static constexpr int kSentinel = -9999;
    // The grays a display range may span.
    static constexpr int kMinGray = -32768;
    static constexpr int kMaxGray = 65535;

    // env: the program folder, palettes and unit; null takes the headless
    // environment.
    explicit CIrImage(DocumentEnvironment* env = nullptr,
                      const thermcore::IfrCalls& calls = thermcore::ExportedCalls());
    ~CIrImage() override;
    CIrImage(const CIrImage&) = delete;
    CIrImage& operator=(const CIrImage&) = delete;

    void SetEnvironment(DocumentEnvironment* env);
    DocumentEnvironment& Environment() const { return *m_env; }

    // ---- the virtual operations, in their order
    int SaveImageBmp(const QString& path, int flag) override;                          // 1
    int OutputDIB(unsigned char* block, int capacity, int* size, int flag) override;   // 4
    int TempToGray(float t, int* gray) override;                                       // 10
    int GetRangeTemps(float* high, float* low, float* high2, float* low2) override;    // 12
    int SetPalette(int index) override;                                                // 13
    int SetRangeTemps(float high, float low) override;                                 // 15
    int GetPalette(int* index) override;                                               // 16
    virtual int SaveCCDFile(const QString& path, int* kind);                           // 19
    // 1 or -1. On -1 the holder is empty: the previous handle is closed and
    // freed either way.
    virtual int Open(const QString& path, void* window);                               // 20
    virtual int LoadBuffer(IRFileEntry entry, void* window);                           // 21
    virtual int Close();                                                               // 22
    virtual int GetBoardRect(int rect[4]);                                             // 23
    virtual int OutputCCDDIB(unsigned char** buffer, int* size, int flag);             // 24
    virtual int Slot25() { return 1; }
    virtual int GetHeaderWords(int* first, int* second, int* third, int* fourth);      // 26
    virtual int GetReservedWord(int* word);                                            // 27
    virtual int GetPointGray(int x, int y);                                            // 28
    virtual int GetPointTemp(int x, int y, float emissivity, float distance, float background, float* t); // 29
    virtual int MeasureLine(IRAnalysisItem& item);                                     // 30
    virtual int LineProfile(int x1, int y1, int x2, int y2, float emissivity, float distance,
                            float background, float* out, int* count);                 // 31
    virtual int GetRectTemps(int x1, int y1, int x2, int y2, float emissivity, float distance,
                             float background, float* out, int* count);                // 32
    virtual int MeasureArea(IRAnalysisItem& item);                                     // 33
    virtual int GetCircleTemps(int x1, int y1, int x2, int y2, float emissivity, float distance,
                               float background, float* out, int* count);              // 34

    // ---- further operations
    // The picture as a BMP file image: what OutputDIB gives, after the
    // 14-byte file header it leaves out. 0, or what OutputDIB would return.
    int OutputBmpFile(unsigned char* block, int capacity, int* size, int flag);
    int SetInvert(int invert);
    int SetIsothermTemp(int on, float high, float low, std::uint32_t colour, int index);
    bool ExistSound();
    int GetSoundFile(const QString& path);
    bool ExistCCD();
    bool ExistRemark();
    int SaveRemarkFile(const QString& path);
    int MemSaveToVNI(const QString& path);
    // The holder's record inside the image object's record. Reading throws
    // platform::ArchiveError for a record the bytes cannot hold; a file the
    // library refuses leaves the holder empty with the copy kept.
    // writeBytes and readBytes (when given) write and read the file copy in
    // place of the plain bytes (undo snapshots share them).
    using BytesWriter = std::function<void(platform::ArchiveWriter&, const QByteArray&)>;
    using BytesReader = std::function<QByteArray(platform::ArchiveReader&, std::uint32_t length)>;
    void Serialize(platform::ArchiveWriter& ar, const BytesWriter& writeBytes = {}) const;
    void Serialize(platform::ArchiveReader& ar, const BytesReader& readBytes = {});
    // Takes bytes as the file copy (shared, not copied) and re-creates the
    // handle from them, as reading the record does.
    void AdoptCopy(QByteArray bytes);
    // Temperatures (Celsius) of the histogram max and min gray and of the two
    // range grays.
    int GetTempLimits(float* high, float* low, float* rangeHigh, float* rangeLow);

    // The file kind a path opens as: ".VNI" 0, ".VNV" 1, ".JPG" 2 (any case);
    // anything else, and a path shorter than 4 characters, 0.
    static int FileKindOfPath(const QString& path);
    // The colour-ruler file of palette index (NRULER<index + 1>.bmp of the
    // program folder, found without regard to case).
    QString ColorRulerPath(int index) const;

    // ---- state
    IfrHandle Handle() const { return handle(); }
    bool IsOpen() const { return handle() != nullptr; }
    const QByteArray& FileCopy() const { return m_fileCopy; }
    int FileLength() const { return static_cast<int>(m_fileCopy.size()); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int FrameWidth() const { return m_frameWidth; }
    int FrameHeight() const { return m_frameHeight; }
    int PhotoWidth() const { return m_photoWidth; }
    int PhotoHeight() const { return m_photoHeight; }
    int Scheme() const { return m_scheme; }
    std::uint16_t ModelVersion() const { return m_modelVersion; }
    void SetModelVersion(std::uint16_t v) { m_modelVersion = v; }
    int PaletteIndex() const { return palette_; }
    int Invert() const { return m_invert; }
    int HistogramMaxGray() const { return m_histMaxGray; }
    int HistogramMinGray() const { return m_histMinGray; }
    int RangeGrayHigh() const { return m_rangeGrayHigh; }
    int RangeGrayLow() const { return m_rangeGrayLow; }
    std::int32_t RangeLow100() const { return m_rangeLow100; }
    std::int32_t RangeHigh100() const { return m_rangeHigh100; }
    std::int32_t Ambient100() const { return m_ambient100; }
    std::uint8_t DeviceByte() const { return m_deviceByte; }
    std::uint8_t LastDeviceByte() const { return m_lastByte; }
    int Filter3x3() const { return m_filter3x3; }
    QString DeviceModel() const;
    QString Firmware() const;
    QString Serial() const;
    QString DateTime() const;

    // Scene parameters (Celsius, fraction of 1 for humidity, metres).
    float Emissivity() const { return m_emissivity; }
    float Distance() const { return m_distance; }
    float Ambient() const { return m_ambient; }
    float Humidity() const { return m_humidity; }
    float Atmosphere() const { return m_atmosphere; }
    void SetEmissivity(float e) { m_emissivity = e; }
    void SetDistance(float d) { m_distance = d; }
    void SetAmbient(float a) { m_ambient = a; }
    void SetHumidity(float h) { m_humidity = h; }
    void SetAtmosphere(float t) { m_atmosphere = t; }
    // The last range set (high, low).
    float SetRangeHigh() const { return m_rangeTemps[4]; }
    float SetRangeLow() const { return m_rangeTemps[5]; }
    // Points of the last line walked (empty before the first).
    const std::vector<IfrPoint>& LinePoints() const { return m_linePoints; }
    int LinePointCount() const { return m_linePointCount; }

private:
    // What Open and LoadBuffer share after the handle is made.
    void ReadOpenedFile(bool fromBuffer);
    void ReadSizes();
    // Takes the open handle's infrared data of length bytes as the file copy
    // (bytes: what the handle was opened from, if anything); false when it
    // cannot be held.
    bool TakeFileCopy(int length, const QByteArray& bytes);
    void ReadDeviceInfo();
    void ReadBoard();
    void ApplyPalette(int index);
    void ApplyScene(float emissivity, float distance);
    bool FilterEnabled() const;
    float Display(float celsius) const;
    int WalkLineInto(int x1, int y1, int x2, int y2);
    void ResetForOpen();
    void ReloadFromCopy();
    // visit(x, y, temperature in the display unit) for every pixel of
    // [xmin, xmax) x [ymin, ymax), column by column.
    template <class Visit>
    bool VisitArea(int xmin, int ymin, int xmax, int ymax, float emissivity, float distance, Visit&& visit);
    // The temperatures of the pixels of a rectangle that keep(span, x, y)
    // accepts, column by column.
    template <class Keep>
    int AreaTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float* out, int* count,
                  Keep&& keep);

    DocumentEnvironment* m_env;
    int m_invert = 0;
    char m_model[8] = {};
    char m_firmware[16] = {};
    char m_serial[16] = {};
    char m_dateTime[32] = {};
    std::uint8_t m_deviceByte = 0;
    std::int32_t m_rangeLow100 = -2000;
    std::int32_t m_rangeHigh100 = 100000;
    std::uint8_t m_lastByte = 0;
    std::array<int, 4> m_board{};
    QByteArray m_fileCopy;
    int m_histMinGray = 0;
    int m_histMaxGray = 0;
    int m_rangeGrayHigh = 0;
    int m_rangeGrayLow = 0;
    std::array<int, 4> m_sentinels{kSentinel, kSentinel, kSentinel, kSentinel};
    std::array<std::uint32_t, 2> m_colours{0xFFFF00, 0xFFFF0000};
    std::uint16_t m_modelVersion = 0;
    std::array<float, 6> m_rangeTemps{};
    int m_scheme = 0;
    int m_width = 0;
    int m_height = 0;
    int m_frameWidth = 320;
    int m_frameHeight = 240;
    int m_photoHeight = 0;
    int m_photoWidth = 0;
    std::int32_t m_ambient100 = 0;
    float m_atmosphere = 0;
    float m_ambient = 0;
    float m_emissivity = 0;
    float m_distance = 0;
    float m_humidity = 0;
    int m_filter3x3 = 0;
    std::vector<IfrPoint> m_linePoints;
    int m_linePointCount = 0;
};
