#pragma once

#include "export_runner.h"
#include "parameter_fields.h"
#include "selection_rectangle.h"
#include "platform/dialogs.h"
#include "platform/message_box.h"
#include "platform/picture.h"

#include <QMainWindow>

#include <memory>
#include <string>
#include <string_view>

class ExportProgressBar;
class MainWindowCanvas;
class PictureViewport;
class QAction;
class QMenu;
class QScrollBar;
class QTimer;
class ReliefPreviewWindow;
class ScanWindow;
class SelectionEditor;
class StatusLine;
class WindowPlacement;

// The dialogs and message box the main window works through.
struct DesktopFacilities {
    OpenDialog& openDialog;
    SaveDialog& saveDialog;
    MessageBox& messages;
    FormatOptionsDialog& optionsDialog;
};

// The main window: the picture with the selection rectangle, the three
// parameter fields, the import command, the "Export" menu, the 3D preview
// and the "Affichage" menu; scroll bars within the client area and a status
// bar under it. It keeps its size whatever it shows; the user may make it
// larger, the picture's view growing with it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(DesktopFacilities facilities);
    ~MainWindow() override;

    // The "Scan" window, created hidden the first time it is referred to.
    ScanWindow& scanWindow();
    bool hasScanWindow() const { return scan_ != nullptr; }
    MainWindowCanvas& canvas() const;
    const SelectionRectangle& selection() const { return rectangle_; }
    SelectionEditor& selectionEditor() const { return *editor_; }
    bool exportRunning() const { return exports_.running(); }
    // The running export's bar in the status area.
    ExportProgressBar& exportProgress() const { return *progress_; }
    // The "Aperçu 3D" window, once opened.
    ReliefPreviewWindow* previewWindow() const { return preview_; }
    QScrollBar* horizontalScrollBar() const;
    QScrollBar* verticalScrollBar() const;
    QString readout() const;
    QString pointerReadout() const;
    StatusLine& statusLine() const { return *status_; }
    // The "Export" menu's item of the format with this command-line id.
    QAction* exportAction(std::string_view id) const;

    // Imports a picture file as the import command does after its dialog
    // (the command line and a dropped file come here).
    void importFile(const std::string& path);

    QAction* importAction;
    QMenu* exportMenu;
    QAction* previewAction;
    QMenu* viewMenu;
    QAction* zoomIn;
    QAction* zoomOut;
    QAction* zoomToFit;
    QAction* actualSize;
    QAction* selectWholePicture;

private slots:
    void importPicture();
    void showPreview();
    void scheduleRefresh();
    void refresh();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void exportFormat(const std::string& id);
    void placePreview();
    // A new picture whose area no longer holds the selection gets the whole
    // picture selected, and the status bar says so.
    void keepSelectionOnPicture();
    ExportRequest currentRequest() const;

    OpenDialog& openDialog_;
    MessageBox& messages_;
    FormatOptionsDialog& optionsDialog_;
    SelectionRectangle rectangle_;
    PictureViewport* viewport_;
    StatusLine* status_;
    WindowPlacement* placement_;
    ExportProgressBar* progress_;
    ExportRunner exports_;
    SelectionEditor* editor_;
    QTimer* refreshTimer_;
    std::unique_ptr<ScanWindow> scan_;
    ReliefPreviewWindow* preview_ = nullptr;
    // The colours the exports sample; an export keeps the one it started with.
    std::shared_ptr<const Picture> picture_;
    std::string picturePath_;

public:
    // Made once the canvas they stand on is.
    ParameterFields fields;
};
