// uroflow-report: prints the studies of a study file as JSON or CSV.

#include <iostream>
#include <string>
#include <vector>

#include "files/DayReport.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return uroflow::runDayReport(args, std::cout, std::cerr);
}
