// uroflow-archive: keeps study files in the patient archive, lists the kept days and
// writes them back out as study files.

#include <QCoreApplication>
#include <csignal>
#include <iostream>

#include "tools/archive/ArchiveCommand.h"

int main(int argc, char** argv) {
    // A closed pipe then fails the write, which is reported, instead of ending silently.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    return uroflow::runArchiveCommand(QCoreApplication::arguments().mid(1), std::cout, std::cerr);
}
