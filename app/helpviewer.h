#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace vorn {

// The help pages beside the program, shown in a window of their own: the
// contents page or the index page. A missing page shows nothing.
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    enum class Page { Contents, Index };
    HelpViewer(QString folder, QWidget* parent);
    // False (and nothing shown) when the page is missing.
    bool Open(Page page);
    QTextBrowser* Browser() const { return browser_; }

private:
    QString folder_;
    QTextBrowser* browser_ = nullptr;
};

}  // namespace vorn
