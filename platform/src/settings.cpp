#include "platform/settings.h"

#include <QFile>
#include <QStandardPaths>

namespace platform {
namespace {

QString settingsPath(const QString& program, const QString& configFolder)
{
    return configFolder + QLatin1Char('/') + QLatin1String(kVendorFolder) + QLatin1Char('/') + program +
           QLatin1String(".conf");
}

} // namespace

Settings::Settings(const QString& program)
    : Settings(program, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
{
}

Settings::Settings(const QString& program, const QString& configFolder)
    : m_settings(std::make_unique<QSettings>(settingsPath(program, configFolder), QSettings::IniFormat))
{
}

Settings::~Settings() = default;

QString Settings::filePath() const { return m_settings->fileName(); }

QString Settings::key(const QString& section, const QString& entry)
{
    return section + QLatin1Char('/') + entry;
}

bool Settings::sync()
{
    m_savePending = false;
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

bool Settings::saveWrite()
{
    if (m_batches == 0)
        return sync();
    m_savePending = true;
    return m_settings->status() == QSettings::NoError;
}

Settings::SaveBatch::SaveBatch(Settings& settings)
    : m_settings(settings)
{
    ++m_settings.m_batches;
}

Settings::SaveBatch::~SaveBatch()
{
    if (--m_settings.m_batches == 0 && m_settings.m_savePending)
        m_settings.sync();
}

bool Settings::contains(const QString& section, const QString& entry) const
{
    return m_settings->contains(key(section, entry));
}

int Settings::readInt(const QString& section, const QString& entry, int defaultValue) const
{
    const QVariant v = m_settings->value(key(section, entry));
    bool ok = false;
    const int value = v.toInt(&ok);
    return ok ? value : defaultValue;
}

QString Settings::readString(const QString& section, const QString& entry, const QString& defaultValue) const
{
    const QVariant v = m_settings->value(key(section, entry));
    return v.isValid() ? v.toString() : defaultValue;
}

QByteArray Settings::readBinary(const QString& section, const QString& entry) const
{
    return m_settings->value(key(section, entry)).toByteArray();
}

bool Settings::writeValue(const QString& section, const QString& entry, const QVariant& value)
{
    // A value the file already holds is not written again: the file is
    // rewritten (and synced to the disk) only for a change. Values read
    // back from the file are text, so a number compares as its text.
    const QString k = key(section, entry);
    const QVariant old = m_settings->value(k);
    const bool same = old.isValid() && (old.metaType() == value.metaType()
                                            ? old == value
                                            : value.typeId() == QMetaType::Int && old.typeId() == QMetaType::QString &&
                                                  old.toString() == QString::number(value.toInt()));
    if (same)
        return m_settings->status() == QSettings::NoError;
    m_settings->setValue(k, value);
    return saveWrite();
}

bool Settings::writeInt(const QString& section, const QString& entry, int value)
{
    return writeValue(section, entry, value);
}

bool Settings::writeString(const QString& section, const QString& entry, const QString& value)
{
    return writeValue(section, entry, value);
}

bool Settings::writeBinary(const QString& section, const QString& entry, const QByteArray& value)
{
    return writeValue(section, entry, value);
}

bool Settings::deleteSection(const QString& section)
{
    m_settings->remove(section);
    return sync();
}

bool Settings::deleteProgramKey()
{
    m_settings->clear();
    if (!sync())
        return false;
    const QString path = filePath();
    return !QFile::exists(path) || QFile::remove(path);
}

} // namespace platform
