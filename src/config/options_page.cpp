#include "config/options_page.h"

#include "config/radio_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>

OptionsPage::OptionsPage(const QString& helpTopic, QWidget* parent) : QWidget(parent) {
    setProperty("helpTopic", helpTopic);
}

QString OptionsPage::helpTopic() const {
    return property("helpTopic").toString();
}

void OptionsPage::loadSettings(const typSettings& settings) {
    for (const Binding& b : bindings_)
        b.load(settings);
}

void OptionsPage::saveSettings(typSettings& settings) const {
    for (const Binding& b : bindings_)
        b.save(settings);
}

void OptionsPage::applyCapabilities(const PlatformCapabilities&) {}

void OptionsPage::bind(QCheckBox* box, bool typSettings::*field) {
    bindings_.push_back({[box, field](const typSettings& s) { box->setChecked(s.*field); },
                         [box, field](typSettings& s) { s.*field = box->isChecked(); }});
}

void OptionsPage::bind(QComboBox* list, qint32 typSettings::*field) {
    bindings_.push_back({[list, field](const typSettings& s) { list->setCurrentIndex(s.*field); },
                         [list, field](typSettings& s) { s.*field = list->currentIndex(); }});
}

void OptionsPage::bind(QGroupBox* radioGroup, qint32 typSettings::*field) {
    bindings_.push_back(
        {[radioGroup, field](const typSettings& s) {
             radiogroup::setItemIndex(radioGroup, s.*field);
         },
         [radioGroup, field](typSettings& s) { s.*field = radiogroup::itemIndex(radioGroup); }});
}

void switchOff(QCheckBox* box) {
    box->setChecked(false);
    box->setEnabled(false);
}
