#include "format_option.h"

#include "format_entry.h"
#include "part_grid.h"

#include <algorithm>
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
            .onlyWith = "solid",
            .onlyIn = Placement::VrmlFrame};
}

FormatOption maxTrianglesOption()
{
    return {.key = "max-triangles",
            .label = "Nombre maxi de triangles du fichier (0 = tous)",
            .valueName = "N",
            .help = "nombre maxi de triangles du fichier, murs et dos d'un solide\ncompris (0 = tous)",
            .field = &FormatOptions::maxTriangles,
            .maximum = 1e18,  // far beyond any grid, and still a whole 64-bit count
            .onlyIn = Placement::VrmlFrame};
}

FormatOption maxErrorOption()
{
    return {.key = "max-error",
            .label = "Écart maxi en mm (0 = sans limite)",
            .valueName = "MM",
            .help = "écart vertical maxi entre la grille et la surface simplifiée,\nen millimètres (0 = sans limite)",
            .field = &FormatOptions::maxError,
            .onlyIn = Placement::VrmlFrame};
}

FormatOption toleranceOption()
{
    return {.key = "tolerance",
            .label = "Tolérance en m (0 = passe par tous les points)",
            .valueName = "M",
            .help = "écart permis entre la surface et la grille en mètres (0 = exacte)",
            .field = &FormatOptions::tolerance,
            .onlyIn = Placement::VrmlFrame};
}

FormatOption placementOption()
{
    return {.key = "frame",
            .label = "Placement",
            .valueName = "part|vrml",
            .help = "« part » (défaut) : pièce posée, X à droite et Y vers le haut comme\n"
                    "l'image se voit, Z vers le haut, depuis 0,0,0, un point par pixel,\n"
                    "tailles en mm (--width, --relief, --base) ; « vrml » : le repère\n"
                    "et la grille des fichiers VRML, comme avant",
            .field = &FormatOptions::placement,
            .choices = {{"part", "Pièce posée"}, {"vrml", "Repère des fichiers VRML"}}};
}

FormatOption widthOption()
{
    return {.key = "width",
            .label = "Largeur de la pièce en mm",
            .valueName = "MM",
            .help = "largeur de la pièce en millimètres, la hauteur suivant à pixels\n"
                    "carrés (défaut : la sélection à l'échelle de --scale, l'unité\n"
                    "verticale pour les deux axes)",
            .field = &FormatOptions::widthMm,
            .defaultValue = [](const ExportJob& job) { return defaultPartWidthMm(job); },
            .followsDefault = true,
            .onlyIn = Placement::Part};
}

FormatOption reliefOption()
{
    return {.key = "relief",
            .label = "Hauteur du relief en mm",
            .valueName = "MM",
            .help = "hauteur du relief en millimètres, de son point le plus bas au\nplus haut (défaut : --depth)",
            .field = &FormatOptions::reliefMm,
            .defaultValue = [](const ExportJob& job) { return defaultReliefMm(job); },
            .followsDefault = true,
            .onlyIn = Placement::Part};
}

FormatOption partBaseOption()
{
    return {.key = "base",
            .label = "Épaisseur du socle en mm",
            .valueName = "MM",
            .help = "épaisseur du socle en millimètres (défaut : un dixième du relief)",
            .field = &FormatOptions::baseMm,
            .defaultValue = [](const ExportJob& job) { return defaultReliefMm(job) / 10; },
            .followsDefault = true,
            .onlyWith = "solid",
            .onlyIn = Placement::Part};
}

// One help for both, as --help lists an option once.
constexpr std::string_view everyHelp =
    "un point de la grille tous les N pixels (défaut : 1 ; step : le plus\npetit N qui donne au plus 250 000 points)";

FormatOption everyOption()
{
    return {.key = "every",
            .label = "Un point tous les N pixels",
            .valueName = "N",
            .help = everyHelp,
            .field = &FormatOptions::every,
            .maximum = 1e9,
            .minimum = 1,
            .onlyIn = Placement::Part};
}

FormatOption boundedEveryOption()
{
    FormatOption option = everyOption();
    option.defaultValue = [](const ExportJob& job) { return fewestPixelsAPoint(job, defaultStepPoints); };
    option.followsDefault = true;
    return option;
}

FormatOption invertOption()
{
    return {.key = "invert",
            .label = "Clair = creux",
            .help = "clair = creux (défaut : clair = haut)",
            .field = &FormatOptions::invert,
            .onlyIn = Placement::Part};
}

FormatOption partMaxTrianglesOption()
{
    return {.key = "max-triangles",
            .label = "Nombre maxi de triangles du fichier, murs et dos compris (0 = tous)",
            .valueName = "N",
            .help = "nombre maxi de triangles de tout le fichier, murs et dos d'un\n"
                    "solide compris (défaut : 500 000 ; 0 = tous)",
            .field = &FormatOptions::partMaxTriangles,
            .maximum = 1e18,
            .defaultValue = [](const ExportJob&) { return double(defaultPartTriangles); },
            .onlyIn = Placement::Part};
}

FormatOption partMaxErrorOption()
{
    return {.key = "max-error",
            .label = "Écart maxi en mm (0 = sans limite)",
            .valueName = "MM",
            .help = "écart vertical maxi entre les pixels et la surface simplifiée,\n"
                    "en millimètres (défaut : 0.01 ; 0 = sans limite)",
            .field = &FormatOptions::partMaxError,
            .defaultValue = [](const ExportJob&) { return defaultPartErrorMm; },
            .onlyIn = Placement::Part};
}

FormatOption partToleranceOption()
{
    return {.key = "tolerance",
            .label = "Tolérance en mm (0 = passe par tous les points)",
            .valueName = "MM",
            .help = "écart permis entre la surface et la grille en millimètres\n(0 = exacte)",
            .field = &FormatOptions::partToleranceMm,
            .onlyIn = Placement::Part};
}

const FormatOption* findOption(const std::vector<FormatOption>& options, std::string_view key,
                               std::optional<Placement> placement)
{
    for (const FormatOption& option : options)
        if (option.key == key && (!placement || appliesIn(option, *placement)))
            return &option;
    return nullptr;
}

bool appliesIn(const FormatOption& option, Placement placement)
{
    return !option.onlyIn || *option.onlyIn == placement;
}

bool offersPlacement(const std::vector<FormatOption>& options)
{
    return std::any_of(options.begin(), options.end(), [](const FormatOption& option) {
        return std::holds_alternative<Placement FormatOptions::*>(option.field);
    });
}

Placement placementOf(const std::vector<FormatOption>& described, const FormatOptions& options)
{
    return offersPlacement(described) ? options.placement : Placement::VrmlFrame;
}

bool isFlag(const FormatOption& option)
{
    return std::holds_alternative<bool FormatOptions::*>(option.field);
}

bool isChoice(const FormatOption& option)
{
    return !option.choices.empty();
}

std::optional<double> choiceNumber(const FormatOption& option, std::string_view key)
{
    for (std::size_t i = 0; i < option.choices.size(); ++i)
        if (option.choices[i].key == key)
            return double(i);
    return std::nullopt;
}

double optionValue(const FormatOptions& options, const FormatOption& option)
{
    return std::visit(
        [&options](auto member) {
            using Value = std::remove_reference_t<decltype(options.*member)>;
            if constexpr (std::is_enum_v<Value>)
                return static_cast<double>(static_cast<int>(options.*member));
            else
                return static_cast<double>(options.*member);
        },
        option.field);
}

void setOptionValue(FormatOptions& options, const FormatOption& option, double value)
{
    std::visit(
        [&options, value](auto member) {
            using Value = std::remove_reference_t<decltype(options.*member)>;
            if constexpr (std::is_enum_v<Value>)
                options.*member = static_cast<Value>(static_cast<int>(value));
            else
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
    if (count && (value < option.minimum || value != std::floor(value) || value > option.maximum))
        return option.minimum > 0 ? "un nombre entier d'au moins 1 est attendu"
                                  : "un nombre entier positif ou nul est attendu";
    if (value < 0)
        return "la valeur ne peut pas être négative";
    if (value > option.maximum)
        return "la valeur est trop grande";
    return {};
}
