#pragma once

#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace vartemo {

// Opens the operator's help, the HTML pages that come with the program, at
// its contents page (btnHelp and F1).
class HelpCommand {
public:
    using PageShower = std::function<void(const QUrl& page)>;
    using MessageBox = std::function<void(const QString& text)>;

    // helpFolders: where the pages may lie, searched in order.
    HelpCommand(QStringList helpFolders, PageShower show, MessageBox showMessage);

    // $VARTEMO_HELP_DIR when set, then the folders of a build and of an
    // installed program, beside the executable.
    static QStringList defaultFolders();
    // The contents page, or an empty URL when no folder holds it.
    QUrl contentsPage() const;
    // Shows the contents page; when there is none, the operator is told.
    void open() const;

    // F1 anywhere in the window opens the help.
    void attachShortcut(QWidget& window) const;

private:
    QStringList folders_;
    PageShower show_;
    MessageBox showMessage_;
};

} // namespace vartemo
