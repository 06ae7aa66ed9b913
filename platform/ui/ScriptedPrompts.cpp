#include "ScriptedPrompts.h"

#include <QPrinter>

namespace {

bool offers(Prompts::Buttons buttons, Prompts::Answer a)
{
    using A = Prompts::Answer;
    switch (buttons) {
    case Prompts::Buttons::Ok: return a == A::Ok;
    case Prompts::Buttons::OkCancel: return a == A::Ok || a == A::Cancel;
    case Prompts::Buttons::YesNo: return a == A::Yes || a == A::No;
    case Prompts::Buttons::YesNoCancel: return a == A::Yes || a == A::No || a == A::Cancel;
    case Prompts::Buttons::RetryCancel: return a == A::Retry || a == A::Cancel;
    }
    return false;
}

Prompts::Answer firstButton(Prompts::Buttons buttons)
{
    switch (buttons) {
    case Prompts::Buttons::YesNo:
    case Prompts::Buttons::YesNoCancel: return Prompts::Answer::Yes;
    case Prompts::Buttons::RetryCancel: return Prompts::Answer::Retry;
    default: return Prompts::Answer::Ok;
    }
}

} // namespace

ScriptedPrompts::ScriptedPrompts() : m_previous(Prompts::setInstance(this)) {}

ScriptedPrompts::~ScriptedPrompts()
{
    Prompts::setInstance(m_previous);
}

template <class T> std::optional<T> ScriptedPrompts::next(Question q)
{
    m_asked.append(std::move(q));
    if (m_script.empty()) {
        ++m_unexpected;
        return std::nullopt;
    }
    Reply r = std::move(m_script.front());
    m_script.pop_front();
    if (auto *value = std::get_if<T>(&r))
        return *value;
    if (!std::holds_alternative<Cancel>(r) || std::is_same_v<T, Answer>)
        ++m_unexpected;
    return std::nullopt;
}

Prompts::Answer ScriptedPrompts::message(const QString &title, const QString &text, Icon icon, Buttons buttons,
                                         std::optional<Answer> defaultAnswer)
{
    const Answer pressedByDefault = defaultAnswer.value_or(firstButton(buttons));
    const auto a = next<Answer>({Kind::Message, title, text, QString(), icon, buttons, defaultAnswer});
    if (a && offers(buttons, *a))
        return *a;
    if (a)
        ++m_unexpected;
    return pressedByDefault;
}

std::optional<QString> ScriptedPrompts::inputText(const QString &title, const QString &label, const QString &initial)
{
    return next<QString>({Kind::Input, title, label, initial, Icon::None, Buttons::Ok, std::nullopt});
}

QString ScriptedPrompts::nextPath(Kind kind, const QString &title, const QString &initial, const QString &filter)
{
    return next<QString>({kind, title, filter, initial, Icon::None, Buttons::Ok, std::nullopt}).value_or(QString());
}

QString ScriptedPrompts::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    return nextPath(Kind::OpenFile, title, folder, filter);
}

QString ScriptedPrompts::saveFileName(const QString &title, const QString &path, const QString &filter,
                                      QString *)
{
    return nextPath(Kind::SaveFile, title, path, filter);
}

QString ScriptedPrompts::folderName(const QString &title, const QString &folder)
{
    return nextPath(Kind::Folder, title, folder, QString());
}

std::optional<QFont> ScriptedPrompts::chooseFont(const QString &title, const QFont &initial)
{
    return next<QFont>({Kind::Font, title, QString(), initial.family(), Icon::None, Buttons::Ok, std::nullopt});
}

std::optional<QColor> ScriptedPrompts::chooseColour(const QString &title, const QColor &initial)
{
    return next<QColor>({Kind::Colour, title, QString(), initial.name(), Icon::None, Buttons::Ok, std::nullopt});
}

bool ScriptedPrompts::choosePrinter(const QString &title, QPrinter &printer)
{
    m_asked.append({Kind::Print, title, QString(), printer.outputFileName(), Icon::None, Buttons::OkCancel,
                    std::nullopt});
    if (m_script.empty()) {
        ++m_unexpected;
        return false;
    }
    const Reply r = std::move(m_script.front());
    m_script.pop_front();
    if (const auto *path = std::get_if<QString>(&r)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*path);
        return true;
    }
    const auto *answer = std::get_if<Answer>(&r);
    if (answer && (*answer == Answer::Ok || *answer == Answer::Cancel))
        return *answer == Answer::Ok;
    if (!std::holds_alternative<Cancel>(r))
        ++m_unexpected;
    return false;
}
