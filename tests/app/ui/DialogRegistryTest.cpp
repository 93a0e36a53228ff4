#include "app/ui/DialogRegistry.h"
#include "app/ui/CommandIds.h"
#include "app/ui/DocumentCommands.h"

#include <gtest/gtest.h>

namespace torvm::ui {
namespace {

// Every editor that exists is reachable from its menu command once the program has started.
TEST(DialogRegistry, EveryBuiltEditorIsPluggedIn)
{
    DocumentCommands commands([](CTorvmDoc&) {});
    for (int id : {cmd::Teilnehmer, cmd::Verein, cmd::Klasse, cmd::Plan, cmd::Gruppe, cmd::Ergebnis, cmd::Wettbewerb})
        EXPECT_FALSE(commands.isAvailable(id)) << id;
    registerDialogs(commands);
    for (int id : {cmd::Teilnehmer, cmd::Verein, cmd::Klasse, cmd::Plan, cmd::Gruppe, cmd::Ergebnis, cmd::Wettbewerb})
        EXPECT_TRUE(commands.isAvailable(id)) << id;
}

} // namespace
} // namespace torvm::ui
