#pragma once

#include <optional>
#include <string>

// The Save dialog of the exports. `filter` is in the "description|pattern|"
// form; the answer is the path exactly as chosen, or nothing when cancelled.
// With an `extension` (no dot), the dialog proposes the last name with that
// extension and adds it to a name typed without one.
class SaveDialog {
public:
    virtual ~SaveDialog() = default;
    virtual std::optional<std::string> askSavePath(const std::string& filter, const std::string& extension) = 0;
};

// The Open dialog of the image import: lists every file, starts from the
// last chosen path; nothing when cancelled.
class OpenDialog {
public:
    virtual ~OpenDialog() = default;
    virtual std::optional<std::string> askOpenPath() = 0;
};
