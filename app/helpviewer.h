#pragma once

#include <QDialog>
#include <QString>

#include "display/language.h"

class QTextBrowser;

namespace vorn {

// The help pages beside the program, shown in a window of their own: the
// contents page or the index page. English pages live in the folder's "en"
// folder; a page missing there falls back to the Chinese one, and a page
// missing in both shows nothing.
class HelpViewer : public QDialog {
    Q_OBJECT
  public:
    enum class Page { Contents, Index };
    HelpViewer(QString folder, QWidget* parent, const Language& words = SourceLanguage());
    // False (and nothing shown) when the page is missing.
    bool Open(Page page);
    QTextBrowser* Browser() const { return browser_; }

  private:
    const Language& words_;
    QString folder_;
    QTextBrowser* browser_ = nullptr;
};

}  // namespace vorn
