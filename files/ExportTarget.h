#pragma once
// Writing an export's finished file (a workbook, a PDF report): only ever over a regular
// file, never over the file it was made from, all or nothing, with Russian messages.

#include <cstdint>
#include <span>
#include <string>

namespace uroflow {

// What the user reads when an export cannot be saved because of system error `error`
// (an errno value): the reason and what to do. Names no temporary file.
std::string exportSaveErrorText(int error);

// Throws RuntimeError with a Russian message when `output` is the file `input` itself
// (the same file through a link or another name included), so writing it would replace
// the study the export was made from.
void refuseOutputOverInput(const std::string& output, const std::string& input);

// Creates or replaces the file `path` (through a link: the file it points to) with
// `bytes`. The bytes go into a file created exclusively beside it, which is then renamed
// over it, so the file is replaced by a complete copy or not at all; a replaced file
// keeps its permission bits, a new one gets those the user's umask allows. Anything but
// a regular file under that name (a folder, a device, a FIFO, a socket) is refused and
// left as it is, and so is a file the user may not write. Failures throw RuntimeError
// with a Russian text and leave nothing behind.
void replaceWithExport(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace uroflow
