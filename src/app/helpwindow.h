#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

namespace vartemo {

// The operator's help in a window of the station's own: the bundled HTML
// pages in a text browser, links between them followed, so the help shows on
// a track computer without a web browser (or one that refuses to start).
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page (a local file) and brings the window to the front.
    void showPage(const QUrl& page);

    QTextBrowser& browser() { return *browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace vartemo
