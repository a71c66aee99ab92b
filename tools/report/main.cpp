// uroflow-report: prints the studies of a study file as JSON or CSV.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "files/DayReport.h"

int main(int argc, char** argv) {
    // A closed pipe then fails the write, which is reported, instead of ending the
    // program silently.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--version" || args[0] == "-v")) {
        std::cout << "uroflow-report " UROFLOW_VERSION "\n";
        return std::cout.flush() ? 0 : 1;
    }
    return uroflow::runDayReport(args, std::cout, std::cerr);
}
