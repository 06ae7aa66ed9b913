#pragma once

#include "Prompts.h"

#include <QList>

#include <deque>
#include <variant>

// The test double of Prompts: answers every question from a script, in order, and records it.
// Constructing one installs it; destroying it puts back what was installed before.
// A question the script has no fitting reply for is counted in unexpected() and answered as if the user
// pressed the default button (message boxes) or cancelled (everything else).
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder, Font, Colour, Print };

    struct Question {
        Kind kind;
        QString title;
        QString text;    // the message, the input label, or the file filter
        QString initial; // the initial input text, folder or path
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        std::optional<Answer> defaultAnswer;
    };

    struct Cancel {};
    // A reply: a button for a message box, a text for an input box or a file/folder chooser, a font,
    // a colour, or Cancel for any chooser or input. The print dialog takes Answer::Ok (print as set up),
    // a path (print into that PDF file) or Cancel.
    using Reply = std::variant<Answer, QString, QFont, QColor, Cancel>;

    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts &) = delete;
    ScriptedPrompts &operator=(const ScriptedPrompts &) = delete;

    ScriptedPrompts &reply(Reply r)
    {
        m_script.push_back(std::move(r));
        return *this;
    }

    const QList<Question> &asked() const { return m_asked; }
    int unexpected() const { return m_unexpected; }
    qsizetype pendingReplies() const { return qsizetype(m_script.size()); }

    Answer message(const QString &title, const QString &text, Icon icon, Buttons buttons,
                   std::optional<Answer> defaultAnswer) override;
    std::optional<QString> inputText(const QString &title, const QString &label, const QString &initial) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    // The chosen filter is not scripted: `selectedFilter` is left as it is.
    QString saveFileName(const QString &title, const QString &path, const QString &filter,
                         QString *selectedFilter = nullptr) override;
    QString folderName(const QString &title, const QString &folder) override;
    std::optional<QFont> chooseFont(const QString &title, const QFont &initial) override;
    std::optional<QColor> chooseColour(const QString &title, const QColor &initial) override;
    bool choosePrinter(const QString &title, QPrinter &printer) override;

private:
    template <class T> std::optional<T> next(Question q);
    QString nextPath(Kind kind, const QString &title, const QString &initial, const QString &filter);

    std::deque<Reply> m_script;
    QList<Question> m_asked;
    int m_unexpected = 0;
    Prompts *m_previous = nullptr;
};
