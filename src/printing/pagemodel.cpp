#include "printing/pagemodel.h"

#include <cmath>

namespace vartemo {

namespace {
template <typename Item>
std::vector<Item> itemsOf(const std::vector<PageItem>& items) {
    std::vector<Item> found;
    for (const PageItem& item : items)
        if (const Item* i = std::get_if<Item>(&item))
            found.push_back(*i);
    return found;
}
} // namespace

std::vector<TextItem> Page::texts() const { return itemsOf<TextItem>(items); }
std::vector<FrameItem> Page::frames() const { return itemsOf<FrameItem>(items); }
std::vector<PictureItem> Page::pictures() const { return itemsOf<PictureItem>(items); }

const TextItem* Page::find(const QString& text) const {
    for (const PageItem& item : items)
        if (const TextItem* t = std::get_if<TextItem>(&item); t && t->text == text)
            return t;
    return nullptr;
}

QSize NaturalSize(const QImage& image, double screenDpi) {
    if (image.isNull() || screenDpi <= 0)
        return {};
    const double hmmPerPixel = 2540.0 / screenDpi;
    return {static_cast<int>(std::lround(image.width() * hmmPerPixel)),
            static_cast<int>(std::lround(image.height() * hmmPerPixel))};
}

QRect FitPicture(QSize natural, const QRect& box, bool centred) {
    if (natural.isEmpty() || box.isEmpty())
        return {};
    QSize size = natural;
    if (size.width() > box.width() || size.height() > box.height())
        size = natural.scaled(box.size(), Qt::KeepAspectRatio);
    QPoint topLeft = box.topLeft();
    if (centred)
        topLeft += QPoint((box.width() - size.width()) / 2, (box.height() - size.height()) / 2);
    return {topLeft, size};
}

void AddPicture(Page& page, const QImage& image, const QRect& box, bool centred, double screenDpi) {
    const QRect target = FitPicture(NaturalSize(image, screenDpi), box, centred);
    if (!target.isEmpty())
        page.add(PictureItem{image, target});
}

} // namespace vartemo
