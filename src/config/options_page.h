#pragma once

#include "core/settings.h"

#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;

// One page of the options dialog: puts its settings into its controls and reads them back
// from them. Most controls stand for one setting each and are bound to it once; a page adds
// what its controls do beyond that.
class OptionsPage : public QWidget {
    Q_OBJECT
public:
    // helpTopic: where F1 and the Help button lead while the page is shown ("options#sound").
    explicit OptionsPage(const QString& helpTopic, QWidget* parent = nullptr);

    QString helpTopic() const;

    virtual void loadSettings(const typSettings& settings);
    virtual void saveSettings(typSettings& settings) const;
    // What the platform cannot do is switched off on the page: a connect speed the dial-up
    // service never reports, a data rate without byte counters.
    virtual void applyCapabilities(const PlatformCapabilities& capabilities);

protected:
    void bind(QCheckBox* box, bool typSettings::*field);
    // A list or a group of radio buttons stores the index of its choice.
    void bind(QComboBox* list, qint32 typSettings::*field);
    void bind(QGroupBox* radioGroup, qint32 typSettings::*field);

private:
    struct Binding {
        std::function<void(const typSettings&)> load;
        std::function<void(typSettings&)> save;
    };
    std::vector<Binding> bindings_;
};

// A box the platform makes meaningless: unchecked and not to be checked.
void switchOff(QCheckBox* box);
