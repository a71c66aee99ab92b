#pragma once
// The study file: the 65,536 bytes of the device memory, raw, nothing else.

#include <cstdint>
#include <span>
#include <string>

#include "study/Image.h"

namespace uroflow {

enum class FileAccess { Read, Write };

// The run-time file layer's text for a failed call with `error` (an errno value); an
// error without a text of its own reads "I/O error 40: Too many levels of symbolic links".
std::string fileErrorText(int error, FileAccess access);

// Clears the whole image (memory and spare tail) to 0, then reads the first 65,536
// bytes of the file into bytes 0..65535. The file is opened for reading only, so
// read-only files load. Anything but a regular file (links followed: a FIFO, a socket,
// a device) is refused at once with "File access denied". A shorter file throws
// RuntimeError("Read beyond end of file") with the bytes read so far left in the image;
// bytes past 65,536 are ignored.
void readStudyFile(const std::string& path, Image& device);

// Creates or replaces the file with bytes 0..65535 of the image; RuntimeError carries
// the text of a failure. An existing day is never lost: through a symbolic link the real
// file is replaced; it is replaced by a complete copy written beside it with its owner and
// permission bits, or, where none can be made, overwritten in place without being
// truncated first. A FIFO or a socket is refused with "File access denied".
void writeStudyFile(const std::string& path, const Image& device);

// Creates or replaces the file with `bytes`, as a study file is written (the same
// guarantees and texts); for the other whole files the program writes, such as the
// day report. `path` is the name's bytes as the system takes them.
void writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace uroflow
