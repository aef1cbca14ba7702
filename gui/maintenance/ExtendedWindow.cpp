#include "gui/maintenance/ExtendedWindow.h"

#include <QTabWidget>

namespace quelnet {

TfmExtended::TfmExtended(QWidget* parent)
    : MaintenanceWindow({"fmExtended", "Rozszerzenia", 681, 351, false, nullptr}, parent) {
    m_modulePages = new QTabWidget(this);
    m_modulePages->setObjectName("PageControl1");
    m_modulePages->setGeometry(8, 8, 665, 335);
    const char* captions[] = {"Klawiatura i wyświetlacz ( KoDPW2 )", "Klawiatura i wyświetlacz ( KoDPWY )",
                              "Ekspander radiowy ( KzTBLQ )"};
    int number = 1;
    for (const char* caption : captions) {
        auto* page = new QWidget(m_modulePages);
        page->setObjectName(QStringLiteral("TabSheet%1").arg(number++));
        m_modulePages->addTab(page, QString::fromUtf8(caption));
    }
    m_modulePages->setCurrentIndex(0);
}

} // namespace quelnet
