#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

namespace {
// The translator's name among the application's children: how a later call
// knows the catalogue is in already.
constexpr char kTranslatorName[] = "platform-qt-translations";
} // namespace

bool InstallQtTranslations(const QString& folder)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    if (app->findChild<QTranslator*>(QLatin1String(kTranslatorName), Qt::FindDirectChildrenOnly) != nullptr)
        return true;
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // Owned by the application, so it lives exactly as long.
    auto* translator = new QTranslator(app);
    if (!translator->load(QLatin1String(kQtTranslationCatalogue), from) || translator->isEmpty()) {
        delete translator;
        return false;
    }
    translator->setObjectName(QLatin1String(kTranslatorName));
    if (!QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace platform
