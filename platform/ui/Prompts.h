#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QPrinter;

// The one way the program asks the user something: message boxes, input boxes and the file, folder,
// font and colour choosers, and the print dialog. Code calls Prompts::instance(); tests install a ScriptedPrompts instead.
class Prompts {
public:
    enum class Icon { None, Information, Question, Warning, Error };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
    enum class Answer { Ok, Cancel, Yes, No, Retry };

    virtual ~Prompts() = default;

    // The installed prompts; the Qt dialogs when none is installed.
    static Prompts &instance();
    // Installs `prompts` (not owned; nullptr goes back to the Qt dialogs) and returns the one it replaces.
    static Prompts *setInstance(Prompts *prompts);

    // The text is shown as plain text, never as markup. `defaultAnswer` is the button that Enter presses;
    // without one, the first button. Closing the box answers Cancel, or No when there is no Cancel.
    virtual Answer message(const QString &title, const QString &text, Icon icon, Buttons buttons,
                           std::optional<Answer> defaultAnswer = std::nullopt) = 0;
    // A line of text; nothing when cancelled.
    virtual std::optional<QString> inputText(const QString &title, const QString &label,
                                             const QString &initial = QString()) = 0;
    // A file or folder path; empty when cancelled. Filters are Qt's ("Pictures (*.bmp *.jpg);;All (*)").
    // `selectedFilter`, when given, receives the filter the user chose, if the chooser tells.
    virtual QString openFileName(const QString &title, const QString &folder, const QString &filter) = 0;
    virtual QString saveFileName(const QString &title, const QString &path, const QString &filter,
                                 QString *selectedFilter = nullptr) = 0;
    virtual QString folderName(const QString &title, const QString &folder) = 0;
    virtual std::optional<QFont> chooseFont(const QString &title, const QFont &initial) = 0;
    virtual std::optional<QColor> chooseColour(const QString &title, const QColor &initial) = 0;
    // The print dialog on `printer`; false when cancelled.
    virtual bool choosePrinter(const QString &title, QPrinter &printer) = 0;

    // The common cases.
    void inform(const QString &title, const QString &text) { message(title, text, Icon::Information, Buttons::Ok); }
    void warn(const QString &title, const QString &text) { message(title, text, Icon::Warning, Buttons::Ok); }
    void error(const QString &title, const QString &text) { message(title, text, Icon::Error, Buttons::Ok); }
    // Yes/No; destructive actions keep No as the default button.
    bool askYesNo(const QString &title, const QString &text, Answer defaultAnswer = Answer::No,
                  Icon icon = Icon::Question)
    {
        return message(title, text, icon, Buttons::YesNo, defaultAnswer) == Answer::Yes;
    }
};

// Prompts over QMessageBox, QInputDialog, QFileDialog, QFontDialog and QColorDialog, parented to the
// active window.
class QtPrompts : public Prompts {
public:
    Answer message(const QString &title, const QString &text, Icon icon, Buttons buttons,
                   std::optional<Answer> defaultAnswer) override;
    std::optional<QString> inputText(const QString &title, const QString &label, const QString &initial) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &path, const QString &filter,
                         QString *selectedFilter = nullptr) override;
    QString folderName(const QString &title, const QString &folder) override;
    std::optional<QFont> chooseFont(const QString &title, const QFont &initial) override;
    std::optional<QColor> chooseColour(const QString &title, const QColor &initial) override;
    bool choosePrinter(const QString &title, QPrinter &printer) override;
};
