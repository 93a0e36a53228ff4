#include "app/ui/DialogRegistry.h"
#include "app/ui/DocumentCommands.h"
#include "widgets/CommandIds.h"

#include <gtest/gtest.h>

namespace torvm::ui {
namespace {

// Every editor and output command that exists is reachable from its menu once the program has
// started.
TEST(DialogRegistry, EveryBuiltEditorIsPluggedIn)
{
    DocumentCommands commands([](CTorvmDoc&) {});
    const int built[] = {cmd::Teilnehmer,
                         cmd::Verein,
                         cmd::Klasse,
                         cmd::Plan,
                         cmd::Gruppe,
                         cmd::Ergebnis,
                         cmd::Wettbewerb,
                         cmd::Wertungsregeln,
                         cmd::SpeichernUnter,
                         cmd::KalenderExport,
                         cmd::AlsTabelleSpeichern,
                         cmd::WebVeroeffentlichen};
    for (int id : built)
        EXPECT_FALSE(commands.isAvailable(id)) << id;
    registerDialogs(commands);
    for (int id : built)
        EXPECT_TRUE(commands.isAvailable(id)) << id;
}

} // namespace
} // namespace torvm::ui
