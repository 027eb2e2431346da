#include "batch_arguments.h"

#include "strict_number.h"

#include <cmath>
#include <limits>

namespace {

std::optional<BatchFormat> formatNamed(const std::string& name)
{
    if (name == "ascii")
        return BatchFormat::Ascii;
    if (name == "vrml1")
        return BatchFormat::Vrml1;
    if (name == "vrml2")
        return BatchFormat::Vrml2;
    return std::nullopt;
}

// The edge lines hold single-precision numbers: every edge must fit one.
bool fitsEdgeLine(double v)
{
    return std::fabs(v) <= double(std::numeric_limits<float>::max());
}

std::optional<std::string> readRectangle(const std::string& text, SelectionRectangle& r)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() != 4)
        return "« " + text + " » : attendu GAUCHE,HAUT,LARGEUR,HAUTEUR, quatre nombres séparés par des virgules";
    const char* names[4] = {"la gauche", "le haut", "la largeur", "la hauteur"};
    double values[4];
    for (int i = 0; i < 4; ++i) {
        const StrictNumber n = readStrictNumber(parts[i]);
        if (n.problem)
            return std::string(names[i]) + " : " + *n.problem;
        values[i] = n.value;
    }
    r = {values[0], values[1], values[2], values[3]};
    if (r.width < 0)
        return "la largeur « " + parts[2] + " » est négative";
    if (r.height < 0)
        return "la hauteur « " + parts[3] + " » est négative";
    if (!fitsEdgeLine(r.left) || !fitsEdgeLine(r.top) || !fitsEdgeLine(r.left + r.width) ||
        !fitsEdgeLine(r.top + r.height))
        return "« " + text + " » : un bord du rectangle est hors des limites utilisables";
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& arguments) : args_(arguments) {}

    ParsedCommandLine run()
    {
        for (const std::string& a : args_) {
            if (a == "--help")
                return request(ParsedCommandLine::Request::Help);
            if (a == "--")
                break;
        }
        for (const std::string& a : args_) {
            if (a == "--version")
                return request(ParsedCommandLine::Request::Version);
            if (a == "--")
                break;
        }
        bool optionsEnded = false;
        for (std::size_t i = 0; i < args_.size() && result_.problem.empty(); ++i) {
            const std::string& a = args_[i];
            if (!optionsEnded && a == "--")
                optionsEnded = true;
            else if (!optionsEnded && a.size() > 1 && a[0] == '-')
                option(a, i);
            else
                positionals_.push_back(a);
        }
        if (result_.problem.empty())
            checkPositionals();
        result_.request = result_.problem.empty() ? ParsedCommandLine::Request::Export
                                                  : ParsedCommandLine::Request::Invalid;
        return result_;
    }

private:
    ParsedCommandLine request(ParsedCommandLine::Request r)
    {
        result_.request = r;
        return result_;
    }

    void fail(std::string problem) { result_.problem = std::move(problem); }

    // One option, with its value either after "=" or in the next argument.
    void option(const std::string& a, std::size_t& i)
    {
        const std::size_t equals = a.find('=');
        const std::string name = a.substr(0, equals);
        if (name == "--quiet") {
            if (equals != std::string::npos)
                return fail("--quiet : cette option ne prend pas de valeur");
            result_.arguments.quiet = true;
            return;
        }
        std::string* text = nullptr;
        if (name == "--depth")
            text = &result_.arguments.depth;
        else if (name == "--scale")
            text = &result_.arguments.scale;
        else if (name == "--step")
            text = &result_.arguments.step;
        else if (name != "--rect")
            return fail("option inconnue « " + name + " » (voir --help)");

        if (!given_.insert(name))
            return fail(name + " : option donnée plusieurs fois");
        std::string value;
        if (equals != std::string::npos) {
            value = a.substr(equals + 1);
        } else {
            if (i + 1 >= args_.size())
                return fail(name + " : valeur manquante");
            value = args_[++i];
        }

        if (!text) {
            SelectionRectangle r;
            if (const auto problem = readRectangle(value, r))
                return fail("--rect : " + *problem);
            result_.arguments.rectangle = r;
            return;
        }
        const StrictNumber n = readStrictNumber(value);
        if (n.problem)
            return fail(name + " : " + *n.problem);
        *text = value;
    }

    void checkPositionals()
    {
        static const char* names[3] = {"FORMAT", "IMAGE", "SORTIE"};
        if (positionals_.size() > 3)
            return fail("argument en trop « " + positionals_[3] + " » (attendu : FORMAT IMAGE SORTIE)");
        if (positionals_.size() < 3)
            return fail(std::string("argument ") + names[positionals_.size()] +
                        " manquant (attendu : FORMAT IMAGE SORTIE)");
        const std::optional<BatchFormat> format = formatNamed(positionals_[0]);
        if (!format)
            return fail("FORMAT : « " + positionals_[0] + " » inconnu (attendu : ascii, vrml1 ou vrml2)");
        if (positionals_[1].empty())
            return fail("IMAGE : chemin vide");
        if (positionals_[2].empty())
            return fail("SORTIE : chemin vide");
        result_.arguments.format = *format;
        result_.arguments.image = positionals_[1];
        result_.arguments.output = positionals_[2];
    }

    // The options that take a value, each allowed once.
    struct GivenOptions {
        std::vector<std::string> names;
        bool insert(const std::string& n)
        {
            for (const std::string& g : names)
                if (g == n)
                    return false;
            names.push_back(n);
            return true;
        }
    };

    const std::vector<std::string>& args_;
    std::vector<std::string> positionals_;
    GivenOptions given_;
    ParsedCommandLine result_;
};

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    return Parser(arguments).run();
}

std::string usageText()
{
    return "Usage : orvanel-batch FORMAT IMAGE SORTIE [options]\n"
           "\n"
           "Transforme la luminosité d'une image en relief et l'écrit dans le fichier SORTIE,\n"
           "octet pour octet comme le menu « Export » d'Orvanel.\n"
           "\n"
           "FORMAT :\n"
           "  ascii    nuage de points ASCII (« ASCII pour CATIA »)\n"
           "  vrml1    maillage VRML 1.0 (« VRML pour SW »)\n"
           "  vrml2    maillage VRML 2.0 (« VRML pour CATIA »)\n"
           "\n"
           "Options :\n"
           "  --depth M       profondeur maximale en mètres (défaut : 0.5)\n"
           "  --scale M       largeur en mètres par unité de fenêtre (défaut : 0.001)\n"
           "  --step U        pas de la grille en unités de fenêtre (défaut : 50)\n"
           "  --rect GAUCHE,HAUT,LARGEUR,HAUTEUR\n"
           "                  sélection en unités de fenêtre (défaut : toute l'image, à\n"
           "                  15 / 0.936 unités par pixel en largeur et 15 en hauteur,\n"
           "                  depuis le coin 0,0)\n"
           "  --quiet         n'affiche pas la barre de progression\n"
           "  --help          affiche cette aide\n"
           "  --version       affiche la version\n"
           "\n"
           "Les nombres s'écrivent avec un point décimal (0.25, 1e-3).\n"
           "\n"
           "Codes de sortie : 0 fichier écrit, 1 écriture impossible, 2 arguments ou\n"
           "paramètres refusés, 3 image illisible, 130 interrompu (Ctrl-C).\n"
           "Un fichier existant n'est remplacé qu'une fois le nouveau complet.\n";
}
