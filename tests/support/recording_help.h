#pragma once

#include "platform/help.h"

#include <QStringList>

// Records the topics opened.
class RecordingHelp final : public Help {
public:
    void open(const QString& topic) override { topics << topic; }
    QStringList topics;
};
