#pragma once

// Where a file puts the relief's points. The writers take them as the walk
// sees the relief, in metres: X to the right, Y down the picture, the depth
// away from the viewer. The VRML frame writes them so, in millimetres. The
// part ("Pièce posée") is that relief turned over about the X axis, a
// rotation that keeps every face's outer side, and moved so that its box
// starts at 0: Y up the picture, Z up out of the part, the back on Z = 0.
struct PointPlacement {
    bool turned = false;
    double topMm = 0;   // turned: Y of the picture's top row, the part's height
    double backMm = 0;  // turned: Z of the depth 0, the part's thickness

    double x(double metres) const { return 1000.0 * metres; }
    double y(double metres) const { return turned ? topMm - 1000.0 * metres : 1000.0 * metres; }
    double z(double depthMetres) const { return turned ? backMm - 1000.0 * depthMetres : 1000.0 * depthMetres; }
};
