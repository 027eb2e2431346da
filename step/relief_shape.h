#pragma once

#include <Geom_BSplineSurface.hxx>
#include <Message_ProgressRange.hxx>
#include <TopoDS_Shape.hxx>

#include "relief/point_placement.h"

#include <string>

// The surface's whole domain as one face.
TopoDS_Shape reliefFace(const Handle(Geom_BSplineSurface)& surface);

// The block carved by the surface: the face, four planar sides down to the
// plane Z = `backZ` and the planar back face there, sewn into one closed
// solid whose faces point outwards. `backZ` must lie beyond the surface.
// A null shape when OpenCASCADE cannot close it, `failure` then saying which
// step failed and why, in French. The sewing counts its work in `progress`,
// and stops when it is told to.
TopoDS_Shape reliefSolid(const Handle(Geom_BSplineSurface)& surface, double backZ, std::string& failure,
                         const Message_ProgressRange& progress = Message_ProgressRange());

// The shape, built in millimetres as the relief's points come (X to the
// right, Y down the picture, Z the depth), where `placement` puts them: a
// half turn about the X axis and a move, its geometry transformed.
TopoDS_Shape placedShape(const TopoDS_Shape& shape, const PointPlacement& placement);
