// Application-wide notifications that windows subscribe to.
#pragma once

#include <QObject>

class CAppSignals : public QObject {
    Q_OBJECT
signals:
    // The printer changed (the registered "VN_ReporterPrinterChanged"): the
    // format bar lists the fonts again. Nothing in the program raises it.
    void reporterPrinterChanged();
};
