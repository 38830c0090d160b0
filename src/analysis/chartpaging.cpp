#include "analysis/chartpaging.h"

#include <algorithm>

namespace vartemo {

void ChartPaging::setPointsPerPage(int points) {
    perPage_ = std::max(0, points);
    page_ = 0;
}

void ChartPaging::setPointCount(int count) {
    count_ = std::max(0, count);
    page_ = std::min(page_, pageCount() - 1);
}

int ChartPaging::pageCount() const {
    if (perPage_ == 0 || count_ == 0)
        return 1;
    return (count_ + perPage_ - 1) / perPage_;
}

void ChartPaging::previous() {
    page_ = std::max(0, page_ - 1);
}

void ChartPaging::next() {
    page_ = std::min(pageCount() - 1, page_ + 1);
}

double ChartPaging::firstX() const {
    return perPage_ == 0 ? 0.0 : double(page_) * perPage_;
}

double ChartPaging::lastX() const {
    if (perPage_ == 0)
        return std::max(1, count_ - 1); // a range, even for a single point
    return firstX() + perPage_ - 1;
}

} // namespace vartemo
