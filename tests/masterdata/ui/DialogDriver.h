#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace torvm::test {

// Child widget of a dialog by object name; a missing one fails the test at once.
template <typename W> W* child(QWidget* parent, const char* name)
{
    W* widget = parent->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << "no widget " << name;
    return widget;
}

inline void click(QWidget* parent, const char* button)
{
    if (auto* b = child<QPushButton>(parent, button))
        QTest::mouseClick(b, Qt::LeftButton);
}

// Acts on the next modal dialog of type D once its exec() has shown it; the action must close it.
// The caller then starts whatever opens the dialog.
template <typename D> void whenShown(std::function<void(D&)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto attempts = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, attempts, action] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        const bool shown = dialog && dialog->isVisible();
        if (!shown && ++*attempts <= 300)
            return;
        timer->stop();
        timer->deleteLater();
        if (shown)
            action(*dialog);
        else
            ADD_FAILURE() << "dialog did not appear";
    });
    timer->start();
}

// Shows a dialog that a test drives directly (without exec) with its window active, so that focus
// moves as it does for a user.
inline void showActive(QWidget* dialog)
{
    dialog->show();
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
}

} // namespace torvm::test
