#pragma once

#include <QString>

// Message boxes with the program's texts. Injected everywhere so that tests answer them.
// In texts, a "\n\r" pair is one line break.
class Prompts {
public:
    enum class Kind { Warning, Error, Information, Confirmation };
    enum class Buttons { Ok, YesNo, YesNoHelp };
    enum class Answer { Ok, Yes, No, Help };

    virtual ~Prompts() = default;
    virtual Answer show(Kind kind, Buttons buttons, const QString& text,
                        const QString& caption) = 0;

    void warning(const QString& text, const QString& caption = defaultCaption()) {
        show(Kind::Warning, Buttons::Ok, text, caption);
    }
    void error(const QString& text, const QString& caption = defaultCaption()) {
        show(Kind::Error, Buttons::Ok, text, caption);
    }
    void information(const QString& text, const QString& caption = defaultCaption()) {
        show(Kind::Information, Buttons::Ok, text, caption);
    }
    bool askYesNo(const QString& text, const QString& caption = defaultCaption()) {
        return show(Kind::Confirmation, Buttons::YesNo, text, caption) == Answer::Yes;
    }
    Answer askYesNoHelp(const QString& text, const QString& caption = defaultCaption()) {
        return show(Kind::Confirmation, Buttons::YesNoHelp, text, caption);
    }

    static QString defaultCaption() { return QStringLiteral("VORN"); }
};
