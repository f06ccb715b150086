// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace platform {

/// A text file opened for output; lines are bytes already in the file's character set.
class TextFile {
public:
    virtual ~TextFile() = default;
    /// Appends the line and CR LF; false when the bytes did not all reach the file.
    virtual bool writeLine(std::string_view bytes) = 0;
    /// Finishes the file; false when it is not complete on disk (then an earlier file of
    /// the same name is left as it was).
    virtual bool close() = 0;
    /// Why the last failed write or close failed, in words for the user.
    virtual std::string lastError() const { return {}; }
};

}  // namespace platform
