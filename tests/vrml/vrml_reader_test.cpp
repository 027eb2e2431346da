// The VRML 1.0 and 2.0 files read back by Coin3D, an independent reader: they
// parse without a message, hold two triangles per cell, and the scene's
// bounding box is where the selection puts it. (Their bytes: text_files_test.)

#include "support/fakes.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoGetPrimitiveCountAction.h>
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/errors/SoReadError.h>
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

TEST(ReadBack, EveryCellIsTwoTrianglesWhereTheSelectionPutsThem)
{
    // Black above row 100, red 200 from it on; 60 x 50 cells.
    std::vector<std::uint32_t> colours(200 * 200, 0);
    std::fill(colours.begin() + 100 * 200, colours.end(), 200);
    const auto picture = std::make_shared<const Picture>(200, 200, colours);
    const SbVec3f farCorner(3, 2.5f, static_cast<float>(200.0 / 255.0 * 0.5));  // metres
    for (const char* id : {"vrml1", "vrml2"}) {
        const std::string file = exportToMemory(format(id), {{"0.5", "0.001 ", "50"}, {3000, 0, 2500, 0}, picture});
        coinMessages.clear();
        SoInput in;
        in.setBuffer(file.data(), file.size());
        SoSeparator* root = SoDB::readAll(&in);
        ASSERT_TRUE(root) << id;
        root->ref();
        const bool vrml2 = id == std::string("vrml2");
        EXPECT_TRUE(vrml2 ? in.isFileVRML2() : in.isFileVRML1()) << id;
        SoGetPrimitiveCountAction count(SbViewportRegion(640, 480));
        count.apply(root);
        EXPECT_EQ(count.getTriangleCount(), 2 * 3000) << id;
        SoGetBoundingBoxAction measure(SbViewportRegion(640, 480));
        measure.apply(root);
        const float scale = vrml2 ? 0.001f : 1;  // VRML 2.0 puts the points under a transform of this scale
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(measure.getBoundingBox().getMin()[axis], 0, 1e-6) << id << " axis " << axis;
            EXPECT_NEAR(measure.getBoundingBox().getMax()[axis], farCorner[axis] * scale, 1e-6 * scale)
                << id << " axis " << axis;
        }
        root->unref();
        EXPECT_TRUE(coinMessages.empty()) << ::testing::PrintToString(coinMessages);
    }
}

}  // namespace
