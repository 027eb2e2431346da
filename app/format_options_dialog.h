#pragma once

#include "export_flow.h"

#include <map>
#include <set>
#include <string>

// The options dialog of the formats that have options, in French, made from
// the format's own list of options: a check box for a flag, a list for a
// choice, a number field for the others, which takes the decimal point and
// the decimal comma alike and frames a text it cannot take in red, OK
// disabled, rather than change it; the fields of one placement only are
// shown while it is chosen. Under the fields, the format's summary of the
// options as typed. Values are remembered until the program ends, for each
// list of options (STL and OBJ share theirs); a value that follows its
// default (the base, a tenth of the maximum depth) does so until edited.
class QtFormatOptionsDialog : public FormatOptionsDialog {
public:
    std::optional<FormatOptions> ask(const FormatEntry& format, const ExportJob& job) override;
    FormatOptions offered(const FormatEntry& format, const ExportJob& job) const override;

private:
    struct Remembered {
        FormatOptions options;
        std::set<std::string> edited;  // the values the user changed, by rememberedKey
    };
    std::map<std::string, Remembered> remembered_;  // by the options' keys
};
