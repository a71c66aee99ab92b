#pragma once
// The study file: the 65,536 bytes of the device memory, raw, nothing else.

#include <string>

#include "study/Image.h"

namespace uroflow {

enum class FileAccess { Read, Write };

// The run-time file layer's text for a failed call with `error` (an errno value).
std::string fileErrorText(int error, FileAccess access);

// Clears the whole image (memory and spare tail) to 0, then reads the first 65,536
// bytes of the file into bytes 0..65535. The file is opened for reading only, so
// read-only files load. A shorter file throws RuntimeError("Read beyond end of
// file") with the bytes read so far left in the image; bytes past 65,536 are ignored.
void readStudyFile(const std::string& path, Image& device);

// Creates or replaces the file with bytes 0..65535 of the image. On failure the
// bytes written so far stay in the file and RuntimeError carries the text.
void writeStudyFile(const std::string& path, const Image& device);

}  // namespace uroflow
