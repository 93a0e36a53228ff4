#pragma once

#include <QObject>
#include <QString>

namespace torvm::ui {

// Tells the main window about a file a command has just written (a PDF, a text file, the start
// page of a web site), so it can show the path and offer to open it. The commands live below the
// main window and cannot reach it; the main window listens here instead.
class OutputNotifier : public QObject {
    Q_OBJECT
public:
    static OutputNotifier& instance();

signals:
    void written(const QString& path);
};

// Announces a file that was written completely.
void reportOutputWritten(const QString& path);

} // namespace torvm::ui
