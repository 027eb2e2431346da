#include "main_window.h"

#include "app_icon.h"
#include "export_flow.h"
#include "progress_dialog_work.h"
#include "platform/qt/picture_loader.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/replacing_file_sink.h"
#include "platform/window_unit.h"
#include "relief/format_registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>

namespace {

constexpr QSize clientSize(700, 548);

QLabel* addLabel(QWidget* parent, const char* caption, QRect where)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setGeometry(where);
    label->setWordWrap(where.height() > 20);  // only the two-line label wraps
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* addField(QWidget* parent, const char* text, QRect where)
{
    auto* field = new QLineEdit(QString::fromUtf8(text), parent);
    field->setGeometry(where);
    return field;
}

}  // namespace

Form1::Form1(DesktopFacilities facilities)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      CommonDialog1(facilities.openDialog),
      CommonDialog2(facilities.saveDialog),
      messages_(facilities.messages),
      optionsDialog_(facilities.optionsDialog),
      canvas_(new FormCanvas(rectangle_, this))
{
    setWindowTitle(QStringLiteral("Orvanel"));
    setWindowIcon(appIcon());
    setCentralWidget(canvas_);
    buildFields();
    buildMenu();
    connect(canvas_, &FormCanvas::mouseDown, this, &Form1::Form_MouseDown);
    connect(canvas_, &FormCanvas::mouseMove, this, &Form1::Form_MouseMove);
    connect(canvas_, &FormCanvas::mouseUp, this, &Form1::Form_MouseUp);

    resize(clientSize.width(), clientSize.height() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed = frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
}

Form1::~Form1() = default;

void Form1::buildFields()
{
    // Positions in pixels, relative to each control's container.
    Frame1 = new QGroupBox(QStringLiteral("Echelles"), canvas_);
    Frame1->setGeometry(576, 8, 121, 113);
    Label1 = addLabel(Frame1, "Profondeur maxi en m", {8, 24, 105, 17});
    Text1 = addField(Frame1, "0.5", {16, 40, 89, 19});
    Label2 = addLabel(Frame1, "Largeur en m/pixel", {8, 64, 105, 25});
    Text2 = addField(Frame1, "0.001 ", {16, 80, 89, 19});

    Frame2 = new QGroupBox(QStringLiteral("Taille fichier"), canvas_);
    Frame2->setGeometry(576, 128, 121, 73);
    Label3 = addLabel(Frame2, "Pas en pixel", {8, 24, 65, 17});
    Text3 = addField(Frame2, "50", {16, 40, 89, 19});

    // The fields were laid out for a small 8-point dialog font: keep their
    // captions within the given sizes.
    QFont small = font();
    small.setPixelSize(9);
    Frame1->setFont(small);
    Frame2->setFont(small);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
}

// The "Export" menu lists the formats in the registry's order: the three
// first ones keep their own items and handlers, the others follow a separator.
void Form1::buildMenu()
{
    import = menuBar()->addAction(QStringLiteral("Importer une image"));
    plop = menuBar()->addMenu(QStringLiteral("Export"));
    const std::pair<QAction* Form1::*, void (Form1::*)()> firstItems[] = {
        {&Form1::export_, &Form1::export_Click},
        {&Form1::exportcat, &Form1::exportcat_Click},
        {&Form1::ascii, &Form1::ascii_Click},
    };
    std::size_t index = 0;
    for (const FormatEntry& format : formatRegistry().all()) {
        const QString caption = QString::fromUtf8(format.menuCaption.data(), qsizetype(format.menuCaption.size()));
        if (index < std::size(firstItems)) {
            const auto [item, handler] = firstItems[index];
            this->*item = plop->addAction(caption);
            connect(this->*item, &QAction::triggered, this, handler);
        } else {
            if (index == std::size(firstItems))
                plop->addSeparator();
            const std::string id(format.id);
            connect(plop->addAction(caption), &QAction::triggered, this, [this, id] { exportFormat(id); });
        }
        ++index;
    }
    connect(import, &QAction::triggered, this, &Form1::import_Click);
}

WindowFrame Form1::frame() const
{
    const QRect outer = frameGeometry();
    return {outer.x() * window_unit::twipsPerPixel, outer.y() * window_unit::twipsPerPixel,
            outer.width() * window_unit::twipsPerPixel};
}

Form2& Form1::scanForm()
{
    if (!scan_) {
        scan_ = std::make_unique<Form2>();
        connect(scan_.get(), &Form2::closedByUser, this, [this] { abandonExport_ = exportRunning_; });
    }
    return *scan_;
}

// The picture is decoded once; both windows paint from that one copy and the
// exports read it. A cancelled dialog or a file that is not a readable
// picture changes nothing; a picture too large for the memory is refused
// with a message, since the file itself is sound.
void Form1::import_Click()
{
    if (exportRunning_)
        return;
    const std::optional<std::string> path = CommonDialog1.askOpenPath();
    if (!path)
        return;
    const LoadedPicture loaded = loadPicture(*path);
    if (loaded.failure == PictureFailure::TooLarge)
        messages_.warning("Cette image ne peut pas être ouverte : " + loaded.reason() + ".");
    if (!loaded.loaded())
        return;
    picture_ = loaded.picture;
    picturePath_ = *path;
    canvas_->setPicture(loaded.image);
    scanForm().setPicture(loaded.image);
}

void Form1::export_Click()
{
    exportFormat("vrml1");
}

void Form1::exportcat_Click()
{
    exportFormat("vrml2");
}

void Form1::ascii_Click()
{
    exportFormat("ascii");
}

ExportRequest Form1::currentRequest() const
{
    return {{Text1->text().toStdString(), Text2->text().toStdString(), Text3->text().toStdString()},
            rectangle_.edges(),
            picture_};
}

// An export runs inside the command, letting window events through as it
// goes; meanwhile the menu commands do nothing.
void Form1::exportFormat(const std::string& id)
{
    const FormatEntry* format = formatRegistry().find(id);
    if (exportRunning_ || !format)
        return;
    exportRunning_ = true;
    abandonExport_ = false;
    ReplacingFileOpener files;
    SystemTargetFacts target;
    QtEventLoop events(abandonExport_);
    ProgressDialogWork work(abandonExport_);
    DesktopExportFacilities facilities{CommonDialog2, files,  target,         *this, scanForm(),
                                       messages_,     events, optionsDialog_, work,  picturePath_};
    runDesktopExport(*format, currentRequest(), facilities);
    exportRunning_ = false;
}

void Form1::Form_MouseDown(int, int, float x, float y)
{
    rectangle_.mouseDown(x, y);
}

void Form1::Form_MouseMove(int, int, float x, float y)
{
    if (rectangle_.mouseMove(x, y))
        canvas_->update();
}

void Form1::Form_MouseUp(int, int, float, float)
{
    rectangle_.mouseUp();
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    Form_QueryUnload();
}

// Closing the main window ends the program at once, also during an export:
// the running export is abandoned and its partial output discarded.
void Form1::Form_QueryUnload()
{
    abandonExport_ = exportRunning_;
    if (scan_)
        scan_->QWidget::hide();
    QCoreApplication::quit();
}
