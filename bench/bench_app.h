#pragma once
// The window benchmarks run inside a real wxApp, like the program.

// Brings the toolkit up, runs `run` and tears the toolkit down; `name` names the program in messages.
int RunInWindowApp(int argc, char** argv, const char* name, int (*run)());
