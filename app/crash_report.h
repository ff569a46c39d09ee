#pragma once
// What the program leaves behind when it crashes: a compressed report the user can send us.

// Collects what the toolkit knows about the current fatal exception and a time stamp into an archive in
// the report's own folder, tells the user where it is and opens that folder. The folder and its files stay
// after the program has ended. Runs inside the fatal-signal handler.
void WriteCrashReport();
