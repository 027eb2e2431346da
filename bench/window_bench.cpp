#include "window_bench.h"

#include "app/main_window.h"
#include "app/selection_editor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>

#include <memory>

namespace {

struct AnsweredOpen : OpenDialog {
    std::string path;
    std::optional<std::string> askOpenPath() override { return path; }
};

struct AnsweredSave : SaveDialog {
    std::string path;
    std::optional<std::string> askSavePath(const std::string&, const std::string&) override { return path; }
};

struct CountedMessages : MessageBox {
    int completions = 0;
    int warnings = 0;
    void information(const std::string&) override { ++completions; }
    void warning(const std::string&) override { ++warnings; }
    bool question(const std::string&, const std::string&, const std::string&) override { return true; }
};

struct NoOptions : FormatOptionsDialog {
    std::optional<FormatOptions> ask(const FormatEntry&, const ExportJob&) override
    {
        FormatOptions walked;
        walked.placement = Placement::VrmlFrame;
        return walked;
    }
};

struct Window {
    AnsweredOpen open;
    AnsweredSave save;
    CountedMessages messages;
    NoOptions options;
    MainWindow form{{open, save, messages, options}};
};

// Made on first use and kept to the end of the process.
Window& window()
{
    static Window* w = [] {
        auto* made = new Window;
        made->form.show();
        // The picture goes through the program's own import, from a file.
        const Picture& picture = noisyPicture();
        QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
        for (int row = 0; row < picture.height(); ++row)
            for (int column = 0; column < picture.width(); ++column) {
                const std::uint32_t c = picture.pixel(column, row);
                image.setPixel(column, row, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
            }
        made->open.path = benchFilePath("picture") + ".png";
        image.save(QString::fromStdString(made->open.path), "PNG");
        made->form.importAction->trigger();
        QFile::remove(QString::fromStdString(made->open.path));
        return made;
    }();
    return *w;
}

}  // namespace

void prepareWindow(const Workload& workload)
{
    MainWindow& form = window().form;
    const FieldTexts fields = benchFields();
    form.fields.depthField->setText(QString::fromStdString(fields.depth));
    form.fields.scaleField->setText(QString::fromStdString(fields.scale));
    form.fields.stepField->setText(QString::fromStdString(fields.step));
    const EdgeLines now = form.selection().edges();
    // A press on the bottom-right corner grabs the right and bottom edges.
    form.selectionEditor().pointerPressed(now.rightEdge, now.bottomEdge);
    form.selectionEditor().pointerMoved(workload.width, workload.height);
    form.selectionEditor().pointerReleased();
}

EdgeLines windowSelection() { return window().form.selection().edges(); }

bool exportFromWindow(const Format& format, const std::string& path)
{
    Window& w = window();
    w.save.path = path;
    const int before = w.messages.completions;
    w.form.exportAction(format.name)->trigger();
    return w.messages.completions == before + 1 && w.messages.warnings == 0;
}
