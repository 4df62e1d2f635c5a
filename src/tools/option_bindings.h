#pragma once

#include <QString>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

// Ties the controls of an option page to their settings: a control writes its setting the
// moment it changes, and load() puts every setting into its control.
class OptionBindings {
public:
    void index(QComboBox* box, qint32& setting);
    void check(QCheckBox* box, bool& setting);
    void text(QLineEdit* edit, QString& setting);
    // A whole number: every change that leaves an integer in the box stores it.
    void number(QLineEdit* edit, qint32& setting);

    void load() const;

private:
    std::vector<std::function<void()>> loaders_;
};
