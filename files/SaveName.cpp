#include "files/SaveName.h"

#include <algorithm>

namespace uroflow {

std::string fileExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return path.substr(dot);
}

SaveTarget classifySaveName(const std::string& path) {
    // ASCII folding only: the locale's case rules must not turn other bytes into ".txt".
    std::string extension = fileExtension(path);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (extension.empty() || extension == ".txt") return SaveTarget::StudyFile;
    if (extension == ".xlsx") return SaveTarget::Excel;
    return SaveTarget::Rejected;
}

std::string withDefaultSuffix(const std::string& path) {
    return fileExtension(path).empty() ? path + ".txt" : path;
}

}  // namespace uroflow
