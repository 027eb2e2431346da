#include "qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

void QtMessageBox::information(const std::string& text)
{
    QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Orvanel"), QString::fromStdString(text));
}

void QtMessageBox::warning(const std::string& text)
{
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Orvanel"), QString::fromStdString(text));
}

bool QtMessageBox::question(const std::string& text, const std::string& proceed, const std::string& cancel)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Orvanel"), QString::fromStdString(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton* goOn = box.addButton(QString::fromStdString(proceed), QMessageBox::AcceptRole);
    QPushButton* stop = box.addButton(QString::fromStdString(cancel), QMessageBox::RejectRole);
    box.setDefaultButton(stop);
    box.setEscapeButton(stop);
    box.exec();
    return box.clickedButton() == goOn;
}
