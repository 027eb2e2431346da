#pragma once

#include <string>

// Modal message boxes; each returns when the user dismisses it.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void information(const std::string& text) = 0;
    virtual void warning(const std::string& text) = 0;
    // A question with a button to go on and one to cancel, cancel the
    // default; true when the user chose to go on.
    virtual bool question(const std::string& text, const std::string& proceed, const std::string& cancel) = 0;
};
