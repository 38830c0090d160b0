#pragma once

#include "engine/codelearner.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace vartemo::testing {

// Keeps every code the receivers teach and every test code they show.
struct RecordingLearner : CodeLearner {
    QList<std::pair<int, QString>> learnt;
    QStringList shown;
    void learnCode(int slot, const QString& code) override { learnt.append({slot, code}); }
    void showTestCode(const QString& code) override { shown << code; }
};

} // namespace vartemo::testing
