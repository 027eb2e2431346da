#pragma once

#include "export_flow.h"

// The options dialog of the mesh and surface formats, in French: a closed
// solid or not, the base's thickness, and the triangle budget (meshes) or the
// tolerance (surface). Values are remembered until the program ends; the
// base follows a tenth of the maximum depth until the user edits it.
class QtFormatOptionsDialog : public FormatOptionsDialog {
public:
    std::optional<FormatOptions> ask(const FormatEntry& format, const ExportJob& job) override;

private:
    struct Remembered {
        bool set = false;
        FormatOptions options;
        bool baseEdited = false;
    };
    Remembered mesh_;
    Remembered surface_;
};
