#pragma once
// The command line of uroflow-archive: import, list, export and export-all over the
// embedded archive or the server given with --db.

#include <QStringList>
#include <ostream>

namespace uroflow {

// Returns the exit code: 0 success, 1 a file or the archive failed, 2 usage error.
// Needs a QCoreApplication (Qt SQL loads its drivers through it).
int runArchiveCommand(const QStringList& args, std::ostream& out, std::ostream& err);

}  // namespace uroflow
