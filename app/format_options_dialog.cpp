#include "format_options_dialog.h"

#include "relief/option_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

std::string keysOf(const std::vector<FormatOption>& options)
{
    std::string keys;
    for (const FormatOption& option : options)
        keys += std::string(option.key) + ' ';
    return keys;
}

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// A refused text keeps what the user typed, framed in red, its reason in
// the tooltip.
const QString refusedFrame = QStringLiteral("QLineEdit { border: 2px solid #d01010; }");

// A number field as typed, the text it was shown with, and the value that
// text stands for (exactly, not as read back from its 15 digits).
struct NumberField {
    const FormatOption& option;
    QLineEdit* edit;
    QString shownText;
    double shownValue;

    // The value as typed, or why it is refused.
    OptionReading reading() const
    {
        if (edit->text() == shownText)
            return {shownValue, {}};
        return readOptionText(option, edit->text().toStdString());
    }
    // A value typed otherwise than shown; one that reads as shown ("0.05"
    // for "0,05") is not an edit and keeps following its default.
    bool edited() const
    {
        const OptionReading now = reading(), shown = readOptionText(option, shownText.toStdString());
        return now.value && !(shown.value && *shown.value == *now.value) && *now.value != shownValue;
    }
};

// What the dialog remembers an edited value by: its key, and for an option
// of one placement that placement too ("base" is two values).
std::string rememberedKey(const FormatOption& option)
{
    if (!option.onlyIn)
        return std::string(option.key);
    return std::string(option.key) + (*option.onlyIn == Placement::Part ? "@part" : "@vrml");
}

// The option's help line as a sentence: it names the unit in plain words.
QString toolTip(const FormatOption& option)
{
    QString line = text(option.help).simplified();
    if (!line.isEmpty())
        line[0] = line[0].toUpper();
    return line + QLatin1Char('.');
}

}  // namespace

FormatOptions QtFormatOptionsDialog::offered(const FormatEntry& format, const ExportJob& job) const
{
    const auto found = remembered_.find(keysOf(format.options));
    if (found == remembered_.end())
        return proposedOptions(format.options, job);
    const Remembered& remembered = found->second;
    const FormatOptions defaults = defaultOptions(format.options, job);
    FormatOptions options = remembered.options;
    for (const FormatOption& option : format.options)
        if (option.followsDefault && !remembered.edited.count(rememberedKey(option)))
            setOptionValue(options, option, optionValue(defaults, option));
    return options;
}

std::optional<FormatOptions> QtFormatOptionsDialog::ask(const FormatEntry& format, const ExportJob& job)
{
    const FormatOptions options = offered(format, job);
    const std::string keys = keysOf(format.options);
    std::set<std::string> edited = remembered_.count(keys) ? remembered_[keys].edited : std::set<std::string>();

    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(text(format.menuCaption));
    auto* form = new QFormLayout(&dialog);
    std::vector<std::pair<const FormatOption*, QCheckBox*>> flags;
    std::vector<std::pair<const FormatOption*, QComboBox*>> choices;
    std::vector<NumberField> numbers;
    QComboBox* placementBox = nullptr;
    // The fields shown in one placement only, hidden in the other.
    std::vector<std::pair<const FormatOption*, QWidget*>> placed;
    for (const FormatOption& option : format.options) {
        const double value = optionValue(options, option);
        QWidget* field = nullptr;
        if (isChoice(option)) {
            auto* box = new QComboBox;
            for (const OptionChoice& choice : option.choices)
                box->addItem(text(choice.label));
            box->setCurrentIndex(int(value));
            box->setToolTip(toolTip(option));
            form->addRow(text(option.label), box);
            choices.emplace_back(&option, box);
            if (std::holds_alternative<Placement FormatOptions::*>(option.field))
                placementBox = box;
            field = box;
        } else if (isFlag(option)) {
            auto* box = new QCheckBox(text(option.label));
            box->setToolTip(toolTip(option));
            box->setChecked(value != 0);
            form->addRow(box);
            flags.emplace_back(&option, box);
            field = box;
        } else {
            const QString shown = QString::fromStdString(optionValueText(option, value));
            auto* edit = new QLineEdit(shown);
            form->addRow(text(option.label), edit);
            numbers.push_back({option, edit, shown, value});
            field = edit;
        }
        if (option.onlyIn)
            placed.emplace_back(&option, field);
    }
    const auto showPlacement = [form, &placed, placementBox] {
        const auto placement = static_cast<Placement>(placementBox->currentIndex());
        for (const auto& [option, field] : placed)
            form->setRowVisible(field, appliesIn(*option, placement));
    };
    if (placementBox)
        showPlacement();
    auto* summary = format.optionsSummary ? new QLabel : nullptr;
    if (summary) {
        summary->setWordWrap(true);
        form->addRow(summary);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    // The options as typed; false when a field is refused, each refused
    // field then framed in red and OK disabled.
    const auto typed = [&](FormatOptions& out) {
        out = options;
        for (const auto& [option, box] : flags)
            setOptionValue(out, *option, box->isChecked());
        for (const auto& [option, box] : choices)
            setOptionValue(out, *option, box->currentIndex());
        std::string refusals;
        for (const NumberField& field : numbers) {
            const OptionReading reading = field.reading();
            // A hidden field of the other placement refuses nothing.
            if (!appliesIn(field.option, placementOf(format.options, out))) {
                field.edit->setStyleSheet(QString());
                if (reading.value)
                    setOptionValue(out, field.option, *reading.value);
                continue;
            }
            field.edit->setStyleSheet(reading.value ? QString() : refusedFrame);
            field.edit->setToolTip(reading.value ? toolTip(field.option)
                                                 : QString::fromStdString(reading.problem) + QStringLiteral(" : ") +
                                                       toolTip(field.option));
            if (reading.value)
                setOptionValue(out, field.option, *reading.value);
            else
                refusals += " « " + std::string(field.option.label) + " » : " + reading.problem + '.';
        }
        ok->setEnabled(refusals.empty());
        if (summary) {
            summary->setText(QString::fromStdString(
                refusals.empty() ? format.optionsSummary(job, out) : "Les options ne sont pas valables :" + refusals));
            // A line wrapped once more needs a taller window, which Qt does
            // not give a window by itself.
            if (const int needed = dialog.heightForWidth(dialog.width()); dialog.isVisible() && needed > dialog.height())
                dialog.resize(dialog.width(), needed);
        }
        return refusals.empty();
    };
    FormatOptions chosen;
    const auto refresh = [&] { typed(chosen); };
    for (const auto& [option, box] : flags)
        QObject::connect(box, &QCheckBox::toggled, &dialog, refresh);
    for (const auto& [option, box] : choices)
        QObject::connect(box, &QComboBox::currentIndexChanged, &dialog, refresh);
    if (placementBox)
        QObject::connect(placementBox, &QComboBox::currentIndexChanged, &dialog, showPlacement);
    for (const NumberField& field : numbers)
        QObject::connect(field.edit, &QLineEdit::textChanged, &dialog, refresh);
    refresh();

    if (dialog.exec() != QDialog::Accepted || !typed(chosen))
        return std::nullopt;
    // A value left as shown keeps following its default.
    for (const NumberField& field : numbers)
        if (field.option.followsDefault) {
            if (field.edited())
                edited.insert(rememberedKey(field.option));
            else if (!edited.count(rememberedKey(field.option)))
                setOptionValue(chosen, field.option, field.shownValue);
        }
    remembered_[keys] = {chosen, std::move(edited)};
    return chosen;
}
