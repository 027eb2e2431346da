#include "batch_arguments.h"

#include "strict_number.h"

#include "relief/format_registry.h"

#include <QCommandLineParser>
#include <QStringList>

#include <cmath>

namespace {

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string s(const QString& text)
{
    return text.toStdString();
}

// Four numbers separated by commas, each read strictly.
std::optional<std::string> readFour(const std::string& text, const char* const names[4], const char* shape,
                                    double values[4])
{
    const QStringList parts = q(text).split(QLatin1Char(','));
    if (parts.size() != 4)
        return "« " + text + " » : attendu " + shape + ", quatre nombres séparés par des virgules";
    for (int i = 0; i < 4; ++i) {
        const StrictNumber n = readStrictNumber(s(parts[i]));
        if (n.problem)
            return std::string(names[i]) + " : " + *n.problem;
        values[i] = n.value;
    }
    return std::nullopt;
}

std::optional<std::string> readRectangle(const std::string& text, SelectionRectangle& r)
{
    static const char* const names[4] = {"la gauche", "le haut", "la largeur", "la hauteur"};
    double v[4];
    if (auto problem = readFour(text, names, "GAUCHE,HAUT,LARGEUR,HAUTEUR", v))
        return problem;
    r = {v[0], v[1], v[2], v[3]};
    if (r.width < 0)
        return std::string("la largeur est négative");
    if (r.height < 0)
        return std::string("la hauteur est négative");
    const std::pair<const char*, double> edges[] = {
        {"le bord gauche", r.left}, {"le bord haut", r.top}, {"le bord droit", r.left + r.width},
        {"le bord bas", r.top + r.height}};
    for (const auto& [name, value] : edges)
        if (std::fabs(value) > largestExactEdge)
            return std::string(name) + " est au-delà de 16777216 unités : il serait arrondi";
    return std::nullopt;
}

std::optional<std::string> readEdges(const std::string& text, EdgeLines& lines)
{
    static const char* const names[4] = {"le bord droit", "le bord gauche", "le bord bas", "le bord haut"};
    double v[4];
    if (auto problem = readFour(text, names, "DROITE,GAUCHE,BAS,HAUT", v))
        return problem;
    for (int i = 0; i < 4; ++i)
        if (std::fabs(v[i]) > double(std::numeric_limits<float>::max()))
            return std::string(names[i]) + " est hors des limites utilisables";
    lines = {float(v[0]), float(v[1]), float(v[2]), float(v[3])};
    return std::nullopt;
}

std::string formatList()
{
    std::string list;
    for (const FormatEntry& format : formatRegistry().all())
        list += (list.empty() ? "" : ", ") + std::string(format.id);
    return list;
}

class Reader {
public:
    explicit Reader(const std::vector<std::string>& arguments)
    {
        args_ << QStringLiteral("orvanel-batch");
        for (const std::string& a : arguments)
            args_ << q(a);
        for (const char* name : {"depth", "scale", "step", "rect", "edges", "base", "max-triangles", "tolerance",
                                 "preview"})
            parser_.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("valeur")));
        for (const char* name : {"quiet", "force", "solid", "as-typed", "help", "version"})
            parser_.addOption(QCommandLineOption(QString::fromLatin1(name)));
        parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    }

    ParsedCommandLine run()
    {
        // --help and --version win even over a line that does not parse.
        for (const QString& a : args_.mid(1)) {
            if (a == QLatin1String("--"))
                break;
            if (a == QLatin1String("--help"))
                return request(ParsedCommandLine::Request::Help);
            if (a == QLatin1String("--version"))
                request_ = ParsedCommandLine::Request::Version;
        }
        if (request_ == ParsedCommandLine::Request::Version)
            return request(request_);
        if (!parser_.parse(args_))
            fail(parseProblem());
        else
            readAll();
        result_.request =
            result_.problem.empty() ? ParsedCommandLine::Request::Export : ParsedCommandLine::Request::Invalid;
        return result_;
    }

private:
    ParsedCommandLine request(ParsedCommandLine::Request r)
    {
        result_.request = r;
        return result_;
    }

    void fail(std::string problem)
    {
        if (result_.problem.empty())
            result_.problem = std::move(problem);
    }

    // Qt's own parse errors are English: say them again in French.
    std::string parseProblem() const
    {
        if (!parser_.unknownOptionNames().isEmpty()) {
            const QString name = parser_.unknownOptionNames().constFirst();
            const bool singleDash = args_.contains(QLatin1Char('-') + name);
            return "option inconnue « " + s((singleDash ? QStringLiteral("-") : QStringLiteral("--")) + name) +
                   " » (voir --help)";
        }
        const QString error = parser_.errorText();
        const qsizetype open = error.indexOf(QLatin1Char('\'')), close = error.lastIndexOf(QLatin1Char('\''));
        if (open < 0 || close <= open)
            return "ligne de commande illisible (voir --help)";
        const std::string option = "« " + s(error.mid(open + 1, close - open - 1)) + " » : ";
        if (error.startsWith(QLatin1String("Unexpected value")))
            return option + "cette option ne prend pas de valeur";
        return option + "valeur manquante";
    }

    // The value of an option given at most once.
    std::optional<std::string> value(const char* name)
    {
        const QStringList values = parser_.values(QString::fromLatin1(name));
        if (values.size() > 1)
            fail(std::string("--") + name + " : option donnée plusieurs fois");
        if (values.isEmpty())
            return std::nullopt;
        return s(values.constFirst());
    }

    std::optional<double> number(const char* name)
    {
        const std::optional<std::string> text = value(name);
        if (!text)
            return std::nullopt;
        const StrictNumber n = readStrictNumber(*text);
        if (n.problem) {
            fail(std::string("--") + name + " : " + *n.problem);
            return std::nullopt;
        }
        return n.value;
    }

    void readAll()
    {
        BatchArguments& a = result_.arguments;
        a.quiet = parser_.isSet(QStringLiteral("quiet"));
        a.force = parser_.isSet(QStringLiteral("force"));
        a.solid = parser_.isSet(QStringLiteral("solid"));
        a.asTyped = parser_.isSet(QStringLiteral("as-typed"));
        const std::pair<const char*, std::string*> fields[] = {
            {"depth", &a.fields.depth}, {"scale", &a.fields.scale}, {"step", &a.fields.step}};
        for (const auto& [name, text] : fields)
            if (const std::optional<std::string> given = value(name)) {
                // With --as-typed the text is read as the window's field reads it.
                if (!a.asTyped)
                    if (const StrictNumber n = readStrictNumber(*given); n.problem)
                        fail(std::string("--") + name + " : " + *n.problem);
                *text = *given;
            }
        if (const auto text = value("rect")) {
            SelectionRectangle r;
            if (const auto problem = readRectangle(*text, r))
                fail("--rect : " + *problem);
            a.rectangle = r;
        }
        if (const auto text = value("edges")) {
            EdgeLines lines;
            if (const auto problem = readEdges(*text, lines))
                fail("--edges : " + *problem);
            a.edges = lines;
        }
        if (a.rectangle && a.edges)
            fail("--rect et --edges : donnez l'un ou l'autre");
        a.base = number("base");
        if (const auto triangles = number("max-triangles")) {
            if (*triangles < 0 || *triangles != std::floor(*triangles) || *triangles > 1e18)
                fail("--max-triangles : un nombre entier positif ou nul est attendu");
            else
                a.maxTriangles = static_cast<std::uint64_t>(*triangles);
        }
        if (const auto tolerance = number("tolerance")) {
            if (*tolerance < 0)
                fail("--tolerance : la tolérance ne peut pas être négative");
            a.tolerance = *tolerance;
        }
        if (const auto preview = value("preview"))
            a.preview = *preview;
        readPositionals();
    }

    void readPositionals()
    {
        BatchArguments& a = result_.arguments;
        const QStringList positionals = parser_.positionalArguments();
        const bool pictureOnly = !positionals.isEmpty() && positionals.constFirst() == QLatin1String("preview");
        const char* const names[3] = {"FORMAT", "IMAGE", pictureOnly ? "IMAGE.png" : "SORTIE"};
        if (positionals.size() > 3)
            return fail("argument en trop « " + s(positionals[3]) + " » (attendu : FORMAT IMAGE SORTIE)");
        if (positionals.size() < 3)
            return fail(std::string("argument ") + names[positionals.size()] +
                        " manquant (attendu : FORMAT IMAGE SORTIE)");
        a.format = s(positionals[0]);
        if (!pictureOnly && !formatRegistry().find(a.format))
            return fail("FORMAT : « " + a.format + " » inconnu (attendu : " + formatList() + " ou preview)");
        a.image = s(positionals[1]);
        a.output = s(positionals[2]);
        if (a.image.empty())
            return fail("IMAGE : chemin vide");
        if (a.output.empty())
            return fail(std::string(names[2]) + " : chemin vide");
        if (pictureOnly) {
            a.preview = a.output;
            a.output.clear();
        }
    }

    QStringList args_;
    QCommandLineParser parser_;
    ParsedCommandLine::Request request_ = ParsedCommandLine::Request::Export;
    ParsedCommandLine result_;
};

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    return Reader(arguments).run();
}

std::string usageText()
{
    std::string formats;
    for (const FormatEntry& format : formatRegistry().all()) {
        std::string id(format.id);
        id.resize(std::max<std::size_t>(id.size(), 8), ' ');
        formats += "  " + id + " « " + std::string(format.menuCaption) + " » (." + std::string(format.extension) + ")\n";
    }
    return "Usage : orvanel-batch FORMAT IMAGE SORTIE [options]\n"
           "        orvanel-batch preview IMAGE IMAGE.png [options]\n"
           "\n"
           "Transforme la luminosité d'une image en relief et l'écrit dans le fichier SORTIE\n"
           "(« - » : la sortie standard), octet pour octet comme le menu « Export » d'Orvanel.\n"
           "\n"
           "FORMAT :\n" +
           formats +
           "  preview  seulement une image PNG ombrée du relief (1200 x 900)\n"
           "\n"
           "Options :\n"
           "  --depth M       profondeur maximale en mètres (défaut : 0.5)\n"
           "  --scale M       largeur en mètres par unité de fenêtre (défaut : 0.001)\n"
           "  --step U        pas de la grille en unités de fenêtre (défaut : 50)\n"
           "  --rect GAUCHE,HAUT,LARGEUR,HAUTEUR\n"
           "                  sélection en unités de fenêtre (défaut : toute l'image, à\n"
           "                  15 / 0.936 unités par pixel en largeur et 15 en hauteur,\n"
           "                  depuis le coin 0,0) ; bords jusqu'à 16777216\n"
           "  --edges DROITE,GAUCHE,BAS,HAUT\n"
           "                  les quatre bords tels que la fenêtre les garde (simple précision),\n"
           "                  au lieu de --rect\n"
           "  --as-typed      lit --depth, --scale et --step comme les champs de la fenêtre\n"
           "                  (« 0,5 » y vaut 0) ; avec --edges, rejoue un export de la fenêtre\n"
           "  --solid         stl, obj, step : un solide fermé (socle plat au dos)\n"
           "  --base M        épaisseur du socle en mètres (défaut : un dixième de la profondeur)\n"
           "  --max-triangles N  stl, obj : nombre maxi de triangles de la surface (0 = tous)\n"
           "  --tolerance M   step : écart permis entre la surface et la grille (0 = exacte)\n"
           "  --preview IMAGE.png  écrit aussi une image ombrée du relief (« - » : la sortie\n"
           "                  standard)\n"
           "  --force         écrit même une sélection sans cellule, ou un fichier plus grand que\n"
           "                  la place libre annoncée (systèmes de fichiers compressés)\n"
           "  --quiet         n'affiche ni la barre de progression ni les remarques\n"
           "  --help          affiche cette aide\n"
           "  --version       affiche la version\n"
           "\n"
           "Les nombres s'écrivent avec un point décimal (0.25, 1e-3).\n"
           "\n"
           "Codes de sortie : 0 fichier écrit, 1 écriture impossible (place, droits, cible\n"
           "qui n'est pas un fichier ordinaire), 2 arguments ou paramètres refusés, 3 image\n"
           "illisible, endommagée ou trop grande, 128 + signal si interrompu (130 : Ctrl-C).\n"
           "Un fichier existant n'est remplacé qu'une fois le nouveau complet.\n";
}
