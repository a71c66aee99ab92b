#pragma once
// The window program's command line, parsed with QCommandLineParser; file names are kept
// as the bytes the system gave, so any name the file system holds can be opened or written.

#include <QString>
#include <string>

#include "files/NightWindow.h"

namespace uroflow {

struct CommandLine {
    enum class Action { OpenWindow, DayReport, ShowHelp, ShowVersion, Refuse };
    Action action = Action::OpenWindow;
    bool demo = false;       // the simulated uroflowmeter in place of the reader
    std::string studyFile;   // the day to open or report on; empty: none
    std::string reportFile;  // the PDF of --day-report
    NightWindow night;       // the night of the day report's summary
    std::string error;       // why the command line was refused, one line, no newline
};

CommandLine parseCommandLine(int argc, char** argv);

// The short forms, for the refusal; the full text of --help.
extern const char kCommandLineUsage[];
QString commandLineHelp();

}  // namespace uroflow
