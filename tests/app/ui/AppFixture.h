#pragma once

#include "app/ui/Help.h"
#include "app/ui/TorvmApp.h"
#include "document/TorvmDoc.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace torvm::test {

// A program start in a settings location and working folder of the test's own (holding the
// template "torvm.tpl", as an installation does), with every message box and file dialog answered
// by the prompter and help pages "opened" into a list.
class AppFixture {
public:
    AppFixture();
    ~AppFixture();

    // A competition file made from the template, with title stored when not empty.
    QString competition(const QString& name, const QString& title = {});
    QString file(const QString& name) const { return m_dir.filePath(name); }

    // Starts the program with lastFile as the stored "FileName" (none stored when empty).
    ui::CTorvmApp& start(const QString& lastFile);
    ui::CTorvmApp& app() { return *m_app; }
    void quit();

    // The menu bar's titles, and the item texts of one of its menus ("-" for a separator).
    QStringList menuTitles() const;
    QStringList menuItems(const QString& title) const;

    ScopedSettings settings;
    ScriptedPrompter prompter;
    QStringList openedHelp;
    bool viewerAvailable = true;

private:
    QTemporaryDir m_dir;
    ui::HelpViewer m_previousViewer;
    QString m_previousDir;
    std::unique_ptr<ui::CTorvmApp> m_app;
};

} // namespace torvm::test
