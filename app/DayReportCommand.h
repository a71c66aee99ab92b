#pragma once
// `uroflow --day-report OUT.pdf [--night HH:MM-HH:MM] FILE`: the day report of a study
// file written without a window, for batch work.

#include <string>

#include "files/NightWindow.h"

namespace uroflow {

struct DayReportRequest {
    std::string out;   // the PDF's name, as the system's bytes
    std::string file;  // the study file's name, as the system's bytes
    NightWindow night;
};

// Runs offscreen and returns the exit code: 0 written, 1 the study file could not be
// read or the report not written (the reason on stderr).
int runDayReportCommand(const DayReportRequest& request, int& argc, char** argv);

}  // namespace uroflow
