#pragma once
// The window's two file dialogs, and the form of a chosen path the file layer takes.

#include <QFile>
#include <QString>
#include <string>

#include "app/Dialogs.h"

namespace uroflow {

inline const FileDialogSpec kSaveDialog1{
    QStringLiteral("SaveDialog1"), QStringLiteral("Текст Юникод (*.txt);;Книга Exel (*.xlsx)"),
    QStringLiteral("txt")};
// The same dialog with the workbook type chosen (Ctrl+E).
inline const FileDialogSpec kExcelDialog{kSaveDialog1.id, kSaveDialog1.filter,
                                         QStringLiteral("xlsx"), QString(),
                                         QStringLiteral("Книга Exel (*.xlsx)")};
// Study files, for a load and for the archive comparison.
inline const FileDialogSpec kOpenDialog1{QStringLiteral("OpenDialog1"),
                                         QStringLiteral("текстовые(*.txt)"), QString()};

inline std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace uroflow
