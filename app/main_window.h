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

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;

// The dialogs and message box the main window works through.
struct DesktopFacilities {
    OpenDialog& openDialog;
    SaveDialog& saveDialog;
    MessageBox& messages;
    FormatOptionsDialog& optionsDialog;
};

// The main window: the picture with the selection rectangle, the three
// parameter fields, the import command and the "Export" menu.
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
    QAction* export_;
    QAction* exportcat;
    QAction* ascii;

public slots:
    void import_Click();
    void export_Click();
    void exportcat_Click();
    void ascii_Click();
    void Form_MouseDown(int button, int shift, float x, float y);
    void Form_MouseMove(int button, int shift, float x, float y);
    void Form_MouseUp(int button, int shift, float x, float y);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFields();
    void buildMenu();
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
};
