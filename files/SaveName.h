#pragma once
// What a name chosen in the save dialog asks for: a study file or an Excel workbook.

#include <string>

namespace uroflow {

enum class SaveTarget { StudyFile, Excel, Rejected };

// Shown when the chosen name has an extension that is neither ".txt" nor ".xlsx".
inline constexpr char kSaveRejectedCaption[] = "Сохранение";
inline constexpr char kSaveRejectedText[] = "Файл не сохранен: выберите тип файла .txt или .xlsx.";

// The characters from the last "." of the file-name part to its end, dot included;
// empty when the file name has no dot. Dots in folder names do not count.
std::string fileExtension(const std::string& path);

// ".txt" and ".xlsx" in any letter case; a name without extension is a study file
// (it gets ".txt", see withDefaultSuffix); anything else, also a bare ".", is rejected.
SaveTarget classifySaveName(const std::string& path);

// The name with ".txt" appended when it has no extension, otherwise unchanged.
std::string withDefaultSuffix(const std::string& path);

}  // namespace uroflow
