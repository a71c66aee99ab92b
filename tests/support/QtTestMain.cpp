// main() of the window tests: one QApplication for all tests, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstring>

int main(int argc, char** argv) {
    // ctest lists the cases before running them: no application, so nothing to clean up.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
