#include "format_option.h"

#include "format_entry.h"

#include <cmath>

FormatOption solidOption(bool proposed)
{
    return {.key = "solid",
            .label = "Solide fermé",
            .help = "un solide fermé (socle plat au dos)",
            .field = &FormatOptions::solid,
            .proposed = proposed};
}

FormatOption baseOption()
{
    return {.key = "base",
            .label = "Épaisseur du socle en m",
            .valueName = "M",
            .help = "épaisseur du socle en mètres (défaut : un dixième de la profondeur)",
            .field = &FormatOptions::base,
            .defaultValue = [](const ExportJob& job) { return job.parameters.maxDepth / 10; },
            .followsDefault = true,
            .onlyWith = "solid"};
}

FormatOption maxTrianglesOption()
{
    return {.key = "max-triangles",
            .label = "Nombre maxi de triangles du fichier (0 = tous)",
            .valueName = "N",
            .help = "nombre maxi de triangles du fichier, murs et dos d'un solide\ncompris (0 = tous)",
            .field = &FormatOptions::maxTriangles,
            .maximum = 1e18};  // far beyond any grid, and still a whole 64-bit count
}

FormatOption maxErrorOption()
{
    return {.key = "max-error",
            .label = "Écart maxi en mm (0 = sans limite)",
            .valueName = "MM",
            .help = "écart vertical maxi entre la grille et la surface simplifiée,\nen millimètres (0 = sans limite)",
            .field = &FormatOptions::maxError};
}

FormatOption toleranceOption()
{
    return {.key = "tolerance",
            .label = "Tolérance en m (0 = passe par tous les points)",
            .valueName = "M",
            .help = "écart permis entre la surface et la grille en mètres (0 = exacte)",
            .field = &FormatOptions::tolerance};
}

const FormatOption* findOption(const std::vector<FormatOption>& options, std::string_view key)
{
    for (const FormatOption& option : options)
        if (option.key == key)
            return &option;
    return nullptr;
}

bool isFlag(const FormatOption& option)
{
    return std::holds_alternative<bool FormatOptions::*>(option.field);
}

double optionValue(const FormatOptions& options, const FormatOption& option)
{
    return std::visit([&options](auto member) { return static_cast<double>(options.*member); }, option.field);
}

void setOptionValue(FormatOptions& options, const FormatOption& option, double value)
{
    std::visit(
        [&options, value](auto member) {
            using Value = std::remove_reference_t<decltype(options.*member)>;
            options.*member = static_cast<Value>(value);
        },
        option.field);
}

FormatOptions defaultOptions(const std::vector<FormatOption>& described, const ExportJob& job)
{
    FormatOptions options;
    for (const FormatOption& option : described)
        if (option.defaultValue)
            setOptionValue(options, option, option.defaultValue(job));
    return options;
}

FormatOptions proposedOptions(const std::vector<FormatOption>& described, const ExportJob& job)
{
    FormatOptions options = defaultOptions(described, job);
    for (const FormatOption& option : described)
        if (option.proposed)
            setOptionValue(options, option, 1);
    return options;
}

std::string optionValueProblem(const FormatOption& option, double value)
{
    const bool count = std::holds_alternative<std::uint64_t FormatOptions::*>(option.field);
    if (count && (value < 0 || value != std::floor(value) || value > option.maximum))
        return "un nombre entier positif ou nul est attendu";
    if (value < 0)
        return "la valeur ne peut pas être négative";
    if (value > option.maximum)
        return "la valeur est trop grande";
    return {};
}
