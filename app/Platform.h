#pragma once
// Everything the main window reaches outside itself, handed over at construction.

#include <QString>

namespace uroflow {

class Dialogs;
class Clock;
class Beeper;
class HidLayer;
class Printer;
class Spreadsheet;

struct Platform {
    Dialogs& dialogs;
    Clock& clock;
    Beeper& beeper;
    // Folder of rdp.ini: beside the executable.
    QString programDir;
    // Used when programDir cannot be written (an installed program).
    QString userConfigDir;
    // The USB HID devices: the reader link.
    HidLayer& hid;
    // The current printer.
    Printer& printer;
    // The spreadsheet application the Excel export drives.
    Spreadsheet& spreadsheet;
    // The user's data folder: the embedded patient archive lives here.
    QString dataDir;
};

}  // namespace uroflow
