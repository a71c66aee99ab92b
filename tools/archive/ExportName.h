#pragma once
// The file name export-all gives a kept day: the patient and the date.

#include <QSet>
#include <QString>

#include "archive/Archive.h"

namespace uroflow {

// "<name> <date>.txt", or "<name> <date> (<id>).txt" when `taken` already holds that name;
// characters a file name cannot hold become "_", an empty name reads "без имени".
QString exportFileName(const KeptDay& day, const QSet<QString>& taken);

}  // namespace uroflow
