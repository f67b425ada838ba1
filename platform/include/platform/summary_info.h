// The summary information a report carries (title, author, revision, times,
// counts, ...), kept in the summary information stream of its compound file.
//
// A new summary holds, in this order: code page (I2, 936), title, subject,
// author, keywords, comments, template, last author (LPSTR, empty), revision
// ("0"), editing time, last printed, last saved, created (FILETIME, 0), page,
// word and character counts (I4, 0), application name (empty) and the
// security level (I4, 0, stored under 0x80000002). Strings are GBK.
//
// Times are file times: 100 ns units since 1601-01-01 UTC; the editing time
// is a duration in the same units.
#pragma once

#include "platform/storage.h"
#include "platform/summary_set.h"

#include <QString>

#include <cstdint>

namespace platform {

// Property identifiers of the summary section.
namespace pid {
inline constexpr std::uint32_t Dictionary = 0;
inline constexpr std::uint32_t CodePage = 1;
inline constexpr std::uint32_t Title = 2;
inline constexpr std::uint32_t Subject = 3;
inline constexpr std::uint32_t Author = 4;
inline constexpr std::uint32_t Keywords = 5;
inline constexpr std::uint32_t Comments = 6;
inline constexpr std::uint32_t Template = 7;
inline constexpr std::uint32_t LastAuthor = 8;
inline constexpr std::uint32_t RevNumber = 9;
inline constexpr std::uint32_t EditTime = 10;
inline constexpr std::uint32_t LastPrinted = 11;
inline constexpr std::uint32_t Created = 12;
inline constexpr std::uint32_t LastSaved = 13;
inline constexpr std::uint32_t PageCount = 14;
inline constexpr std::uint32_t WordCount = 15;
inline constexpr std::uint32_t CharCount = 16;
inline constexpr std::uint32_t AppName = 18;
inline constexpr std::uint32_t Security = 0x80000002;
} // namespace pid

// The current time as a file time.
std::uint64_t currentFileTime();

class CSummaryInfo {
public:
    CSummaryInfo();
    CSummaryInfo(const CSummaryInfo&) = delete;
    CSummaryInfo& operator=(const CSummaryInfo&) = delete;
    CSummaryInfo(CSummaryInfo&&) = default;
    CSummaryInfo& operator=(CSummaryInfo&&) = default;

    // Strings as stored (decoded from GBK).
    QString GetTitle() const { return GetString(pid::Title); }
    QString GetSubject() const { return GetString(pid::Subject); }
    QString GetAuthor() const { return GetString(pid::Author); }
    QString GetKeywords() const { return GetString(pid::Keywords); }
    QString GetComments() const { return GetString(pid::Comments); }
    QString GetTemplate() const { return GetString(pid::Template); }
    QString GetLastAuthor() const { return GetString(pid::LastAuthor); }
    QString GetRevNum() const { return GetString(pid::RevNumber); }
    QString GetAppName() const { return GetString(pid::AppName); }

    bool SetTitle(const QString& text) { return SetString(pid::Title, text); }
    bool SetSubject(const QString& text) { return SetString(pid::Subject, text); }
    bool SetAuthor(const QString& text) { return SetString(pid::Author, text); }
    bool SetKeywords(const QString& text) { return SetString(pid::Keywords, text); }
    bool SetComments(const QString& text) { return SetString(pid::Comments, text); }
    bool SetTemplate(const QString& text) { return SetString(pid::Template, text); }
    bool SetLastAuthor(const QString& text) { return SetString(pid::LastAuthor, text); }
    bool SetRevNum(const QString& text) { return SetString(pid::RevNumber, text); }
    bool SetAppName(const QString& text) { return SetString(pid::AppName, text); }

    // Counts and the security level as "%lu".
    QString GetNumPages() const { return GetCountText(pid::PageCount); }
    QString GetNumWords() const { return GetCountText(pid::WordCount); }
    QString GetNumChars() const { return GetCountText(pid::CharCount); }
    QString GetSecurity() const { return GetCountText(pid::Security); }
    bool SetNumPages(std::uint32_t n) { return SetCount(pid::PageCount, n); }
    bool SetNumWords(std::uint32_t n) { return SetCount(pid::WordCount, n); }
    bool SetNumChars(std::uint32_t n) { return SetCount(pid::CharCount, n); }
    bool SetSecurity(std::uint32_t n) { return SetCount(pid::Security, n); }

    int GetCodePage() const;

    // The editing time as whole minutes, "%lu min".
    QString GetEditTime() const;
    // Times as the user's locale shows a date and time; empty when never set.
    QString GetLastPrintDate() const { return GetTimeText(pid::LastPrinted); }
    QString GetCreateDate() const { return GetTimeText(pid::Created); }
    QString GetLastSaveDate() const { return GetTimeText(pid::LastSaved); }

    // The raw file time of a FILETIME property (0 when missing).
    std::uint64_t GetFileTime(std::uint32_t id) const;

    void RecordPrintDate(std::uint64_t now = currentFileTime()) { SetFileTime(pid::LastPrinted, now); }
    void RecordCreateDate(std::uint64_t now = currentFileTime()) { SetFileTime(pid::Created, now); }
    void RecordSaveDate(std::uint64_t now = currentFileTime()) { SetFileTime(pid::LastSaved, now); }

    // Starts the edit clock (not stored).
    void StartEditClock(std::uint64_t now = currentFileTime()) { m_editClockStart = now; }
    // Adds the time since the edit clock started to the editing time and
    // restarts the clock.
    void AddCountToEditTime(std::uint64_t now = currentFileTime());
    // Revision = stored revision read as an unsigned number, plus 1.
    void IncrRevNum();

    // Writes the summary stream into the root storage, replacing one there.
    bool WriteToStorage(Storage& root);
    // Reads the summary stream of the root storage. On failure (no stream, or
    // a damaged one) the summary is unchanged and false is returned.
    bool ReadFromStorage(Storage& root);

    CSummarySet& GetPropertySet() { return m_set; }
    const CSummarySection& GetSection() const { return *m_section; }

private:
    static void FillInitialValues(CSummarySection& section);

    QString GetString(std::uint32_t id) const;
    bool SetString(std::uint32_t id, const QString& text);
    QString GetCountText(std::uint32_t id) const;
    std::uint32_t GetCount(std::uint32_t id) const;
    bool SetCount(std::uint32_t id, std::uint32_t n);
    QString GetTimeText(std::uint32_t id) const;
    void SetFileTime(std::uint32_t id, std::uint64_t value);

    CSummarySet m_set;
    CSummarySection* m_section = nullptr;
    std::uint64_t m_editClockStart = 0;
};

} // namespace platform
