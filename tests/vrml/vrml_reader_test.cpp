// Every mesh export read back by Coin3D, an independent VRML 1.0 / VRML 2.0
// reader: the file parses without a message, holds one coordinate node of four
// points and two triangles per cell, every index stays within its coordinate
// node, and the scene's bounding box is where the selection puts it.

#include "export/vrml1_export.h"
#include "export/vrml2_export.h"
#include "relief/export_command.h"
#include "support/fakes.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/VRMLnodes/SoVRMLCoordinate.h>
#include <Inventor/VRMLnodes/SoVRMLGroup.h>
#include <Inventor/VRMLnodes/SoVRMLIndexedFaceSet.h>
#include <Inventor/VRMLnodes/SoVRMLShape.h>
#include <Inventor/VRMLnodes/SoVRMLTransform.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

namespace {

// Everything Coin reports while reading or measuring.
std::vector<std::string> coinMessages;

void keepMessage(const SoError* error, void*)
{
    coinMessages.emplace_back(error->getDebugString().getString());
}

class CoinEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        SoDB::init();
        SoError::setHandlerCallback(keepMessage, nullptr);
        SoDebugError::setHandlerCallback(keepMessage, nullptr);
        SoReadError::setHandlerCallback(keepMessage, nullptr);
    }
    void TearDown() override { SoDB::finish(); }
};
const auto* const coin = ::testing::AddGlobalTestEnvironment(new CoinEnvironment);

// What the reader found in one file.
struct Scene {
    bool vrml1 = false, vrml2 = false;  // the header as Coin recognised it
    int coordinateNodes = 0;
    std::vector<int> pointsPerNode;
    int faceSets = 0;
    int triangles = 0;
    int otherFaces = 0;        // faces of other than three points
    int indicesOutside = 0;    // indices beyond their coordinate node
    std::vector<SbVec3f> transformScales;
    bool namedGroup = false;   // "DEF _0210FF38 Group" read as a VRML Group
    SbBox3f box;               // with every transform applied
    std::vector<std::string> messages;
};

// Counts the faces of a coordIndex list, each ended by -1.
void countFaces(const SoMFInt32& coordIndex, int points, Scene& scene)
{
    ++scene.faceSets;
    int run = 0;
    for (int i = 0; i < coordIndex.getNum(); ++i) {
        const int index = coordIndex[i];
        if (index == -1) {
            (run == 3 ? scene.triangles : scene.otherFaces) += 1;
            run = 0;
            continue;
        }
        ++run;
        if (index < 0 || index >= points)
            ++scene.indicesOutside;
    }
    if (run != 0)
        ++scene.otherFaces;
}

// Walks the graph in order. In VRML 1.0 a face set uses the last Coordinate3
// before it, within its Separator; in VRML 2.0 its own coord field.
void walk(SoNode* node, const SoCoordinate3*& current, Scene& scene)
{
    if (node->isOfType(SoCoordinate3::getClassTypeId())) {
        current = static_cast<const SoCoordinate3*>(node);
        ++scene.coordinateNodes;
        scene.pointsPerNode.push_back(current->point.getNum());
    } else if (node->isOfType(SoIndexedFaceSet::getClassTypeId())) {
        countFaces(static_cast<SoIndexedFaceSet*>(node)->coordIndex, current ? current->point.getNum() : 0, scene);
    } else if (node->isOfType(SoVRMLShape::getClassTypeId())) {
        SoNode* geometry = static_cast<SoVRMLShape*>(node)->geometry.getValue();
        if (geometry && geometry->isOfType(SoVRMLIndexedFaceSet::getClassTypeId())) {
            auto* faceSet = static_cast<SoVRMLIndexedFaceSet*>(geometry);
            SoNode* coord = faceSet->coord.getValue();
            int points = 0;
            if (coord && coord->isOfType(SoVRMLCoordinate::getClassTypeId())) {
                points = static_cast<SoVRMLCoordinate*>(coord)->point.getNum();
                ++scene.coordinateNodes;
                scene.pointsPerNode.push_back(points);
            }
            countFaces(faceSet->coordIndex, points, scene);
        }
    }
    if (node->isOfType(SoVRMLTransform::getClassTypeId()))
        scene.transformScales.push_back(static_cast<SoVRMLTransform*>(node)->scale.getValue());
    if (node->isOfType(SoGroup::getClassTypeId())) {
        const SoCoordinate3* inside = current;
        auto* group = static_cast<SoGroup*>(node);
        for (int i = 0; i < group->getNumChildren(); ++i)
            walk(group->getChild(i), inside, scene);
        if (!node->isOfType(SoSeparator::getClassTypeId()))
            current = inside;
    }
}

Scene readBack(const std::string& file)
{
    coinMessages.clear();
    Scene scene;
    SoInput in;
    in.setBuffer(file.data(), file.size());
    SoSeparator* root = SoDB::readAll(&in);
    scene.vrml1 = in.isFileVRML1();
    scene.vrml2 = in.isFileVRML2();
    if (root) {
        root->ref();
        const SoCoordinate3* current = nullptr;
        walk(root, current, scene);
        SoNode* named = SoNode::getByName("_0210FF38");
        scene.namedGroup = named && named->isOfType(SoVRMLGroup::getClassTypeId());
        SoGetBoundingBoxAction measure(SbViewportRegion(640, 480));
        measure.apply(root);
        scene.box = measure.getBoundingBox();
        root->unref();
    }
    scene.messages = coinMessages;
    if (!root)
        scene.messages.push_back("readAll returned no scene");
    return scene;
}

// Black above row 100, red 200 from it on.
std::shared_ptr<const Picture> blackOverRed()
{
    std::vector<std::uint32_t> colours(200 * 200, 0);
    std::fill(colours.begin() + 100 * 200, colours.end(), 200);
    return std::make_shared<const Picture>(200, 200, colours);
}

// Read without a message: per cell one coordinate node of four points and one
// face set of two triangles, every index inside its node; the points where the
// selection puts them, VRML 2.0's in millimetres under its scale.
TEST(ReadBack, EveryCellIsOneMeshWhereTheSelectionPutsIt)
{
    const float z200 = static_cast<float>(200.0 / 255.0 * 0.5);
    const struct {
        EdgeLines lines;
        int cells;  // 60 x 50 cells
    } walks[] = {{{40, 0, 500, 0}, 0}, {{3000, 0, 2500, 0}, 3000}};
    for (const char* id : {"vrml1", "vrml2"})
        for (const auto& w : walks) {
            SCOPED_TRACE(std::string(id) + " " + std::to_string(w.cells) + " cells");
            const Scene scene =
                readBack(exportToMemory(format(id), {{"0.5", "0.001 ", "50"}, w.lines, blackOverRed()}));
            const bool vrml2 = id == std::string("vrml2");
            EXPECT_TRUE(scene.messages.empty()) << ::testing::PrintToString(scene.messages);
            EXPECT_EQ(scene.coordinateNodes, w.cells);
            EXPECT_EQ(scene.pointsPerNode, std::vector<int>(w.cells, 4));
            EXPECT_EQ(scene.faceSets, w.cells);
            EXPECT_EQ(scene.triangles, 2 * w.cells);
            EXPECT_EQ(scene.otherFaces, 0);
            EXPECT_EQ(scene.indicesOutside, 0);
            EXPECT_EQ(vrml2 ? scene.vrml2 : scene.vrml1, true);
            EXPECT_EQ(scene.namedGroup, vrml2);
            EXPECT_EQ(scene.transformScales, vrml2 ? std::vector<SbVec3f>{SbVec3f(0.001f, 0.001f, 0.001f)}
                                                   : std::vector<SbVec3f>{});
            EXPECT_EQ(scene.box.isEmpty(), w.cells == 0);
            const float factor = vrml2 ? 0.001f : 1;
            for (int axis = 0; axis < 3 && w.cells; ++axis) {
                EXPECT_NEAR(scene.box.getMin()[axis], 0, 1e-6 * factor) << "axis " << axis;
                EXPECT_NEAR(scene.box.getMax()[axis], SbVec3f(3, 2.5f, z200)[axis] * factor, 1e-6 * factor)
                    << "axis " << axis;
            }
        }
}

// The reader itself must catch what it is there to catch.
TEST(VrmlReaderSelfCheck, ReportsBrokenFilesAndStrayIndices)
{
    EXPECT_FALSE(readBack("#VRML V2.0 utf8\r\nTransform { children [ Shape { ]\r\n").messages.empty());
    const Scene stray = readBack("#VRML V1.0 ascii\r\nSeparator {\r\nCoordinate3 { point [ 0 0 0, 1 0 0, 0 1 0 ] }\r\n"
                                 "IndexedFaceSet { coordIndex [ 0 2 1 -1 2 3 1 -1 ] }\r\n}\r\n");
    EXPECT_TRUE(stray.messages.empty());
    EXPECT_EQ(stray.indicesOutside, 1);
    EXPECT_EQ(stray.triangles, 2);
}

}  // namespace
