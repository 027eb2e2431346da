#include "main_window.h"

#include "app_icon.h"
#include "export_flow.h"
#include "progress_dialog_work.h"
#include "preview_feed.h"
#include "relief_preview_window.h"
#include "selection_summary.h"
#include "platform/qt/picture_loader.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/replacing_file_sink.h"
#include "platform/window_unit.h"
#include "relief/format_registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

constexpr QSize clientSize(700, 548);

// The exports the program started with; the others follow them after a
// separator.
constexpr std::string_view originalExports[] = {"vrml1", "vrml2", "ascii"};

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The zoom steps of the "Affichage" menu and the wheel.
constexpr double zoomLevels[] = {1.0 / 32, 1.0 / 24, 1.0 / 16, 1.0 / 12, 1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3,
                                 1.0 / 2,  2.0 / 3,  1,        1.5,      2,       3,       4,       6,
                                 8,        12,       16};
constexpr double smallestZoom = zoomLevels[0];
constexpr double largestZoom = zoomLevels[std::size(zoomLevels) - 1];

// The largest size, up to the platform's own, at which every caption fits
// the box it was given.
QFont fittingFont(QFont font, const std::vector<QWidget*>& boxes)
{
    const auto fits = [&](const QFont& f) {
        const QFontMetrics metrics(f);
        for (QWidget* box : boxes) {
            const auto* label = qobject_cast<QLabel*>(box);
            const auto* group = qobject_cast<QGroupBox*>(box);
            const QString text = label ? label->text() : group ? group->title() : QString();
            const int flags = Qt::AlignLeft | Qt::AlignTop | (label && label->wordWrap() ? Qt::TextWordWrap : 0);
            const QSize room = group ? QSize(group->width() - 16, metrics.height()) : box->size();
            const QRect needed = metrics.boundingRect(QRect(QPoint(), room), flags, text);
            if (needed.width() > room.width() || needed.height() > room.height())
                return false;
        }
        return true;
    };
    int pixels = QFontInfo(font).pixelSize();
    for (font.setPixelSize(pixels); pixels > 7 && !fits(font); font.setPixelSize(--pixels)) {
    }
    return font;
}

QLabel* addLabel(QWidget* parent, const char* caption, QRect where)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setGeometry(where);
    label->setWordWrap(where.height() > 20);  // only the two-line label wraps
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* addField(QWidget* parent, const std::string& text, QRect where)
{
    auto* field = new QLineEdit(QString::fromStdString(text), parent);
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
    buildClientArea();
    buildFields();
    buildMenu();
    buildViewMenu();
    connect(canvas_, &FormCanvas::mouseDown, this, &Form1::Form_MouseDown);
    connect(canvas_, &FormCanvas::mouseMove, this, &Form1::Form_MouseMove);
    connect(canvas_, &FormCanvas::mouseUp, this, &Form1::Form_MouseUp);
    connect(canvas_, &FormCanvas::zoomWheel, this,
            [this](double notches, QPointF about) {
                const int levels = static_cast<int>(std::lround(notches));
                zoomBy(levels != 0 ? levels : notches > 0 ? 1 : -1, about);
            });
    connect(canvas_, &FormCanvas::scrollWheel, this, [this](QPoint pixels) {
        hbar_->setValue(hbar_->value() - pixels.x());
        vbar_->setValue(vbar_->value() - pixels.y());
    });
    connect(canvas_, &FormCanvas::left, pointer_, &QLabel::clear);
    for (QLineEdit* field : {Text1, Text2, Text3})
        connect(field, &QLineEdit::textChanged, this, &Form1::scheduleRefresh);
    setAcceptDrops(true);

    resize(clientSize.width(),
           clientSize.height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect outer = frameGeometry();
        outer.moveCenter(screen->availableGeometry().center());
        move(outer.topLeft());
    }
    refresh();
}

Form1::~Form1() = default;

// The client area keeps its size: the scroll bars stand to its right and
// below it, the status line under them.
void Form1::buildClientArea()
{
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    hbar_ = new QScrollBar(Qt::Horizontal, area);
    vbar_ = new QScrollBar(Qt::Vertical, area);
    hbar_->hide();
    vbar_->hide();
    grid->addWidget(canvas_, 0, 0);
    grid->addWidget(vbar_, 0, 1);
    grid->addWidget(hbar_, 1, 0);
    setCentralWidget(area);
    for (QScrollBar* bar : {hbar_, vbar_})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            canvas_->setView(canvas_->zoom(), QPointF(hbar_->value(), vbar_->value()));
        });

    readout_ = new QLabel(this);
    readout_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pointer_ = new QLabel(this);
    statusBar()->addWidget(readout_, 1);
    statusBar()->addPermanentWidget(pointer_);

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(0);
    connect(refreshTimer_, &QTimer::timeout, this, &Form1::refresh);
}

void Form1::buildFields()
{
    // Positions in pixels, relative to each control's container.
    Frame1 = new QGroupBox(QStringLiteral("Echelles"), canvas_);
    Frame1->setGeometry(576, 8, 121, 113);
    Label1 = addLabel(Frame1, "Profondeur maxi en m", {8, 24, 105, 17});
    Text1 = addField(Frame1, defaultFieldTexts.depth, {16, 40, 89, 19});
    Label2 = addLabel(Frame1, "Largeur en m/pixel", {8, 64, 105, 25});
    Text2 = addField(Frame1, defaultFieldTexts.scale, {16, 80, 89, 19});

    Frame2 = new QGroupBox(QStringLiteral("Taille fichier"), canvas_);
    Frame2->setGeometry(576, 128, 121, 73);
    Label3 = addLabel(Frame2, "Pas en pixel", {8, 24, 65, 17});
    Text3 = addField(Frame2, defaultFieldTexts.step, {16, 40, 89, 19});

    // The frames hide the picture behind them; their captions take the
    // platform's font at the size their boxes hold.
    for (QGroupBox* frame : {Frame1, Frame2})
        frame->setAutoFillBackground(true);
    const QFont fitting = fittingFont(font(), {Frame1, Frame2, Label1, Label2, Label3});
    Frame1->setFont(fitting);
    Frame2->setFont(fitting);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
}

// The "Export" menu lists the formats in the registry's order, each item
// bound to its format by id.
void Form1::buildMenu()
{
    import = menuBar()->addAction(QStringLiteral("Importer une image"));
    plop = menuBar()->addMenu(QStringLiteral("Export"));
    bool originalSeen = false;
    bool separated = false;
    for (const FormatEntry& format : formatRegistry().all()) {
        const bool original = std::find(std::begin(originalExports), std::end(originalExports), format.id) !=
                              std::end(originalExports);
        if (!original && originalSeen && !separated) {
            plop->addSeparator();
            separated = true;
        }
        originalSeen = originalSeen || original;
        QAction* item = plop->addAction(fromUtf8(format.menuCaption));
        item->setData(fromUtf8(format.id));
        connect(item, &QAction::triggered, this, [this, id = std::string(format.id)] { exportFormat(id); });
    }
    connect(import, &QAction::triggered, this, &Form1::import_Click);
    preview = menuBar()->addAction(QStringLiteral("Aperçu 3D"));
    connect(preview, &QAction::triggered, this, &Form1::preview_Click);
}

QAction* Form1::exportAction(std::string_view id) const
{
    for (QAction* item : plop->actions())
        if (item->data().toString() == fromUtf8(id))
            return item;
    return nullptr;
}

void Form1::buildViewMenu()
{
    viewMenu = menuBar()->addMenu(QStringLiteral("Affichage"));
    const auto item = [this](const char* caption, QKeySequence keys, auto handler) {
        QAction* action = viewMenu->addAction(QString::fromUtf8(caption));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto centre = [this] { return QPointF(canvas_->width() / 2.0, canvas_->height() / 2.0); };
    zoomIn = item("Zoom avant", QKeySequence::ZoomIn, [this, centre] { zoomBy(1, centre()); });
    zoomOut = item("Zoom arrière", QKeySequence::ZoomOut, [this, centre] { zoomBy(-1, centre()); });
    zoomToFit = item("Ajuster à la fenêtre", QKeySequence(Qt::CTRL | Qt::Key_0), [this] { zoomToFitWindow(); });
    actualSize = item("Taille réelle", QKeySequence(Qt::CTRL | Qt::Key_1), [this] { setZoom(1, {}); });
    viewMenu->addSeparator();
    selectWholePicture = item("Sélectionner toute l'image", QKeySequence(), [this] { selectAll(); });
}

// Zoom and scroll move the picture under the client area; the bars appear
// only when the picture does not fit, and the window grows by their
// thickness so that the client area keeps its size.
void Form1::applyView(double zoom, QPointF scroll, bool fitWindowToBars)
{
    const QSizeF content = QSizeF(canvas_->picture().size()) * zoom;
    const QSize view = canvas_->size();
    const bool wantH = content.width() > view.width() + 0.5;
    const bool wantV = content.height() > view.height() + 0.5;
    if (wantH != !hbar_->isHidden() || wantV != !vbar_->isHidden()) {
        hbar_->setVisible(wantH);
        vbar_->setVisible(wantV);
        if (fitWindowToBars) {
            for (int pass = 0; pass < 2; ++pass) {
                layout()->activate();
                centralWidget()->layout()->activate();
                if (canvas_->size() == view)
                    break;
                resize(size() + view - canvas_->size());
            }
        }
    }
    const QSize range(std::max(0, int(std::ceil(content.width())) - canvas_->width()),
                      std::max(0, int(std::ceil(content.height())) - canvas_->height()));
    const QSignalBlocker blockH(hbar_), blockV(vbar_);
    hbar_->setRange(0, range.width());
    vbar_->setRange(0, range.height());
    hbar_->setPageStep(std::max(1, canvas_->width()));
    vbar_->setPageStep(std::max(1, canvas_->height()));
    hbar_->setSingleStep(24);
    vbar_->setSingleStep(24);
    hbar_->setValue(int(std::lround(std::clamp(scroll.x(), 0.0, double(range.width())))));
    vbar_->setValue(int(std::lround(std::clamp(scroll.y(), 0.0, double(range.height())))));
    canvas_->setView(zoom, QPointF(hbar_->value(), vbar_->value()));
}

void Form1::setZoom(double zoom, QPointF about)
{
    zoom = std::clamp(zoom, smallestZoom, largestZoom);
    const QPointF picturePoint = (about + canvas_->scroll()) / canvas_->zoom();
    applyView(zoom, picturePoint * zoom - about, true);
}

void Form1::zoomBy(int levels, QPointF about)
{
    double zoom = canvas_->zoom();
    for (; levels > 0; --levels)
        zoom = *std::find_if(std::begin(zoomLevels), std::end(zoomLevels) - 1,
                             [zoom](double level) { return level > zoom * 1.0001; });
    for (; levels < 0; ++levels) {
        const auto below = std::find_if(std::rbegin(zoomLevels), std::rend(zoomLevels) - 1,
                                        [zoom](double level) { return level < zoom / 1.0001; });
        zoom = *below;
    }
    setZoom(zoom, about);
}

void Form1::zoomToFitWindow()
{
    const QSize picture = canvas_->picture().size();
    if (picture.isEmpty())
        return setZoom(1, {});
    const double zoom = std::min(double(canvas_->width()) / picture.width(), double(canvas_->height()) / picture.height());
    applyView(std::clamp(zoom, smallestZoom, largestZoom), {}, true);
}

// The four edges on the picture's bounds, as dragging them there would.
void Form1::selectAll()
{
    const QSize picture = canvas_->picture().size();
    if (picture.isEmpty())
        return;
    rectangle_.moveEdges(0, 0, static_cast<float>(picture.width() * window_unit::perPixelAcross),
                         static_cast<float>(picture.height() * window_unit::perPixelDown));
    canvas_->update();
    scheduleRefresh();
}

// Zoomed out, the grab keeps the size on the screen it has at 100 %.
double Form1::grabTolerance() const
{
    const double zoom = canvas_->zoom();
    return zoom >= 1 ? SelectionRectangle::tolerance : SelectionRectangle::tolerance / zoom;
}

void Form1::showPointerShape(float x, float y)
{
    const SelectionRectangle::Grabs g = rectangle_.grabsAt(x, y, grabTolerance());
    const bool across = g.left || g.right;
    const bool down = g.top || g.bottom;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (across && down) {
        // Top-left and bottom-right corners lean one way, the others the other.
        const bool leftSide = g.left && !g.right;
        shape = (leftSide == g.top) ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    } else if (across) {
        shape = Qt::SizeHorCursor;
    } else if (down) {
        shape = Qt::SizeVerCursor;
    }
    if (canvas_->cursor().shape() != shape)
        canvas_->setCursor(shape);
}

void Form1::scheduleRefresh()
{
    refreshTimer_->start();
}

// The status line, and the preview when it is open, from what an export
// would read now.
void Form1::refresh()
{
    const ExportRequest request = currentRequest();
    selectionText_ = QString::fromStdString(readoutText(summarizeSelection(request)));
    showReadout();
    if (preview_ && preview_->isVisible()) {
        PreviewContent content = previewContent(request);
        preview_->setRelief(std::move(content.relief), content.facts);
    }
}

void Form1::showReadout()
{
    readout_->setText(exportRunning_ ? QStringLiteral("export en cours · ") + selectionText_ : selectionText_);
}

QString Form1::readout() const
{
    return readout_->text();
}

QString Form1::pointerReadout() const
{
    return pointer_->text();
}

void Form1::commandIgnored()
{
    statusBar()->showMessage(QStringLiteral("export en cours : commande ignorée"), 4000);
}

// The preview keeps working during an export: it reads the same snapshot.
void Form1::preview_Click()
{
    if (!preview_) {
        preview_ = new ReliefPreviewWindow(this);
        preview_->resize(900, 600);
    }
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
    refresh();
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
        return commandIgnored();
    const std::optional<std::string> path = CommonDialog1.askOpenPath();
    if (path)
        importFile(*path);
}

void Form1::importFile(const std::string& path)
{
    if (exportRunning_)
        return commandIgnored();
    const LoadedPicture loaded = loadPicture(path);
    if (loaded.failure == PictureFailure::TooLarge)
        messages_.warning("Cette image ne peut pas être ouverte : " + loaded.reason() + ".");
    if (!loaded.loaded())
        return;
    picture_ = loaded.picture;
    picturePath_ = path;
    canvas_->setPicture(loaded.image);
    scanForm().setPicture(loaded.image);
    applyView(canvas_->zoom(), canvas_->scroll(), true);
    scheduleRefresh();
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    importFile(QFile::encodeName(urls.constFirst().toLocalFile()).toStdString());
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
    if (exportRunning_)
        return commandIgnored();
    if (!format)
        return;
    exportRunning_ = true;
    showReadout();  // the selection as it was: the export reads the same
    abandonExport_ = false;
    ReplacingFileOpener files;
    SystemTargetFacts target;
    QtEventLoop events(abandonExport_);
    ProgressDialogWork work(abandonExport_);
    DesktopExportFacilities facilities{CommonDialog2, files,  target,         *this, scanForm(),
                                       messages_,     events, optionsDialog_, work,  picturePath_};
    runDesktopExport(*format, currentRequest(), facilities);
    exportRunning_ = false;
    scheduleRefresh();
}

void Form1::Form_MouseDown(int, int, float x, float y)
{
    rectangle_.mouseDown(x, y, grabTolerance());
}

void Form1::Form_MouseMove(int, int, float x, float y)
{
    if (rectangle_.mouseMove(x, y)) {
        canvas_->update();
        scheduleRefresh();
    } else {
        showPointerShape(x, y);
    }
    pointer_->setText(QStringLiteral("%1, %2 px")
                          .arg(std::floor(x / window_unit::perPixelAcross + 1e-4))
                          .arg(std::floor(y / window_unit::perPixelDown + 1e-4)));
}

void Form1::Form_MouseUp(int, int, float, float)
{
    rectangle_.mouseUp();
}

void Form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    // Centred with the frame and title bar counted, once the window has them.
    QTimer::singleShot(0, this, [this] {
        if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
            QRect outer = frameGeometry();
            outer.moveCenter(screen->availableGeometry().center());
            move(outer.topLeft());
        }
    });
}

// Escape stops a running export, as closing "Scan" does; the fields pass
// it on to here.
void Form1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && exportRunning_) {
        abandonExport_ = true;
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyView(canvas_->zoom(), canvas_->scroll(), false);
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
