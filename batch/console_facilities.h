#pragma once

#include "interrupt_signal.h"
#include "terminal_progress.h"

#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/message_box.h"
#include "platform/export_windows.h"

#include <cstdio>
#include <string>

// The desktop facilities an export needs, as a command line provides them.

// The Save dialog answers the output path given on the command line.
class GivenOutputPath : public SaveDialog {
public:
    explicit GivenOutputPath(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> askSavePath(const std::string&) override { return path_; }

private:
    std::string path_;
};

// Warnings go to stderr; the completion message is left out, as a command
// that succeeds says nothing.
class ConsoleMessages : public MessageBox {
public:
    explicit ConsoleMessages(TerminalProgress& progress) : progress_(progress) {}
    void information(const std::string&) override {}
    void warning(const std::string& text) override
    {
        progress_.erase();
        std::fprintf(stderr, "orvanel-batch : %s\n", text.c_str());
    }

private:
    TerminalProgress& progress_;
};

// There is no window to stand beside.
class NoMainWindow : public MainWindowFrame {
public:
    WindowFrame frame() const override { return {}; }
};

// Yielding runs no events; it only says to stop once a stop signal came.
class InterruptibleEvents : public EventLoop {
public:
    bool yield() override { return interruptingSignal() == 0; }
};
