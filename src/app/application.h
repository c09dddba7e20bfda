// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the program until its last main window closes; returns the exit code. A launch while
// another instance runs hands its arguments to that instance and ends.
int runGlimbar(int argc, char **argv);
