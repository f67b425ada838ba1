// Qt's own texts (the standard buttons of message boxes, the file, print
// and colour dialogs) in the programs' language, Chinese, whatever the
// desktop's language: both programs speak Chinese throughout.
#pragma once

#include <QString>

namespace platform {

// The catalogue of Qt's texts that both programs load.
inline constexpr char kQtTranslationCatalogue[] = "qtbase_zh_CN";

// Loads the catalogue from `folder` (Qt's translations folder when empty)
// and installs it in the running application, once per application: a
// second call finds the first one's translator and returns true. False when
// there is no application or the catalogue is missing or unreadable; the
// program then keeps Qt's English texts and starts as usual.
bool InstallQtTranslations(const QString& folder = {});

} // namespace platform
