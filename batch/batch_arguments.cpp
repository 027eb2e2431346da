#include "batch_arguments.h"

#include "strict_number.h"

#include "export/standard_formats.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>

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

std::optional<std::string> readRectangle(const std::string& text, BatchArguments& a)
{
    static const char* const names[4] = {"la gauche", "le haut", "la largeur", "la hauteur"};
    double v[4];
    if (auto problem = readFour(text, names, "GAUCHE,HAUT,LARGEUR,HAUTEUR", v))
        return problem;
    const SelectionRectangle r{v[0], v[1], v[2], v[3]};
    if (r.width < 0)
        return std::string("la largeur est négative");
    if (r.height < 0)
        return std::string("la hauteur est négative");
    const std::pair<const char*, double> edges[] = {
        {"le bord gauche", r.left}, {"le bord haut", r.top}, {"le bord droit", r.left + r.width},
        {"le bord bas", r.top + r.height}};
    for (const auto& [name, value] : edges)
        if (std::fabs(value) > largestExactEdge)
            return std::string(name) + " est au-delà de " + std::to_string(std::int64_t(largestExactEdge)) +
                   " unités : il serait arrondi";
    a.rectangle = r;
    return std::nullopt;
}

std::optional<std::string> readEdges(const std::string& text, BatchArguments& a)
{
    static const char* const names[4] = {"le bord droit", "le bord gauche", "le bord bas", "le bord haut"};
    double v[4];
    if (auto problem = readFour(text, names, "DROITE,GAUCHE,BAS,HAUT", v))
        return problem;
    for (int i = 0; i < 4; ++i)
        if (std::fabs(v[i]) > double(std::numeric_limits<float>::max()))
            return std::string(names[i]) + " est hors des limites utilisables";
    a.edges = EdgeLines{float(v[0]), float(v[1]), float(v[2]), float(v[3])};
    return std::nullopt;
}

// A field's number: checked strictly unless --as-typed, where the text is
// read as the window's field reads it; --as-typed is read first.
std::optional<std::string> readField(const std::string& text, std::string& field, const BatchArguments& a)
{
    if (!a.asTyped)
        if (const StrictNumber n = readStrictNumber(text); n.problem)
            return n.problem;
    field = text;
    return std::nullopt;
}

// One option of the command line: its name, the name of its value in the
// usage (none for a flag), its help, and what reading its value does.
struct BatchOption {
    std::string name;
    std::string valueName;
    std::string help;  // French, wrapped to the terminal's width by the usage
    std::function<std::optional<std::string>(const std::string& value, BatchArguments&)> read;
};

const char* const defaultsNote = "(défaut : ";

// The options in the order --help lists them: the fields, the selection,
// then every format's options, then the program's own.
std::vector<BatchOption> batchOptions()
{
    std::vector<BatchOption> options = {
        {"depth", "M", std::string("profondeur maximale en mètres ") + defaultsNote + "0.5)",
         [](const std::string& v, BatchArguments& a) { return readField(v, a.fields.depth, a); }},
        {"scale", "M", std::string("largeur en mètres par unité de fenêtre ") + defaultsNote + "0.001)",
         [](const std::string& v, BatchArguments& a) { return readField(v, a.fields.scale, a); }},
        {"step", "U", std::string("pas de la grille en unités de fenêtre ") + defaultsNote + "50)",
         [](const std::string& v, BatchArguments& a) { return readField(v, a.fields.step, a); }},
        {"rect", "GAUCHE,HAUT,LARGEUR,HAUTEUR",
         "sélection en unités de fenêtre (défaut : toute l'image, à\n15 / 0.936 unités par pixel en largeur et 15 en "
         "hauteur,\ndepuis le coin 0,0) ; bords jusqu'à 16777216",
         readRectangle},
        {"edges", "DROITE,GAUCHE,BAS,HAUT",
         "les quatre bords tels que la fenêtre les garde (simple précision),\nau lieu de --rect", readEdges},
        {"as-typed", "",
         "lit --depth, --scale et --step comme les champs de la fenêtre\n(« 0,5 » y vaut 0) ; avec --edges, rejoue un "
         "export de la fenêtre",
         [](const std::string&, BatchArguments& a) {
             a.asTyped = true;
             return std::optional<std::string>();
         }},
    };
    // Each format option once, with the formats that take it: a key that
    // stands for one thing in each placement ("base": mm or m) says both.
    struct Keyed {
        const FormatOption* option;
        std::string formats;
        const FormatOption* inVrmlFrame = nullptr;  // the other placement's, when the key has two
    };
    std::vector<Keyed> formatOptions;
    const auto addFormat = [](std::string& formats, std::string_view id) {
        if (formats.find(std::string(id)) == std::string::npos)
            formats += (formats.empty() ? "" : ", ") + std::string(id);
    };
    for (const FormatEntry& format : formatRegistry().all())
        for (const FormatOption& option : format.options) {
            auto known = std::find_if(formatOptions.begin(), formatOptions.end(),
                                      [&option](const Keyed& o) { return o.option->key == option.key; });
            const bool vrmlOnly = option.onlyIn == Placement::VrmlFrame;
            if (known == formatOptions.end()) {
                formatOptions.push_back({&option, {}});
                known = formatOptions.end() - 1;
            } else if (vrmlOnly && known->option->onlyIn == Placement::Part) {
                known->inVrmlFrame = &option;
            } else if (option.onlyIn == Placement::Part && known->option->onlyIn == Placement::VrmlFrame) {
                known->inVrmlFrame = known->option;
                known->option = &option;
            }
            addFormat(known->formats, format.id);
        }
    for (const Keyed& keyed : formatOptions) {
        const FormatOption* option = keyed.option;
        std::string help = keyed.formats + " : " + std::string(option->help);
        if (keyed.inVrmlFrame)
            help += " ; avec --frame vrml : " + std::string(keyed.inVrmlFrame->help);
        else if (option->onlyIn)
            help = keyed.formats + (*option->onlyIn == Placement::Part ? ", pièce posée" : ", --frame vrml") + " : " +
                   std::string(option->help);
        options.push_back({std::string(option->key), std::string(option->valueName), help,
                           [option](const std::string& v, BatchArguments& a) -> std::optional<std::string> {
                               double value = 1;
                               if (isChoice(*option)) {
                                   const std::optional<double> chosen = choiceNumber(*option, v);
                                   if (!chosen)
                                       return "« " + v + " » : attendu " + std::string(option->valueName);
                                   value = *chosen;
                               } else if (!isFlag(*option)) {
                                   const StrictNumber n = readStrictNumber(v);
                                   if (n.problem)
                                       return n.problem;
                                   value = n.value;
                                   // Both placements' options of a key take the same numbers.
                                   if (std::string problem = optionValueProblem(*option, value); !problem.empty())
                                       return problem;
                               }
                               a.formatOptions[std::string(option->key)] = value;
                               return std::nullopt;
                           }});
    }
    const auto flag = [](bool BatchArguments::*member) {
        return [member](const std::string&, BatchArguments& a) {
            a.*member = true;
            return std::optional<std::string>();
        };
    };
    const auto none = [](const std::string&, BatchArguments&) { return std::optional<std::string>(); };
    options.push_back({"preview", "IMAGE.png", "écrit aussi une image ombrée du relief (« - » : la sortie standard)",
                       [](const std::string& v, BatchArguments& a) {
                           a.preview = v;
                           return std::optional<std::string>();
                       }});
    options.push_back({"report", "FICHIER.json",
                       "écrit les mesures du maillage écrit (triangles, écarts,\nsolide fermé) en JSON ; formats maillés",
                       [](const std::string& v, BatchArguments& a) {
                           a.report = v;
                           return std::optional<std::string>();
                       }});
    options.push_back({"threads", "N",
                       "fils qui mettent le fichier en forme, de 1 à 256 (défaut : un par\ncœur du processeur)",
                       [](const std::string& v, BatchArguments& a) -> std::optional<std::string> {
                           const StrictNumber n = readStrictNumber(v);
                           if (n.problem)
                               return n.problem;
                           if (!(n.value >= 1 && n.value <= 256) || n.value != std::floor(n.value))
                               return "« " + v + " » : attendu un nombre entier de 1 à 256";
                           a.threads = static_cast<unsigned>(n.value);
                           return std::nullopt;
                       }});
    options.push_back({"force", "",
                       "écrit même une sélection sans cellule ou hors de l'image, ou un\nfichier plus grand que la "
                       "place libre annoncée (systèmes de fichiers\ncompressés)",
                       flag(&BatchArguments::force)});
    options.push_back({"quiet", "", "n'affiche ni la barre de progression ni les remarques", flag(&BatchArguments::quiet)});
    options.push_back({"help", "", "affiche cette aide", none});
    options.push_back({"version", "", "affiche la version", none});
    return options;
}

// The placement the command line asks for a format: the choice's first
// value unless --frame is given.
Placement placementGiven(const FormatEntry& format, const BatchArguments& a)
{
    FormatOptions options;
    if (const FormatOption* frame = findOption(format.options, "frame")) {
        const auto given = a.formatOptions.find("frame");
        setOptionValue(options, *frame, given == a.formatOptions.end() ? 0 : given->second);
    }
    return placementOf(format.options, options);
}

std::string formatList()
{
    std::string list;
    for (const FormatEntry& format : formatRegistry().all())
        list += (list.empty() ? "" : ", ") + std::string(format.id);
    return list;
}

std::string meshFormatList()
{
    std::string list;
    for (const FormatEntry& format : formatRegistry().all())
        if (format.measuresMesh)
            list += (list.empty() ? "" : ", ") + std::string(format.id);
    return list;
}

class Reader {
public:
    explicit Reader(const std::vector<std::string>& arguments) : arguments_(arguments), options_(batchOptions())
    {
        args_ << QStringLiteral("orvanel-batch");
        for (const std::string& a : arguments)
            args_ << q(a);
        for (const BatchOption& option : options_)
            parser_.addOption(option.valueName.empty()
                                  ? QCommandLineOption(q(option.name))
                                  : QCommandLineOption(q(option.name), QString(), q(option.valueName)));
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
        if (const auto problem = shapeProblem())
            fail(*problem);
        else if (!parser_.parse(args_))
            fail(parser_.unknownOptionNames().isEmpty() ? "ligne de commande illisible (voir --help)"
                                                         : unknownOption(parser_.unknownOptionNames().constFirst()));
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

    std::string unknownOption(const QString& name) const
    {
        const bool singleDash = args_.contains(QLatin1Char('-') + name);
        return "option inconnue « " + s((singleDash ? QStringLiteral("-") : QStringLiteral("--")) + name) +
               " » (voir --help)";
    }

    // What Qt's parser would refuse, said in French before it parses: an
    // option that takes a value given none, a flag given one.
    std::optional<std::string> shapeProblem() const
    {
        for (std::size_t i = 0; i < arguments_.size(); ++i) {
            const std::string& a = arguments_[i];
            if (a == "--")
                break;
            if (a.size() < 2 || a[0] != '-')
                continue;
            const std::string word = a.substr(a[1] == '-' ? 2 : 1);
            const std::size_t equals = word.find('=');
            const std::string name = word.substr(0, equals);
            const auto option = std::find_if(options_.begin(), options_.end(),
                                             [&name](const BatchOption& o) { return o.name == name; });
            if (option == options_.end())
                continue;  // unknown: the parser names it
            if (option->valueName.empty() && equals != std::string::npos)
                return "« --" + name + " » : cette option ne prend pas de valeur";
            if (!option->valueName.empty() && equals == std::string::npos && i + 1 == arguments_.size())
                return "« --" + name + " » : valeur manquante";
        }
        return std::nullopt;
    }

    void readAll()
    {
        BatchArguments& a = result_.arguments;
        // --as-typed decides how the fields are read, wherever it stands.
        a.asTyped = parser_.isSet(QStringLiteral("as-typed"));
        for (const BatchOption& option : options_) {
            const QStringList values = parser_.values(q(option.name));
            if (!parser_.isSet(q(option.name)))
                continue;
            if (values.size() > 1)
                fail("--" + option.name + " : option donnée plusieurs fois");
            if (const auto problem = option.read(values.isEmpty() ? std::string() : s(values.constFirst()), a))
                fail("--" + option.name + " : " + *problem);
        }
        if (a.rectangle && a.edges)
            fail("--rect et --edges : donnez l'un ou l'autre");
        readPositionals();
        if (result_.problem.empty())
            refuseOptionsThatDoNotApply();
    }

    // An option the format would ignore is refused rather than dropped
    // without a word: the user meant something by it.
    void refuseOptionsThatDoNotApply()
    {
        const BatchArguments& a = result_.arguments;
        const FormatEntry* format = formatRegistry().find(a.format);
        if (!a.report.empty() && (!format || !format->measuresMesh))
            return fail("--report ne s'applique qu'aux formats maillés (" + meshFormatList() + ")");
        const Placement placement = format ? placementGiven(*format, a) : Placement::VrmlFrame;
        for (const auto& [key, value] : a.formatOptions) {
            const FormatOption* offered = format ? findOption(format->options, key) : nullptr;
            if (!offered)
                return fail("--" + key + " ne s'applique pas " +
                            (format ? "au format « " + a.format + " »" : std::string("à l'image d'aperçu seule")));
            const FormatOption* taken = findOption(format->options, key, placement);
            if (!taken)
                return fail("--" + key + " ne s'applique qu'avec --frame " +
                            (placement == Placement::Part ? "vrml" : "part"));
            if (!taken->onlyWith.empty() && !a.formatOptions.count(std::string(taken->onlyWith)))
                return fail("--" + key + " ne s'applique qu'avec --" + std::string(taken->onlyWith));
        }
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

    std::vector<std::string> arguments_;
    std::vector<BatchOption> options_;
    QStringList args_;
    QCommandLineParser parser_;
    ParsedCommandLine::Request request_ = ParsedCommandLine::Request::Export;
    ParsedCommandLine result_;
};

// "  --name VALUE" then the help, its lines aligned in one column.
std::string usageLine(const BatchOption& option)
{
    constexpr std::size_t column = 18;
    std::string line = "  --" + option.name + (option.valueName.empty() ? "" : " " + option.valueName);
    const std::size_t width = QString::fromStdString(line).size();
    if (width + 2 <= column)
        line += std::string(column - width, ' ');
    else if (width + 2 <= column + 4)
        line += "  ";
    else
        line += "\n" + std::string(column, ' ');
    // The help's words wrapped to 80 columns, counted in characters.
    const QStringList words = q(option.help).simplified().split(QLatin1Char(' '));
    qsizetype used = q(line.substr(line.rfind('\n') + 1)).size();
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > 0 && used + 1 + words[i].size() > 80) {
            line += "\n" + std::string(column, ' ');
            used = column;
        } else if (i > 0) {
            line += ' ';
            ++used;
        }
        line += s(words[i]);
        used += words[i].size();
    }
    return line + "\n";
}

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
    std::string options;
    for (const BatchOption& option : batchOptions())
        options += usageLine(option);
    return "Usage : orvanel-batch FORMAT IMAGE SORTIE [options]\n"
           "        orvanel-batch preview IMAGE IMAGE.png [options]\n"
           "\n"
           "Transforme la luminosité d'une image en relief et l'écrit dans le fichier\n"
           "SORTIE (« - » : la sortie standard), octet pour octet comme le menu « Export »\n"
           "d'Orvanel.\n"
           "\n"
           "FORMAT :\n" +
           formats +
           "  preview  seulement une image PNG ombrée du relief (1200 x 900)\n"
           "\n"
           "Options :\n" +
           options +
           "\n"
           "Les nombres s'écrivent avec un point décimal (0.25, 1e-3).\n"
           "\n"
           "Codes de sortie : 0 fichier écrit, 1 écriture impossible (place, droits, cible\n"
           "qui n'est pas un fichier ordinaire), 2 arguments ou paramètres refusés, 3 image\n"
           "illisible, endommagée ou trop grande, 128 + signal si interrompu (130 : Ctrl-C).\n"
           "Un fichier existant n'est remplacé qu'une fois le nouveau complet.\n";
}
