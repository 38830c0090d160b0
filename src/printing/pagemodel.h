#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

namespace vartemo {

// Every position and size on a printed sheet is a whole number of hundredths
// of a millimetre from the top-left corner of the paper, so a composed page
// is exact integer geometry whatever the device it is painted on.
using Hmm = int;
constexpr Hmm Mm(double millimetres) { return static_cast<Hmm>(millimetres * 100.0 + (millimetres < 0 ? -0.5 : 0.5)); }

// A rectangle from its four edges (left, top, right, bottom).
inline QRect Box(Hmm left, Hmm top, Hmm right, Hmm bottom) {
    return QRect(left, top, right - left, bottom - top);
}

// The lengths the layouts are built from.
inline constexpr Hmm kUnitU = 1000; // 10 mm
inline constexpr Hmm kUnitH = 500;  // 5 mm
inline constexpr Hmm kUnitQ = 250;  // 2.5 mm
inline constexpr Hmm kUnitT = 100;  // 1 mm

// The face every sheet prints in; the renderer maps it to a metric-compatible font.
inline const QString kSheetFace = QStringLiteral("Times New Roman");

// A character height is the em size of the font; a cell height is ascent plus
// descent (the letter with its internal leading).
enum class HeightKind { Character, Cell };

struct TextStyle {
    QColor colour = Qt::black;
    Hmm height = kUnitH;
    HeightKind kind = HeightKind::Cell;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// (at) is the top-left of the text's cell; its baseline lies one ascent lower.
// A text clear of the previous one moves right, when that text reaches into
// it, to stand one blank after it: the diploma's date and time are placed
// where a short date fits, and "10.12.2026" would otherwise run into the time.
struct TextItem {
    QString text;
    QPoint at;
    TextStyle style;
    bool clearOfPrevious = false;
};

// A rectangle outlined with a thin black pen and filled white.
struct FrameItem {
    QRect rect;
};

// A picture painted into its target rectangle (already fitted into its box).
struct PictureItem {
    QImage image;
    QRect target;
};

using PageItem = std::variant<TextItem, FrameItem, PictureItem>;

struct Page {
    std::vector<PageItem> items;

    template <typename Item>
    void add(Item item) {
        items.emplace_back(std::in_place_type<Item>, std::move(item));
    }
    // The text items in drawing order (what a test or a text search reads).
    std::vector<TextItem> texts() const;
    std::vector<FrameItem> frames() const;
    std::vector<PictureItem> pictures() const;
    // The first text item whose text is exactly `text`; nullptr when none.
    const TextItem* find(const QString& text) const;
};

enum class PaperOrientation { Portrait, Landscape };

// A composed sheet: its paper, its pages, the print job's name, the preview's
// caption, and what went wrong while composing (one message per problem).
struct Sheet {
    QSize paper{29700, 21000}; // hundredths of a millimetre, as oriented
    PaperOrientation orientation = PaperOrientation::Landscape;
    QString jobName;
    QString caption;
    std::vector<Page> pages;
    QStringList problems;
};

inline const QSize kA4Landscape{29700, 21000};
inline const QSize kA4Portrait{21000, 29700};

// The size a picture has on paper: its pixels at the screen's density.
QSize NaturalSize(const QImage& image, double screenDpi);

// Where a picture goes in its box: at its natural size, shrunk keeping its
// proportions when it does not fit, centred in the box or at its top-left.
QRect FitPicture(QSize natural, const QRect& box, bool centred);

// Adds the picture fitted into the box; an empty picture leaves the box empty.
void AddPicture(Page& page, const QImage& image, const QRect& box, bool centred, double screenDpi);

} // namespace vartemo
