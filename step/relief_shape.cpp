#include "relief_shape.h"

#include "failure_text.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeSolid.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepBuilderAPI_Sewing.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepLib.hxx>
#include <Precision.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shell.hxx>
#include <TopoDS_Solid.hxx>
#include <gp.hxx>
#include <gp_Trsf.hxx>

#include <new>

namespace {

// A planar side: the surface's boundary curve and the straight line under it
// on the back plane, joined by two vertical edges.
TopoDS_Face sideFace(const Handle(Geom_Curve)& boundary, double backZ)
{
    const gp_Pnt start = boundary->Value(boundary->FirstParameter());
    const gp_Pnt end = boundary->Value(boundary->LastParameter());
    const gp_Pnt startBack(start.X(), start.Y(), backZ);
    const gp_Pnt endBack(end.X(), end.Y(), backZ);
    BRepBuilderAPI_MakeWire wire;
    wire.Add(BRepBuilderAPI_MakeEdge(boundary).Edge());
    wire.Add(BRepBuilderAPI_MakeEdge(end, endBack).Edge());
    wire.Add(BRepBuilderAPI_MakeEdge(endBack, startBack).Edge());
    wire.Add(BRepBuilderAPI_MakeEdge(startBack, start).Edge());
    return BRepBuilderAPI_MakeFace(wire.Wire(), Standard_True).Face();
}

} // namespace

TopoDS_Shape reliefFace(const Handle(Geom_BSplineSurface)& surface)
{
    return BRepBuilderAPI_MakeFace(surface, Precision::Confusion()).Face();
}

TopoDS_Shape placedShape(const TopoDS_Shape& shape, const PointPlacement& placement)
{
    if (!placement.turned)
        return shape;
    gp_Trsf halfTurn;
    halfTurn.SetMirror(gp::OX());  // the symmetry about an axis: a half turn
    gp_Trsf move;
    move.SetTranslation(gp_Vec(0, placement.topMm, placement.backMm));
    return BRepBuilderAPI_Transform(shape, move * halfTurn, Standard_True).Shape();
}

TopoDS_Shape reliefSolid(const Handle(Geom_BSplineSurface)& surface, double backZ, std::string& failure,
                         const Message_ProgressRange& progress)
{
    // What is being made, for the reason when OpenCASCADE gives up.
    const char* making = "la face du relief";
    try {
        double u0, u1, v0, v1;
        surface->Bounds(u0, u1, v0, v1);
        BRepBuilderAPI_Sewing sewing(Precision::Confusion() * 10);
        sewing.Add(reliefFace(surface));
        making = "les faces des côtés";
        sewing.Add(sideFace(surface->UIso(u0), backZ));
        sewing.Add(sideFace(surface->UIso(u1), backZ));
        sewing.Add(sideFace(surface->VIso(v0), backZ));
        sewing.Add(sideFace(surface->VIso(v1), backZ));
        making = "la face du dos";
        BRepBuilderAPI_MakePolygon back(gp_Pnt(u0, v0, backZ), gp_Pnt(u1, v0, backZ), gp_Pnt(u1, v1, backZ),
                                        gp_Pnt(u0, v1, backZ), Standard_True);
        sewing.Add(BRepBuilderAPI_MakeFace(back.Wire(), Standard_True).Face());
        making = "la couture des six faces";
        sewing.Perform(progress);
        if (progress.UserBreak()) {
            failure = "la couture a été interrompue";
            return {};
        }

        TopExp_Explorer shells(sewing.SewedShape(), TopAbs_SHELL);
        if (!shells.More()) {
            failure = "la couture des six faces du bloc n'a pas donné d'enveloppe fermée";
            return {};
        }
        making = "le solide";
        TopoDS_Solid solid = BRepBuilderAPI_MakeSolid(TopoDS::Shell(shells.Current())).Solid();
        if (!BRepLib::OrientClosedSolid(solid)) {
            failure = "le bloc cousu n'a pas d'intérieur à orienter";
            return {};
        }
        return solid;
    } catch (const Standard_Failure& error) {
        failure = std::string("la fermeture du bloc a échoué sur ") + making + " : " + failureText(error);
        return {};
    } catch (const std::bad_alloc& error) {
        failure = std::string("la fermeture du bloc a échoué sur ") + making + " : " + failureText(error);
        return {};
    }
}
