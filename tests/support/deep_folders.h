#pragma once
// Nested folders for the tests of the longest paths.
#include <algorithm>
#include <string>
#include <vector>

// The folders to make, outermost first, so that the last is exactly length
// characters long, base included: each below base is at most 100 characters,
// a legal name everywhere. base must be at least two characters shorter than
// length.
inline std::vector<std::string> deepFolders(std::string folder, size_t length, char separator) {
    std::vector<std::string> folders;
    for (char letter = 'p'; folder.size() < length; ++letter) {
        const size_t left = length - folder.size();  // its separator included
        size_t part = std::min<size_t>(left - 1, 100);
        if (left - 1 - part == 1)
            --part;  // a separator alone could not take the last character
        folder += separator;
        folder.append(part, letter);
        folders.push_back(folder);
    }
    return folders;
}
