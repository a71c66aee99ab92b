#pragma once
// Everything the main window reaches outside itself, handed over at construction.

#include <QString>

namespace uroflow {

class Dialogs;
class Clock;
class Beeper;
class Spreadsheet;

struct Platform {
    Dialogs& dialogs;
    Clock& clock;
    Beeper& beeper;
    Spreadsheet& spreadsheet;
    // Folder of rdp.ini: beside the executable.
    QString programDir;
    // Used when programDir cannot be written (an installed program).
    QString userConfigDir;
};

}  // namespace uroflow
