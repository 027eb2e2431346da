#include "qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

void QtMessageBox::information(const std::string& text)
{
    QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Orvanel"), QString::fromStdString(text));
}

void QtMessageBox::warning(const std::string& text)
{
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Orvanel"), QString::fromStdString(text));
}
