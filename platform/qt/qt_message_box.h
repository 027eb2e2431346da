#pragma once

#include "platform/message_box.h"

// Message boxes captioned "Orvanel", modal over the active window.
class QtMessageBox : public MessageBox {
public:
    void information(const std::string& text) override;
    void warning(const std::string& text) override;
    bool question(const std::string& text, const std::string& proceed, const std::string& cancel) override;
};
