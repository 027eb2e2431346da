#include "export_parameters.h"

#include "export_messages.h"
#include "number_reading.h"

#include <algorithm>
#include <cmath>

namespace {

std::string overflowMessage(const char* label)
{
    return refusalMessage(std::string("Le nombre du champ « ") + label + " » est trop grand.");
}

}  // namespace

ParameterReading readParameters(const FieldTexts& fields, std::optional<double> depthFloor)
{
    ParameterReading reading;
    const FieldNumber scale = readFieldNumber(fields.scale);
    const FieldNumber depth = readFieldNumber(fields.depth);
    const FieldNumber step = readFieldNumber(fields.step);
    if (scale.overflow)
        reading.problem = overflowMessage(field_label::scale);
    else if (depth.overflow)
        reading.problem = overflowMessage(field_label::depth);
    else if (step.overflow)
        reading.problem = overflowMessage(field_label::step);

    reading.parameters.scale = scale.value;
    reading.parameters.maxDepth = depth.value;
    if (depthFloor && reading.parameters.maxDepth < *depthFloor)
        reading.parameters.maxDepth = *depthFloor;
    reading.parameters.step = step.value;
    return reading;
}

Selection selectionFromLines(const EdgeLines& lines)
{
    Selection s;
    s.left = lines.leftEdge < lines.rightEdge ? lines.leftEdge : lines.rightEdge;
    s.top = lines.topEdge < lines.bottomEdge ? lines.topEdge : lines.bottomEdge;
    s.width = static_cast<float>(std::fabs(double(lines.rightEdge) - double(lines.leftEdge)));
    s.height = static_cast<float>(std::fabs(double(lines.bottomEdge) - double(lines.topEdge)));
    return s;
}

double largestCoordinate(const Selection& s)
{
    return std::max({std::fabs(double(s.left)), std::fabs(double(s.top)), std::fabs(double(s.left) + double(s.width)),
                     std::fabs(double(s.top) + double(s.height))});
}

std::optional<std::string> checkWalk(const ExportParameters& parameters, const Selection& s)
{
    const double step = parameters.step;
    const double largest = largestCoordinate(s);
    if (step == 0 || (step > 0 && largest + step == largest))
        return refusalMessage(std::string("Le pas (« ") + field_label::step + " ») est nul ou trop petit pour parcourir la sélection.");
    // Written coordinates stay within the selection; the factor 2 leaves room
    // for the rounding of the walk.
    if (step > 0 && !std::isfinite(parameters.scale * largest * 2))
        return refusalMessage("La largeur en m/pixel donne des coordonnées trop grandes pour être écrites.");
    return std::nullopt;
}
