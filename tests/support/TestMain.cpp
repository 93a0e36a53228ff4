// Test programs run with a QApplication on the offscreen platform, so widget tests and painter
// tests need nothing else; CTest sets QT_QPA_PLATFORM as well.
#include "app/ui/GermanUi.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmarik"));
    QApplication::setApplicationName(QStringLiteral("torvm"));
    // Widget tests see what users see: Qt's texts in German.
    torvm::ui::installGermanUi(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
