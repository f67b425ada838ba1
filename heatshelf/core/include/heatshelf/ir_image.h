// The browser's image holder: one library handle, reused for every file the
// image view shows. It opens a file, reads its scene parameters, stored
// measurement records and device strings, and answers the view's questions
// about temperature range, level and span, palette, picture, photo and
// voice note. Every library call goes through an IfrCalls table (the real
// exports unless a test gives another).
#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "ir_holder_common.h"

namespace heatshelf {

// The analysis record the line and area measurements read and fill.
struct IRAnalysisItem {
    float emissivity = 0.95f;
    float distance = 1.0f;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // shape rectangle
    float maxTemp = 0.0f;
    float minTemp = 0.0f;
    float avgTemp = 0.0f;
    IfrPoint maxPos{0, 0};
    IfrPoint minPos{0, 0};
};

class CIrImage : public thermcore::IrHolderCommon {
public:
    // appDirectory: the program folder (palette files, field.ini).
    explicit CIrImage(QString appDirectory, const thermcore::IfrCalls& calls = thermcore::ExportedCalls());

    const QString& appDirectory() const { return m_appDirectory; }

    // Whether Open tells the program-wide frame callback record about the
    // window it was given (the default). A holder of another thread than
    // the window's (the thumbnail renderers) leaves that record alone: it is
    // the window's, and it is not guarded for other threads.
    void SetSharesFrameRecord(bool shares) { m_sharesFrameRecord = shares; }

    // 1 when the file is open, -1 when it is not (the path names nothing, or
    // the library refuses it: then no handle is held).
    int Open(const QString& path, void* window = nullptr);

    // The window (high, low: the temperatures of the histogram's gray
    // limits) and two limits one window-width outside it; 1.
    int GetTempRange(float* upper, float* lower, float* high, float* low);
    // Shows the frame with the window low..high (manual gain); the frame
    // shown stays the same; 1.
    int SetLevelSpan(float high, float low);
    int TempToGray(float t, int* gray);
    // Palette 0..9 (anything else is 0): the ruler file NRULER<index+1>.bmp
    // of the program folder. The library's result with a handle, else 1.
    int SetPalette(int index);
    // left, top, right, bottom of the board rectangle; 1.
    int GetBoardRect(int rect[4]);
    int SetInvert(int flag);
    // 1 when an open file carries a voice note, else 0.
    int HasSound();
    // Writes the voice note as a WAV file: the library's result.
    int ExtractSound(const QString& path);
    // Returns 0 and writes nothing.
    int SaveImageBmp(const QString& path, int depth);

    int GetPointTemp(int x, int y, float emissivity, float distance, float* t);
    // Temperatures along the line (start in, end out) into out, which holds
    // *count values: 1 and the number in *count, or 0 when the line has no
    // point, more than the line buffer holds or more than *count (then
    // *count is 0 for an empty line).
    int GetLineTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float* out,
                     int* count);
    int MeasureLine(IRAnalysisItem* item);
    // The pixels of the rectangle, end points excluded, column by column:
    // 1, or 0 with *count 0 when it has none or more than *count.
    int GetRectTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float* out,
                     int* count);
    int MeasureArea(IRAnalysisItem* item);
    // The pixels of the rectangle within the disc round its centre.
    int GetCircleTemps(int x1, int y1, int x2, int y2, float emissivity, float distance, float* out,
                       int* count);

    // What the last open read.
    int invert() const { return m_invert; }
    int imageWidth() const { return m_imageWidth; }
    int imageHeight() const { return m_imageHeight; }
    int displayWidth() const { return m_displayWidth; }
    int displayHeight() const { return m_displayHeight; }
    int photoWidth() const { return m_photoWidth; }
    int photoHeight() const { return m_photoHeight; }
    int scheme() const { return m_scheme; }
    int16_t fileVersion() const { return m_fileVersion; }
    int palette() const { return palette_; }
    float ambient() const { return m_ambient; }
    float emissivity() const { return m_emissivity; }
    float distance() const { return m_distance; }
    float humidity() const { return m_humidity; }
    int histogramMaxGray() const { return m_histMaxGray; }
    int histogramMinGray() const { return m_histMinGray; }
    int displayHighGray() const { return m_displayHighGray; }
    int displayLowGray() const { return m_displayLowGray; }
    float levelHigh() const { return m_levelHigh; }
    float levelLow() const { return m_levelLow; }
    const IfrPointInfo* points() const { return m_points; }
    const IfrRectInfo* rects() const { return m_rects; }
    const IfrLineInfo* lines() const { return m_lines; }
    // The device model as stored: at most 8 bytes, up to the first NUL.
    QByteArray deviceModel() const;
    const char* firmware() const { return m_firmware; }
    const char* serial() const { return m_serial; }
    const char* dateTime() const { return m_dateTime; }
    int rangeLow() const { return m_rangeLow; }
    int rangeHigh() const { return m_rangeHigh; }
    // 0xFF when the file gives no value.
    unsigned char lastDeviceValue() const { return static_cast<unsigned char>(m_lastDeviceValue); }

private:
    std::string rulerPath(int index) const;
    // The program folder's file of that name (ResolveProgramFile, which may
    // list the folder), remembered while the folder's entries stay as they
    // were: every open asks for three of them.
    QString programFile(const QString& name) const;
    // Sets the held emissivity, distance, ambient and humidity on the handle.
    void applyScene();
    int lineSamples(int x1, int y1, int x2, int y2);
    template <typename Visit>
    int64_t visitDisc(int x1, int y1, int x2, int y2, Visit&& visit);

    QString m_appDirectory;
    bool m_sharesFrameRecord = true;
    mutable QHash<QString, QString> m_programFiles;
    mutable qint64 m_programFolderStamp = -1;  // the folder's change time
    int m_invert = 0;
    char m_model[8]{};
    char m_firmware[16]{};
    char m_serial[16]{};
    char m_dateTime[32]{};
    char m_deviceByte = 0;
    int m_rangeLow = 0;
    int m_rangeHigh = 0;
    char m_lastDeviceValue = 0;
    int m_histMinGray = 0;
    int m_histMaxGray = 0;
    int m_displayHighGray = 0;
    int m_displayLowGray = 0;
    float m_upperLimit = 0.0f;
    float m_lowerLimit = 0.0f;
    float m_windowHigh = 0.0f;
    float m_windowLow = 0.0f;
    float m_levelHigh = 0.0f;
    float m_levelLow = 0.0f;
    int16_t m_fileVersion = 0;
    IfrPointInfo m_points[4]{};
    IfrRectInfo m_rects[3]{};
    IfrLineInfo m_lines[3]{};
    int m_scheme = 0;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    int m_displayWidth = 320;
    int m_displayHeight = 240;
    int m_photoWidth = 0;
    int m_photoHeight = 0;
    float m_ambient = 0.0f;
    float m_emissivity = 0.0f;
    float m_distance = 0.0f;
    float m_humidity = 0.0f;
    std::vector<IfrPoint> m_linePoints;
    int m_lineCount = 0;
};

// The file kind of a path by its last four characters, case ignored:
// ".VNV" 1, ".JPG" 2, anything else 0.
int FileKindOf(const QString& path);

}  // namespace heatshelf
