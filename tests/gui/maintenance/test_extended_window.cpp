// The extensions window: three captioned empty pages, the first one active.
#include "gui/maintenance/ExtendedWindow.h"

#include <QApplication>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace quelnet;

TEST(ExtendedWindow, ThreeEmptyPagesFirstActive) {
    TfmExtended window;
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), "Rozszerzenia");
    EXPECT_EQ(window.size(), QSize(681, 351));
    auto* tabs = window.findChild<QTabWidget*>("PageControl1");
    ASSERT_NE(tabs, nullptr);
    EXPECT_TRUE(window.rect().contains(tabs->geometry()));
    const char* captions[] = {"Klawiatura i wyświetlacz ( KoDPW2 )", "Klawiatura i wyświetlacz ( KoDPWY )",
                              "Ekspander radiowy ( KzTBLQ )"};
    ASSERT_EQ(tabs->count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tabs->tabText(i), QString::fromUtf8(captions[i]));
        EXPECT_EQ(tabs->widget(i)->objectName(), QString("TabSheet%1").arg(i + 1));
        EXPECT_TRUE(tabs->widget(i)->children().isEmpty());
    }
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(tabs->widget(0)->isVisible());
}
