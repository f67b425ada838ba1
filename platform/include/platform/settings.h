// Per-user settings of one program, kept where the original kept its registry
// values under the application key: one INI file per program,
// <config folder>/kestrelworksA/<Program>.conf, written through QSettings.
//
// Values are addressed by the original's section and entry names ("SavePath"
// / "SavePath"); a section is a group, an entry a key in it. Every write is
// saved at once, as a registry write was, except while a SaveBatch holds the
// saves back.
#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <memory>

namespace platform {

// The vendor folder below the user's config folder.
inline constexpr char kVendorFolder[] = "kestrelworksA";

class Settings {
public:
    // Settings of program (e.g. "Pagewright") under the user's config folder
    // ($XDG_CONFIG_HOME or ~/.config).
    explicit Settings(const QString& program);
    // The same below another config folder (tests, portable set-ups).
    Settings(const QString& program, const QString& configFolder);
    ~Settings();

    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    QString filePath() const;

    bool contains(const QString& section, const QString& entry) const;

    // A missing entry, or one that does not hold an integer, gives the default.
    int readInt(const QString& section, const QString& entry, int defaultValue) const;
    QString readString(const QString& section, const QString& entry, const QString& defaultValue = {}) const;
    QByteArray readBinary(const QString& section, const QString& entry) const;

    // False when the settings file cannot be written.
    bool writeInt(const QString& section, const QString& entry, int value);
    bool writeString(const QString& section, const QString& entry, const QString& value);
    bool writeBinary(const QString& section, const QString& entry, const QByteArray& value);

    // Deletes one section with everything in it.
    bool deleteSection(const QString& section);

    // Deletes the program's whole key: every section and entry of this
    // program, and nothing of any other program of the vendor. True when the
    // key is gone afterwards.
    bool deleteProgramKey();

    // While a batch lives, writes are kept in memory and saved once when the
    // last batch ends: a long operation (the images of a report, each
    // recording the picture path) costs one save instead of one per write.
    // Deletions are saved at once.
    class SaveBatch {
    public:
        explicit SaveBatch(Settings& settings);
        ~SaveBatch();
        SaveBatch(const SaveBatch&) = delete;
        SaveBatch& operator=(const SaveBatch&) = delete;

    private:
        Settings& m_settings;
    };

private:
    static QString key(const QString& section, const QString& entry);
    bool sync();
    // sync(), or only noted while a batch holds the saves back.
    bool saveWrite();
    // Sets and saves a value unless the settings hold it already.
    bool writeValue(const QString& section, const QString& entry, const QVariant& value);

    std::unique_ptr<QSettings> m_settings;
    int m_batches = 0;
    bool m_savePending = false;
};

} // namespace platform
