#pragma once

// The start-up's steps on the clock, for the start-up benchmark's split of where the time goes.
// When the environment's QARTO_STARTUP_STEPS names a file, each step appends a line to it: the step's
// name and the steady clock in nanoseconds (the clock a launching process reads too). Otherwise a
// step costs one look at a flag.
void NoteStartupStep(const char* step);
