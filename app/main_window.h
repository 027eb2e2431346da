#pragma once

#include "export_flow.h"
#include "form_canvas.h"
#include "platform/dialogs.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/scan_window.h"
#include "scan_form.h"
#include "selection_rectangle.h"

#include <QMainWindow>

#include <memory>
#include <string_view>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollBar;
class QTimer;
class ReliefPreviewWindow;

// The dialogs and message box the main window works through.
struct DesktopFacilities {
    OpenDialog& openDialog;
    SaveDialog& saveDialog;
    MessageBox& messages;
    FormatOptionsDialog& optionsDialog;
};

// The main window: the picture with the selection rectangle, the three
// parameter fields, the import command, the "Export" menu, the 3D preview
// and the "Affichage" menu; scroll bars and a status line outside the
// client area.
class Form1 : public QMainWindow, public MainWindowFrame {
    Q_OBJECT
public:
    explicit Form1(DesktopFacilities facilities);
    ~Form1() override;

    WindowFrame frame() const override;

    // The "Scan" window, created hidden the first time it is referred to.
    Form2& scanForm();
    bool hasScanForm() const { return scan_ != nullptr; }
    FormCanvas& canvas() const { return *canvas_; }
    const SelectionRectangle& selection() const { return rectangle_; }
    bool exportRunning() const { return exportRunning_; }
    // The "Aperçu 3D" window, once opened.
    ReliefPreviewWindow* previewWindow() const { return preview_; }
    QScrollBar* horizontalScrollBar() const { return hbar_; }
    QScrollBar* verticalScrollBar() const { return vbar_; }
    QString readout() const;
    QString pointerReadout() const;
    // The "Export" menu's item of the format with this command-line id.
    QAction* exportAction(std::string_view id) const;

    // Imports a picture file as the import command does after its dialog
    // (the command line and a dropped file come here).
    void importFile(const std::string& path);

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QAction* import;
    QMenu* plop;
    QAction* preview;
    QMenu* viewMenu;
    QAction* zoomIn;
    QAction* zoomOut;
    QAction* zoomToFit;
    QAction* actualSize;
    QAction* selectWholePicture;

public slots:
    void import_Click();
    void Form_MouseDown(int button, int shift, float x, float y);
    void Form_MouseMove(int button, int shift, float x, float y);
    void Form_MouseUp(int button, int shift, float x, float y);
    void preview_Click();

    // The view: zoom (screen pixels per picture pixel) about a point of the client area.
    void setZoom(double zoom, QPointF about);
    void zoomToFitWindow();
    void selectAll();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildFields();
    void buildMenu();
    void buildViewMenu();
    void buildClientArea();
    void applyView(double zoom, QPointF scroll, bool fitWindowToBars);
    void zoomBy(int levels, QPointF about);
    void scheduleRefresh();
    void refresh();
    void showReadout();
    void commandIgnored();
    double grabTolerance() const;
    void showPointerShape(float x, float y);
    void exportFormat(const std::string& id);
    ExportRequest currentRequest() const;
    void Form_QueryUnload();

    OpenDialog& CommonDialog1;
    SaveDialog& CommonDialog2;
    MessageBox& messages_;
    FormatOptionsDialog& optionsDialog_;
    SelectionRectangle rectangle_;
    FormCanvas* canvas_;
    std::unique_ptr<Form2> scan_;
    // The colours the exports sample; an export keeps the one it started with.
    std::shared_ptr<const Picture> picture_;
    std::string picturePath_;
    bool exportRunning_ = false;
    bool abandonExport_ = false;
    bool placed_ = false;
    QScrollBar* hbar_;
    QScrollBar* vbar_;
    QLabel* readout_;
    QString selectionText_;  // the readout's text of the selection
    QLabel* pointer_;
    QTimer* refreshTimer_;
    ReliefPreviewWindow* preview_ = nullptr;
};
