#pragma once

#include "printing/pagemodel.h"
#include "printing/sheettexts.h"

#include <QDateTime>
#include <optional>

namespace vartemo {

// The placements of `rgUmisteni` ("První" .. "Pátý") and their words.
QStringList PlacementEntries();
QString PlacementWord(int placement); // 0 "první" .. 4 "páté"

// Text11 with its first "#misto#" replaced by the placement word; without
// one, the word, a blank and the whole text (the word alone for no text).
QString PlacementSentence(const QString& text11, const QString& word);

struct DiplomaInput {
    QString name;      // jmeno
    int placement = 0; // rgUmisteni
    DiplomaSettings settings;
    QDateTime now;
    double screenDpi = 96.0;
};

inline const QString kDiplomaCaption = QStringLiteral("Náhled tisku  -  Diplom");

// One A4 landscape page.
Sheet ComposeDiploma(const DiplomaInput& input);

} // namespace vartemo
