// Compiled once against each layer's library (TORVM_LAYER is its rank, TORVM_LAYER_CLI marks the
// command-line library): the headers of the layer and of those below must be visible, none above.
// A library that could see upwards would let an include against the direction build.

#if !__has_include("db/Tables.h")
#error "every layer sees the table access layer"
#endif
#if __has_include("document/TorvmDoc.h") != (TORVM_LAYER >= 2)
#error "the document is visible exactly from its own layer up"
#endif
#if __has_include("output/Standings.h") != (TORVM_LAYER >= 3)
#error "the subsystem core is visible exactly from its own layer up"
#endif
#if __has_include("widgets/Prompt.h") != (TORVM_LAYER >= 4 && !defined(TORVM_LAYER_CLI))
#error "the shared widgets are visible exactly from their own layer up, never to the command line"
#endif
#if __has_include("fixtures/ui/GruppeDlg.h") != (TORVM_LAYER >= 5 && !defined(TORVM_LAYER_CLI))
#error "the subsystem widgets are visible exactly from their own layer up"
#endif
#if __has_include("app/ui/MainFrame.h") != (TORVM_LAYER >= 6 && !defined(TORVM_LAYER_CLI))
#error "the shell is visible to itself alone"
#endif
#if __has_include("cli/Cli.h") != defined(TORVM_LAYER_CLI)
#error "the command line is visible to itself alone"
#endif
