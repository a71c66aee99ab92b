#pragma once
// `uroflow --day-report OUT.pdf [--night HH:MM-HH:MM] FILE`: the day report of a study
// file written without a window, for batch work.

namespace uroflow {

// True when the command line asks for the day report.
bool isDayReportCommand(int argc, char** argv);

// Runs offscreen and returns the exit code: 0 written, 1 the study file could not be
// read or the report not written (the reason on stderr), 2 usage error.
int runDayReportCommand(int argc, char** argv);

}  // namespace uroflow
