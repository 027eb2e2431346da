#include "main_window.h"

#include "app_icon.h"
#include "export_progress_bar.h"
#include "main_window_canvas.h"
#include "picture_viewport.h"
#include "preview_feed.h"
#include "preview_placement.h"
#include "relief_preview_window.h"
#include "scan_window.h"
#include "selection_editor.h"
#include "selection_summary.h"
#include "status_line.h"
#include "window_placement.h"
#include "platform/qt/picture_loader.h"
#include "platform/window_unit.h"
#include "export/standard_formats.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

constexpr QSize clientSize(700, 548);
// "Aperçu 3D" as it opens, and as small as it is made to open beside.
constexpr QSize previewSize(900, 600);
constexpr QSize smallestPreview(480, 360);

// The exports the program started with; the others follow them after a
// separator.
constexpr std::string_view originalExports[] = {"vrml1", "vrml2", "ascii"};

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

MainWindow::MainWindow(DesktopFacilities facilities)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      openDialog_(facilities.openDialog),
      messages_(facilities.messages),
      optionsDialog_(facilities.optionsDialog),
      viewport_(new PictureViewport(rectangle_, this)),
      status_(new StatusLine(statusBar())),
      placement_(new WindowPlacement(*this)),
      progress_(new ExportProgressBar(statusBar())),
      exports_(facilities.saveDialog, facilities.messages, facilities.optionsDialog, *placement_, *progress_),
      editor_(new SelectionEditor(rectangle_, viewport_->canvas())),
      refreshTimer_(new QTimer(this)),
      fields(&viewport_->canvas())
{
    setWindowTitle(QStringLiteral("Orvanel"));
    setWindowIcon(appIcon());
    // The scroll bars stand inside the client area, to the right of the
    // picture and below it, the status bar under them.
    setCentralWidget(viewport_);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(0);
    connect(refreshTimer_, &QTimer::timeout, this, &MainWindow::refresh);
    createMenus();

    connect(progress_, &ExportProgressBar::cancelRequested, this, [this] { exports_.abandon(); });
    connect(progress_, &ExportProgressBar::ended, status_, &StatusLine::tell);
    connect(editor_, &SelectionEditor::selectionMoved, this, &MainWindow::scheduleRefresh);
    connect(&canvas(), &MainWindowCanvas::pointerMoved, status_, &StatusLine::showPointer);
    connect(&canvas(), &MainWindowCanvas::pointerLeft, status_, &StatusLine::clearPointer);
    connect(&canvas(), &MainWindowCanvas::resized, this,
            [this](QSize size) { fields.standAgainstRightSide(size.width()); });
    for (QLineEdit* field : {fields.depthField, fields.scaleField, fields.stepField})
        connect(field, &QLineEdit::textChanged, this, &MainWindow::scheduleRefresh);
    setAcceptDrops(true);

    // The window may grow, not shrink below its start, where every control
    // stands where it always has.
    resize(clientSize.width(),
           clientSize.height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    setMinimumSize(size());
    placement_->centre();
    refresh();
}

MainWindow::~MainWindow() = default;

// The "Export" menu lists the formats in the registry's order, each item
// bound to its format by id.
void MainWindow::createMenus()
{
    importAction = menuBar()->addAction(QStringLiteral("Importer une image"));
    exportMenu = menuBar()->addMenu(QStringLiteral("Export"));
    bool originalSeen = false;
    bool separated = false;
    for (const FormatEntry& format : formatRegistry().all()) {
        const bool original = std::find(std::begin(originalExports), std::end(originalExports), format.id) !=
                              std::end(originalExports);
        if (!original && originalSeen && !separated) {
            exportMenu->addSeparator();
            separated = true;
        }
        originalSeen = originalSeen || original;
        QAction* item = exportMenu->addAction(fromUtf8(format.menuCaption));
        item->setData(fromUtf8(format.id));
        connect(item, &QAction::triggered, this, [this, id = std::string(format.id)] { exportFormat(id); });
        // Pointed at, the format's file size shows in the status bar.
        connect(item, &QAction::hovered, this, [this, id = std::string(format.id)] { status_->showFormat(id); });
    }
    connect(importAction, &QAction::triggered, this, &MainWindow::importPicture);
    previewAction = menuBar()->addAction(QStringLiteral("Aperçu 3D"));
    connect(previewAction, &QAction::triggered, this, &MainWindow::showPreview);

    viewMenu = menuBar()->addMenu(QStringLiteral("Affichage"));
    const auto item = [this](const char* caption, QKeySequence keys, auto* receiver, auto slot) {
        QAction* action = viewMenu->addAction(QString::fromUtf8(caption));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, receiver, slot);
        return action;
    };
    const QKeySequence ctrl0(Qt::CTRL | Qt::Key_0), ctrl1(Qt::CTRL | Qt::Key_1);
    zoomIn = item("Zoom avant", QKeySequence::ZoomIn, viewport_, &PictureViewport::zoomIn);
    zoomOut = item("Zoom arrière", QKeySequence::ZoomOut, viewport_, &PictureViewport::zoomOut);
    zoomToFit = item("Ajuster à la fenêtre", ctrl0, viewport_, &PictureViewport::zoomToFit);
    actualSize = item("Taille réelle", ctrl1, viewport_, &PictureViewport::showActualSize);
    viewMenu->addSeparator();
    selectWholePicture =
        item("Sélectionner toute l'image", QKeySequence(), editor_, &SelectionEditor::selectWholePicture);
}

MainWindowCanvas& MainWindow::canvas() const
{
    return viewport_->canvas();
}

QScrollBar* MainWindow::horizontalScrollBar() const
{
    return viewport_->horizontalBar();
}

QScrollBar* MainWindow::verticalScrollBar() const
{
    return viewport_->verticalBar();
}

QString MainWindow::readout() const
{
    return status_->readout();
}

QString MainWindow::pointerReadout() const
{
    return status_->pointerReadout();
}

QAction* MainWindow::exportAction(std::string_view id) const
{
    for (QAction* item : exportMenu->actions())
        if (item->data().toString() == fromUtf8(id))
            return item;
    return nullptr;
}

ScanWindow& MainWindow::scanWindow()
{
    if (!scan_) {
        scan_ = std::make_unique<ScanWindow>(this);
        connect(scan_.get(), &ScanWindow::closedByUser, this, [this] { exports_.abandon(); });
    }
    return *scan_;
}

void MainWindow::scheduleRefresh()
{
    refreshTimer_->start();
}

// The status line, and the preview when it is open, from what an export
// would read now.
void MainWindow::refresh()
{
    const SelectionSummary summary = summarizeSelection(currentRequest(), optionsDialog_);
    status_->showSummary(summary);
    if (preview_ && preview_->isVisible()) {
        PreviewContent content = previewContent(summary);
        preview_->setRelief(std::move(content.relief), content.facts);
    }
}

// The preview keeps working during an export: it reads the same snapshot.
void MainWindow::showPreview()
{
    if (!preview_) {
        preview_ = new ReliefPreviewWindow(this);
        placePreview();
    } else if (!preview_->isVisible()) {
        preview_->returnWhereLeft();
    }
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
    refresh();
}

// Beside the main window, or over its picture, as previewPlacement says;
// the preview's frame is taken to be as thick as the main window's.
void MainWindow::placePreview()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return preview_->resize(previewSize);
    const QSize frameThickness = frameGeometry().size() - size();
    const MainWindowArea area{frameGeometry(), viewport_->mapToGlobal(QPoint(0, 0)).y(),
                              fields.scalesBox->mapToGlobal(QPoint(0, 0)).x()};
    const QRect placed = previewPlacement(screen->availableGeometry(), area, previewSize + frameThickness,
                                          smallestPreview + frameThickness);
    preview_->resize(placed.size() - frameThickness);
    preview_->move(placed.topLeft());
}

// The picture is decoded once; both windows paint from that one copy and the
// exports read it. A cancelled dialog changes nothing; a file that is not a
// readable picture changes nothing but the status area, which says why; a
// picture too large for the memory is also refused with a message, since
// the file itself is sound.
void MainWindow::importPicture()
{
    if (exports_.running())
        return status_->commandIgnored();
    const std::optional<std::string> path = openDialog_.askOpenPath();
    if (path)
        importFile(*path);
}

void MainWindow::importFile(const std::string& path)
{
    if (exports_.running())
        return status_->commandIgnored();
    const LoadedPicture loaded = loadPicture(path);
    if (loaded.failure == PictureFailure::TooLarge)
        messages_.warning("Cette image ne peut pas être ouverte : " + loaded.reason() + ".");
    if (!loaded.loaded())
        return status_->tell(QString::fromStdString("Image non importée : " + loaded.reason()));
    picture_ = loaded.picture;
    picturePath_ = path;
    viewport_->showPicture(loaded.image);
    scanWindow().setPicture(loaded.image);
    status_->showPicture(loaded.image.size());
    keepSelectionOnPicture();
    scheduleRefresh();
}

void MainWindow::keepSelectionOnPicture()
{
    const EdgeLines e = rectangle_.edges();
    const QSize picture = canvas().picture().size();
    // The picture's far sides as "Sélectionner toute l'image" puts the edges there.
    const float right = static_cast<float>(picture.width() * window_unit::perPixelAcross);
    const float bottom = static_cast<float>(picture.height() * window_unit::perPixelDown);
    if (std::min(e.leftEdge, e.rightEdge) >= 0 && std::max(e.leftEdge, e.rightEdge) <= right &&
        std::min(e.topEdge, e.bottomEdge) >= 0 && std::max(e.topEdge, e.bottomEdge) <= bottom)
        return;
    editor_->selectWholePicture();
    status_->tell(QStringLiteral("Sélection ramenée à toute l'image"));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    importFile(QFile::encodeName(urls.constFirst().toLocalFile()).toStdString());
}

ExportRequest MainWindow::currentRequest() const
{
    return {fields.texts(), rectangle_.edges(), picture_};
}

// During an export the menu commands do nothing but say so.
void MainWindow::exportFormat(const std::string& id)
{
    const FormatEntry* format = formatRegistry().find(id);
    if (exports_.running())
        return status_->commandIgnored();
    if (!format)
        return;
    status_->showFormat(id);
    status_->exportStarted();
    exports_.run(*format, currentRequest(), scanWindow(), picturePath_);
    status_->exportEnded();
    scheduleRefresh();
}

// Escape stops a running export, as closing "Scan" and the progress bar's
// "Annuler" do; the fields pass it on to here.
void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && exports_.running()) {
        exports_.abandon();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// Closing the main window ends the program at once, also during an export:
// the running export is abandoned and its partial output discarded.
void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    exports_.abandon();
    if (scan_)
        scan_->QWidget::hide();
    QCoreApplication::quit();
}
