#pragma once

#include <string>

// Modal message boxes; each returns when the user dismisses it.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void information(const std::string& text) = 0;
    virtual void warning(const std::string& text) = 0;
};
