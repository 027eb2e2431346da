#pragma once

#include <string>

// Outer position of a window in 1/1440 inch of the screen.
struct WindowFrame {
    double left = 0;
    double top = 0;
    double width = 0;
};

// The main window as the exports see it: where it stands on the screen.
class MainWindowFrame {
public:
    virtual ~MainWindowFrame() = default;
    virtual WindowFrame frame() const = 0;
};

// Where an export marks each cell it has walked, at the cell's top-left
// corner in window units.
class CellProgress {
public:
    virtual ~CellProgress() = default;
    virtual void dot(double x, double y) = 0;
};

// The window that shows an export's progress ("Scan" on the desktop).
// Positions are in 1/1440 inch; dots are plotted at (x, y) in its own square
// 1/1440 inch unit.
class ProgressWindow : public CellProgress {
public:
    virtual void moveTo(double left, double top) = 0;
    virtual void show() = 0;  // also clears the dots of an earlier export
    virtual void hide() = 0;
};

// The share of an export done while it runs (on the desktop, a bar in the
// main window's status area with the time left and "Annuler"), then one
// line saying how it ended.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // `done` from 0 to 1 of the stage named `stage` (empty: the walk over the
    // cells), in the phase named `phase` (may be empty). A new stage counts
    // its time afresh.
    virtual void advance(const std::string& stage, const std::string& phase, double done) = 0;
    // The bar goes; `answer`, unless empty, is said in its place.
    virtual void end(const std::string& answer) = 0;
};
