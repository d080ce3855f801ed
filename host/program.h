// The translated program's start-up: module globals, the application object, and the runtime
// start-up that runs them in order.
#pragma once

// ---------------------------------------------------------------------------------------------
// Globals

extern int argc;
extern const char** argv;

// ---------------------------------------------------------------------------------------------
// Functions

// Sets every module global of the framework and the game to its start value.
void nxInit();
// Creates the application object (which registers itself and its delegate with the host).
int nxMain();
// Stores the arguments, installs the crash handlers, starts the collector, runs nxInit, marks
// the roots and creates the application.
int nx_std_main(int argc, const char** argv);
