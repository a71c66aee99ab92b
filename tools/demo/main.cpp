// uroflow-demo-day: writes the demo day as a study file.

#include <iostream>
#include <memory>
#include <string>

#include "files/StudyFile.h"
#include "study/RuntimeError.h"
#include "tools/demo/DemoDay.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]).starts_with("-")) {
        std::cerr << "usage: uroflow-demo-day OUT\n"
                     "Writes a synthetic day of seven voidings as a 65,536-byte study file.\n";
        return 2;
    }
    const auto image = std::make_unique<uroflow::Image>(uroflow::buildDemoDay());
    try {
        uroflow::writeStudyFile(argv[1], *image);
    } catch (const uroflow::RuntimeError& error) {
        std::cerr << "uroflow-demo-day: " << argv[1] << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
