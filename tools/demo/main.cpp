// uroflow-demo-day: writes the demo day, or another of the sample days, as a study file.

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "files/StudyFile.h"
#include "study/RuntimeError.h"
#include "tools/demo/DemoDay.h"

namespace {

constexpr char kUsage[] =
    "usage: uroflow-demo-day [--day NAME] OUT\n"
    "       uroflow-demo-day --list\n"
    "Writes a synthetic day as a 65,536-byte study file: the demo day of seven voidings,\n"
    "or the sample day NAME (--list shows them).\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::vector<uroflow::SampleDay> days = uroflow::sampleDays();
    if (args == std::vector<std::string>{"--list"}) {
        for (const uroflow::SampleDay& day : days)
            std::cout << day.name << "\t" << day.description << "\n";
        return std::cout.flush() ? 0 : 1;
    }
    std::string name = days.front().name;
    if (args.size() == 3 && args[0] == "--day") {
        name = args[1];
    } else if (args.size() != 1) {
        return usage();
    }
    const std::string& out = args.back();
    if (out.starts_with("-")) return usage();

    for (const uroflow::SampleDay& day : days) {
        if (day.name != name) continue;
        const auto image =
            std::make_unique<uroflow::Image>(uroflow::buildDemoDay(day.plan, day.end));
        try {
            uroflow::writeStudyFile(out, *image);
        } catch (const uroflow::RuntimeError& error) {
            std::cerr << "uroflow-demo-day: " << out << ": " << error.what() << "\n";
            return 1;
        }
        return 0;
    }
    std::cerr << "uroflow-demo-day: no sample day named " << name << " (see --list)\n";
    return 2;
}
