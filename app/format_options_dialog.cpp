#include "format_options_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

#include <climits>
#include <functional>

namespace {

// A number in metres shown with the French decimal comma that also takes a
// decimal point as typed: "0.02" is two hundredths, not 2.
class DecimalField : public QDoubleSpinBox {
public:
    explicit DecimalField(double value)
    {
        setLocale(QLocale(QLocale::French, QLocale::France));
        setDecimals(6);
        setRange(0, 1e6);
        setSingleStep(0.001);
        setValue(value);
    }

protected:
    QValidator::State validate(QString& text, int& position) const override
    {
        text.replace(QLatin1Char('.'), QLatin1Char(','));
        return QDoubleSpinBox::validate(text, position);
    }
    double valueFromText(const QString& text) const override
    {
        return QDoubleSpinBox::valueFromText(QString(text).replace(QLatin1Char('.'), QLatin1Char(',')));
    }
};

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

}  // namespace

std::optional<FormatOptions> QtFormatOptionsDialog::ask(const FormatEntry& format, const ExportJob& job)
{
    Remembered& remembered = remembered_[keysOf(format.options)];
    const FormatOptions defaults = defaultOptions(format.options, job);
    if (!remembered.set) {
        remembered.options = defaults;
        for (const FormatOption& option : format.options)
            if (option.proposed)
                setOptionValue(remembered.options, option, 1);
        remembered.set = true;
    }
    FormatOptions options = remembered.options;
    for (const FormatOption& option : format.options)
        if (option.followsDefault && !remembered.edited.count(std::string(option.key)))
            setOptionValue(options, option, optionValue(defaults, option));

    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(text(format.menuCaption));
    auto* form = new QFormLayout(&dialog);
    // Each field, once the dialog is accepted, puts its value into `options`.
    std::vector<std::function<void()>> readBack;
    for (const FormatOption& option : format.options) {
        const double value = optionValue(options, option);
        if (isFlag(option)) {
            auto* box = new QCheckBox(text(option.label));
            box->setChecked(value != 0);
            form->addRow(box);
            readBack.push_back([&options, &option, box] { setOptionValue(options, option, box->isChecked()); });
        } else if (std::holds_alternative<std::uint64_t FormatOptions::*>(option.field)) {
            auto* count = new QSpinBox;
            count->setRange(0, INT_MAX);
            count->setValue(int(std::min(value, double(INT_MAX))));
            form->addRow(text(option.label), count);
            readBack.push_back([&options, &option, count] { setOptionValue(options, option, count->value()); });
        } else {
            auto* number = new DecimalField(value);
            form->addRow(text(option.label), number);
            const double shown = number->value();  // rounded to the field's decimals
            readBack.push_back([&options, &option, &remembered, number, shown] {
                // A value left as shown keeps following its default.
                if (option.followsDefault && number->value() == shown)
                    return;
                remembered.edited.insert(std::string(option.key));
                setOptionValue(options, option, number->value());
            });
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    for (const auto& read : readBack)
        read();
    remembered.options = options;
    return options;
}
