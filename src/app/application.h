// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class QMainWindow;

// Builds the application's first window; kept apart from main() so tests can start it too.
std::unique_ptr<QMainWindow> createMainWindow();

// Runs the program until its last window closes; returns the exit code.
int runGlimbar(int argc, char **argv);
