#include "app/ridequestions.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace vartemo {

namespace {

struct Choice {
    RideAnswer answer;
    QString text;
    const char* name;
    QMessageBox::ButtonRole role;
};

// One question box; the first choice is the default and Escape's.
RideAnswer Ask(QWidget* parent, const char* objectName, const QString& title, const QString& text,
               const std::vector<Choice>& choices) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setObjectName(QString::fromLatin1(objectName));
    std::map<QAbstractButton*, RideAnswer> answers;
    QPushButton* first = nullptr;
    for (const Choice& c : choices) {
        QPushButton* b = box.addButton(c.text, c.role);
        b->setObjectName(QString::fromLatin1(c.name));
        answers[b] = c.answer;
        if (!first)
            first = b;
    }
    box.setDefaultButton(first);
    box.setEscapeButton(first);
    box.exec();
    const auto it = answers.find(box.clickedButton());
    return it != answers.end() ? it->second : choices.front().answer;
}

} // namespace

std::optional<RideAnswer> ParseRideAnswer(const QString& word) {
    if (word == QLatin1String("continue"))
        return RideAnswer::Continue;
    if (word == QLatin1String("close"))
        return RideAnswer::Close;
    if (word == QLatin1String("discard"))
        return RideAnswer::Discard;
    return std::nullopt;
}

RideAnswer AskAboutUnclosedRide(QWidget* parent, const QString& summary, RideAnswer given) {
    if (given == RideAnswer::Continue || given == RideAnswer::Close)
        return given;
    return Ask(parent, "UnclosedRideQuestion", QStringLiteral("Nedokončená jízda"),
               summary + QStringLiteral("\n\nPokračovat v jízdě, nebo ji ukončit a uložit výsledky?"),
               {{RideAnswer::Continue, QStringLiteral("&Pokračovat v jízdě"), "btnPokracovat", QMessageBox::AcceptRole},
                {RideAnswer::Close, QStringLiteral("&Ukončit a uložit"), "btnUkoncit", QMessageBox::DestructiveRole}});
}

RideAnswer AskAboutRideAtEnd(QWidget* parent, RideAnswer given) {
    if (given != RideAnswer::Ask)
        return given;
    return Ask(parent, "EndDuringRideQuestion", QStringLiteral("Jízda probíhá"),
               QStringLiteral("Jízda ještě probíhá.\nMá se před ukončením programu zastavit a uložit?"),
               {{RideAnswer::Continue, QStringLiteral("&Pokračovat v jízdě"), "btnPokracovat", QMessageBox::RejectRole},
                {RideAnswer::Close, QStringLiteral("&Zastavit a uložit"), "btnZastavit", QMessageBox::AcceptRole},
                {RideAnswer::Discard, QStringLiteral("Ukončit &bez uložení"), "btnBezUlozeni", QMessageBox::DestructiveRole}});
}

} // namespace vartemo
