#pragma once

#include <QString>

namespace vartemo {

// The side of the settings dialog that learning talks to: the code fields
// EdSekvence1..8 (first codes, slots 1..8) and EdSekvence11..81 (second codes,
// slots 11..81), and the reading-test field TestSekvence.
class CodeLearner {
public:
    virtual ~CodeLearner() = default;
    // Stores the code in the field of the slot and ends learning for it
    // (the dialog's learn button is clicked in code).
    virtual void learnCode(int slot, const QString& code) = 0;
    // Shows a received code in the reading-test field.
    virtual void showTestCode(const QString& code) = 0;
};

} // namespace vartemo
