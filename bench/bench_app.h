#pragma once
// The window benchmarks run inside a real wxApp, like the program.

// Brings the toolkit up, runs `run` and tears the toolkit down; `name` names the program in messages.
int RunInWindowApp(int argc, char** argv, const char* name, int (*run)());

#include <vector>

// Process CPU time in milliseconds: meaningful on a machine shared with other work.
double CpuMs();

// Runs the event loop for about `ms` milliseconds.
void Pump(int ms);

double Median(std::vector<double> values);

#include <wx/image.h>

// A photograph-like picture: smooth areas and noise.
wxImage MakePicture(int width, int height, int seed);

class MyFrame;

// The main window as the program builds it from the installation beside the benchmark, shown; null,
// with the reason on stderr, when it cannot be built.
MyFrame* OpenMainWindow(const char* name);
