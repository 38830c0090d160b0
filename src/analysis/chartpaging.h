#pragma once

namespace vartemo {

// Which points of the main chart are on screen: all of them, or pages of a
// fixed number of points ("Počet kol na stánku:" + 1) that the arrows turn.
class ChartPaging {
public:
    // Points per page; 0 shows all points on one page. Starts at the first page.
    void setPointsPerPage(int points);
    void showAll() { setPointsPerPage(0); }
    int pointsPerPage() const { return perPage_; }

    // The largest number of points of any series.
    void setPointCount(int count);
    int pointCount() const { return count_; }

    int page() const { return page_; }
    int pageCount() const;
    // The arrows: nothing happens beyond the first or the last page.
    void previous();
    void next();

    // The x values on screen, inclusive.
    double firstX() const;
    double lastX() const;

private:
    int perPage_ = 0;
    int count_ = 0;
    int page_ = 0;
};

} // namespace vartemo
