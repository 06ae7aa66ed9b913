#include "Prompts.h"

#include "WindowTitles.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace {

Prompts *installed = nullptr;

QMessageBox::StandardButton standardButton(Prompts::Answer a)
{
    switch (a) {
    case Prompts::Answer::Ok: return QMessageBox::Ok;
    case Prompts::Answer::Cancel: return QMessageBox::Cancel;
    case Prompts::Answer::Yes: return QMessageBox::Yes;
    case Prompts::Answer::No: return QMessageBox::No;
    case Prompts::Answer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::NoButton;
}

QMessageBox::StandardButtons standardButtons(Prompts::Buttons b)
{
    switch (b) {
    case Prompts::Buttons::Ok: return QMessageBox::Ok;
    case Prompts::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompts::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Prompts::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Prompts::Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Prompts::Icon i)
{
    switch (i) {
    case Prompts::Icon::None: return QMessageBox::NoIcon;
    case Prompts::Icon::Information: return QMessageBox::Information;
    case Prompts::Icon::Question: return QMessageBox::Question;
    case Prompts::Icon::Warning: return QMessageBox::Warning;
    case Prompts::Icon::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QWidget *parentWindow()
{
    return QApplication::activeWindow();
}

} // namespace

Prompts &Prompts::instance()
{
    static QtPrompts qtPrompts;
    return installed ? *installed : qtPrompts;
}

Prompts *Prompts::setInstance(Prompts *prompts)
{
    return std::exchange(installed, prompts);
}

Prompts::Answer QtPrompts::message(const QString &title, const QString &text, Icon icon, Buttons buttons,
                                   std::optional<Answer> defaultAnswer)
{
    QMessageBox box(messageIcon(icon), title, text, standardButtons(buttons), parentWindow());
    box.setTextFormat(Qt::PlainText);
    WindowTitles::FitWidth(box);
    if (defaultAnswer)
        box.setDefaultButton(standardButton(*defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Retry: return Answer::Retry;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> QtPrompts::inputText(const QString &title, const QString &label, const QString &initial)
{
    QInputDialog dialog(parentWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    WindowTitles::FitWidth(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString QtPrompts::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parentWindow(), title, folder, filter);
}

QString QtPrompts::saveFileName(const QString &title, const QString &path, const QString &filter,
                                QString *selectedFilter)
{
    return QFileDialog::getSaveFileName(parentWindow(), title, path, filter, selectedFilter);
}

QString QtPrompts::folderName(const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parentWindow(), title, folder);
}

std::optional<QFont> QtPrompts::chooseFont(const QString &title, const QFont &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parentWindow(), title);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> QtPrompts::chooseColour(const QString &title, const QColor &initial)
{
    const QColor colour = QColorDialog::getColor(initial, parentWindow(), title);
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}

bool QtPrompts::choosePrinter(const QString &title, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parentWindow());
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}
