#include "partinfo/SystemPrinters.h"

#include <QPrinterInfo>
#include <QStringList>

namespace vantreel {

PrinterList SystemPrinters() {
    PrinterList printers;
    for (const QString& name : QPrinterInfo::availablePrinterNames()) {
        printers.Names.push_back(name.toStdString());
    }
    printers.Current = QPrinterInfo::defaultPrinterName().toStdString();
    return printers;
}

}  // namespace vantreel
