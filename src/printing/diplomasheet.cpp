#include "printing/diplomasheet.h"

#include "printing/resultsheet.h"
#include "printing/sheetheader.h"

namespace vartemo {

QStringList PlacementEntries() {
    return {QStringLiteral("První"), QStringLiteral("Druhý"), QStringLiteral("Třetí"),
            QStringLiteral("Čtvrtý"), QStringLiteral("Pátý")};
}

QString PlacementWord(int placement) {
    static const QStringList words = {QStringLiteral("první"), QStringLiteral("druhé"),
                                      QStringLiteral("třetí"), QStringLiteral("čtvrté"),
                                      QStringLiteral("páté")};
    return words.value(std::clamp(placement, 0, int(words.size()) - 1));
}

QString PlacementSentence(const QString& text11, const QString& word) {
    static const QString placeholder = QStringLiteral("#misto#");
    const qsizetype at = text11.indexOf(placeholder);
    if (at >= 0)
        return text11.left(at) + word + text11.mid(at + placeholder.size());
    return text11.isEmpty() ? word : word + u' ' + text11;
}

Sheet ComposeDiploma(const DiplomaInput& in) {
    Sheet sheet;
    sheet.paper = kA4Landscape;
    sheet.orientation = PaperOrientation::Landscape;
    sheet.jobName = kResultJobName;
    sheet.caption = kDiplomaCaption;
    Page& page = sheet.pages.emplace_back();
    const Hmm width = sheet.paper.width();
    const DiplomaSettings& s = in.settings;

    const auto box = [&](Hmm left, Hmm top, int size) {
        return Box(left, top, width - kUnitU, top + (size / 10) * kUnitU);
    };
    AddPicture(page, s.picture, box(Mm(20), Mm(20), s.pictureSize), false, in.screenDpi);
    AddPicture(page, s.logo, box(Mm(110), Mm(130), s.logoSize), false, in.screenDpi);

    AddText(page, s.text[0], Mm(200), Mm(40), Style(Qt::red, Mm(22.5), HeightKind::Cell));
    AddText(page, s.text[1], Mm(20), Mm(95), Style(Qt::black, Mm(12.5), HeightKind::Cell));
    AddText(page, in.name, Mm(135), Mm(92.5), Style(QColor(128, 0, 0), Mm(15), HeightKind::Cell, false, true));
    AddText(page, PlacementSentence(s.text[2], PlacementWord(in.placement)), Mm(40), Mm(110),
            Style(Qt::black, Mm(12.5), HeightKind::Cell));
    const TextStyle blue = Style(Qt::blue, Mm(10), HeightKind::Cell);
    AddText(page, SheetDate(in.now), Mm(200), Mm(70), blue);
    page.add(TextItem{SheetTime(in.now), QPoint(Mm(240), Mm(70)), blue, true});
    AddText(page, s.text[3], Mm(170), Mm(140), Style(QColor(166, 202, 240), Mm(10), HeightKind::Cell));
    return sheet;
}

} // namespace vartemo
